#include "host/render/SceneBodies.h"

#include "bytes/LittleEndian.h"
#include "host/model/HostModel.h"
#include "hostapi/HostAttributeRecord.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

double GetD(const AttributeRecord& r, size_t off) {
    uint64_t bits = LE::Get<uint64_t>(r, off);
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

float Channel(double v) {
    // Colour components above 1 are shown at full strength; broken numbers as black.
    if (!std::isfinite(v) || v < 0) return 0;
    return v > 1 ? 1.0f : static_cast<float>(v);
}

struct KindLook {
    size_t pen = 104;
    // Materials of top, bottom, the lower and higher long side, and the ends. 0: none.
    size_t top = 0, bottom = 0, sideLow = 0, sideHigh = 0, end = 0;
};

KindLook LookOfKind(int32_t kind) {
    switch (kind) {
    case HostElement::Wall: return {104, 122, 122, 118, 120, 122};
    case HostElement::Column: return {104, 124, 124, 124, 124, 124};
    case HostElement::Beam: return {104, 124, 126, 120, 122, 128};
    case HostElement::Window:
    case HostElement::Door:
    case HostElement::Object:
    case HostElement::Lamp: return {104, 108, 108, 108, 108, 108};
    case HostElement::Slab:
    case HostElement::Roof:
    case HostElement::Mesh: return {104, 118, 120, 122, 122, 122};
    case HostElement::CurtainWall: return {226, 706, 706, 706, 706, 706};
    default: return {};
    }
}

struct Builder {
    Scene& scene;
    const Element& element;
    const ElementLooks& looks;
    std::vector<SceneFace>* faces;
    bool opening;

    void Grow(const Vec3& p) {
        for (size_t i = 0; i < 3; ++i) {
            scene.min[i] = std::min(scene.min[i], p[i]);
            scene.max[i] = std::max(scene.max[i], p[i]);
        }
    }

    void Triangle(const Vec3& a, const Vec3& b, const Vec3& c, SceneFace f) {
        Vec3 n = Cross3(Sub3(b, a), Sub3(c, a));
        double len = std::sqrt(Dot3(n, n));
        if (!(len > 1e-12)) return; // degenerate
        Triangle(a, b, c, f, {n[0] / len, n[1] / len, n[2] / len});
    }

    void Triangle(const Vec3& a, const Vec3& b, const Vec3& c, SceneFace f, const Vec3& unitNormal) {
        const SurfaceLook& look = looks.faces[static_cast<size_t>(f)];
        SceneTriangle t{{a, b, c}, unitNormal, look.colour, look.opacity, look.specular, opening};
        scene.triangles.push_back(t);
        scene.owners.push_back(&element);
        if (faces) faces->push_back(f);
        Grow(a), Grow(b), Grow(c);
    }

    void Edge(const Vec3& a, const Vec3& b) { scene.edges.push_back({a, b, looks.pen, opening}); }

    void Box(const Vec3& lo, const Vec3& hi) {
        auto P = [&](int x, int y, int z) { return Vec3{x ? hi[0] : lo[0], y ? hi[1] : lo[1], z ? hi[2] : lo[2]}; };
        // The long sides face across the thinner horizontal extent.
        bool thinY = (hi[1] - lo[1]) <= (hi[0] - lo[0]);
        SceneFace minusX = thinY ? SceneFace::End : SceneFace::SideLow, plusX = thinY ? SceneFace::End : SceneFace::SideHigh;
        SceneFace minusY = thinY ? SceneFace::SideLow : SceneFace::End, plusY = thinY ? SceneFace::SideHigh : SceneFace::End;
        auto Quad = [&](Vec3 a, Vec3 b, Vec3 c, Vec3 d, SceneFace f) {
            Triangle(a, b, c, f);
            Triangle(a, c, d, f);
        };
        Quad(P(0, 0, 1), P(1, 0, 1), P(1, 1, 1), P(0, 1, 1), SceneFace::Top);
        Quad(P(0, 0, 0), P(0, 1, 0), P(1, 1, 0), P(1, 0, 0), SceneFace::Bottom);
        Quad(P(0, 0, 0), P(1, 0, 0), P(1, 0, 1), P(0, 0, 1), minusY);
        Quad(P(0, 1, 0), P(0, 1, 1), P(1, 1, 1), P(1, 1, 0), plusY);
        Quad(P(0, 0, 0), P(0, 0, 1), P(0, 1, 1), P(0, 1, 0), minusX);
        Quad(P(1, 0, 0), P(1, 1, 0), P(1, 1, 1), P(1, 0, 1), plusX);
        for (int i = 0; i < 4; ++i) {
            int x = i & 1, y = i >> 1;
            Edge(P(x, y, 0), P(x, y, 1));
            Edge(P(0, x, y), P(1, x, y));
            Edge(P(x, 0, y), P(x, 1, y));
        }
    }

    void Mesh(const Geometry& g) {
        const auto& v = g.vertices;
        // Each side of each triangle, by its two vertices (lower first), with the triangle's
        // normal; sorted, the sides a pair of triangles shares come together.
        struct Side {
            uint64_t key;
            uint32_t normal;
        };
        std::vector<Side> sides;
        std::vector<Vec3> normals;
        sides.reserve(g.triangles.size() * 3);
        normals.reserve(g.triangles.size());
        for (const auto& t : g.triangles) {
            if (t[0] < 0 || t[1] < 0 || t[2] < 0) continue;
            size_t i0 = static_cast<size_t>(t[0]), i1 = static_cast<size_t>(t[1]), i2 = static_cast<size_t>(t[2]);
            if (i0 >= v.size() || i1 >= v.size() || i2 >= v.size()) continue;
            Vec3 n = Cross3(Sub3(v[i1], v[i0]), Sub3(v[i2], v[i0]));
            double len = std::sqrt(Dot3(n, n));
            if (!(len > 1e-12)) continue;
            n = {n[0] / len, n[1] / len, n[2] / len};
            SceneFace f = n[2] > 0.3 ? SceneFace::Top : n[2] < -0.3 ? SceneFace::Bottom : SceneFace::SideLow;
            Triangle(v[i0], v[i1], v[i2], f, n);
            auto normal = static_cast<uint32_t>(normals.size());
            normals.push_back(n);
            for (int k = 0; k < 3; ++k) {
                auto a = static_cast<uint32_t>(t[static_cast<size_t>(k)]), b = static_cast<uint32_t>(t[static_cast<size_t>((k + 1) % 3)]);
                sides.push_back({static_cast<uint64_t>(std::min(a, b)) << 32 | std::max(a, b), normal});
            }
        }
        std::sort(sides.begin(), sides.end(),
                  [](const Side& x, const Side& y) { return x.key != y.key ? x.key < y.key : x.normal < y.normal; });
        // Outlines and creases; edges inside a flat surface are not drawn.
        for (size_t i = 0; i < sides.size();) {
            size_t j = i + 1;
            while (j < sides.size() && sides[j].key == sides[i].key) ++j;
            bool draw = j - i != 2 || Dot3(normals[sides[i].normal], normals[sides[i + 1].normal]) < 0.94;
            if (draw) Edge(v[static_cast<size_t>(sides[i].key >> 32)], v[static_cast<size_t>(sides[i].key & 0xFFFFFFFFu)]);
            i = j;
        }
    }
};

} // namespace

bool SceneLayers::Hidden(int16_t layer) {
    auto it = hidden_.find(layer);
    if (it != hidden_.end()) return it->second;
    auto* r = model_.Attribute(HostAttribute::Layer, layer);
    bool hidden = r && (LE::Get<uint32_t>(*r, HostAttribute::kFlags) & HostAttribute::kLayerHidden);
    hidden_[layer] = hidden;
    return hidden;
}

size_t MostTriangles(const HostModel& model) {
    size_t most = 0;
    for (const auto& e : model.Elements())
        most += e->geometry.shape == Geometry::Shape::Box ? 12 : e->geometry.triangles.size();
    return most;
}

SurfaceLook SceneLooks::Material(int16_t index) {
    auto it = materials_.find(index);
    if (it != materials_.end()) return it->second;
    SurfaceLook look{{0.7f, 0.7f, 0.7f}, 1, 0.3f};
    if (auto* r = model_.Attribute(HostAttribute::Material, index)) {
        look.colour = {Channel(GetD(*r, HostAttribute::kMatSurfaceRed)), Channel(GetD(*r, HostAttribute::kMatSurfaceGreen)),
                       Channel(GetD(*r, HostAttribute::kMatSurfaceBlue))};
        int16_t transparency = std::clamp<int16_t>(LE::Get<int16_t>(*r, HostAttribute::kMatTransparency), 0, 100);
        look.opacity = 1.0f - static_cast<float>(transparency) / 100.0f;
        look.specular = static_cast<float>(std::clamp<int16_t>(LE::Get<int16_t>(*r, HostAttribute::kMatSpecular), 0, 100)) / 100.0f;
    }
    materials_[index] = look;
    return look;
}

Rgb SceneLooks::Pen(int16_t index) {
    auto it = pens_.find(index);
    if (it != pens_.end()) return it->second;
    Rgb c{0, 0, 0};
    if (auto* r = model_.Attribute(HostAttribute::Pen, index))
        c = {Channel(GetD(*r, HostAttribute::kPenRed)), Channel(GetD(*r, HostAttribute::kPenGreen)),
             Channel(GetD(*r, HostAttribute::kPenBlue))};
    pens_[index] = c;
    return c;
}

const std::optional<LookOverride>& LookOn(const Element& element, SceneSide side) {
    return side == SceneSide::Second && element.second ? element.second->look : element.look;
}

bool HiddenOn(const Element& element, SceneLayers& layers, SceneSide side) {
    if (side == SceneSide::Second && element.second) return element.second->hidden;
    return layers.Hidden(element.Layer());
}

std::array<int16_t, kSceneFaces> FaceMaterials(const Element& element) {
    const KindLook kind = LookOfKind(element.Kind());
    auto material = [&](size_t field) { return field ? LE::Get<int16_t>(element.Bytes(), field) : int16_t{0}; };
    return {material(kind.top), material(kind.bottom), material(kind.sideLow), material(kind.sideHigh), material(kind.end)};
}

ElementLooks LooksOf(const Element& element, SceneLooks& looks, SceneSide side) {
    const KindLook kind = LookOfKind(element.Kind());
    const int16_t over = side == SceneSide::Second && element.second ? element.second->material : 0;
    auto material = [&](size_t field) {
        return looks.Material(over ? over : field ? LE::Get<int16_t>(element.Bytes(), field) : 0);
    };
    ElementLooks out;
    out.faces = {material(kind.top), material(kind.bottom), material(kind.sideLow), material(kind.sideHigh), material(kind.end)};
    const int16_t pen = side == SceneSide::Second && element.second ? element.second->pen : 0;
    out.pen = looks.Pen(pen ? pen : LE::Get<int16_t>(element.Bytes(), kind.pen));
    const std::optional<LookOverride>& look = LookOn(element, side);
    if (look && look->coloured) {
        // One colour over every face, seen through as glass is.
        const LookOverride& l = *look;
        const Rgb colour{l.red / 255.0f, l.green / 255.0f, l.blue / 255.0f};
        const float through = l.transparency / 100.0f;
        for (SurfaceLook& f : out.faces) f = {colour, 1.0f - through, f.specular};
        // Its outline fades towards that colour as much: a ghost reads as a faint volume in a soft
        // outline beside the built part's solid faces and firm edges.
        const Rgb pen = out.pen;
        out.pen = {pen.r + (colour.r - pen.r) * through, pen.g + (colour.g - pen.g) * through,
                   pen.b + (colour.b - pen.b) * through};
    }
    return out;
}

bool HasSceneBody(const Element& element) {
    return HostElement::HasBody(element.Kind()) && element.geometry.shape != Geometry::Shape::None;
}

void AppendBody(Scene& scene, const Element& element, const ElementLooks& looks, std::vector<SceneFace>* faces) {
    const int32_t kind = element.Kind();
    Builder b{scene, element, looks, faces, kind == HostElement::Window || kind == HostElement::Door};
    if (element.geometry.shape == Geometry::Shape::Box) b.Box(element.geometry.min, element.geometry.max);
    else b.Mesh(element.geometry);
}

void BoundPart(const Scene& scene, ScenePart& part) {
    part.min = {1e300, 1e300, 1e300};
    part.max = {-1e300, -1e300, -1e300};
    auto grow = [&part](const Vec3& p) {
        for (size_t i = 0; i < 3; ++i) {
            part.min[i] = std::min(part.min[i], p[i]);
            part.max[i] = std::max(part.max[i], p[i]);
        }
    };
    for (uint32_t i = part.firstTriangle; i < part.firstTriangle + part.triangles; ++i)
        for (const Vec3& p : scene.triangles[i].p) grow(p);
    for (uint32_t i = part.firstEdge; i < part.firstEdge + part.edges; ++i) grow(scene.edges[i].a), grow(scene.edges[i].b);
}
