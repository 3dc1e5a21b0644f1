#include "desk/views/ElementPicker.h"

#include "hostapi/HostAttributeRecord.h"
#include "hostapi/HostElementRecord.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace {

struct Hit {
    double enter, leave;
};

std::optional<Hit> HitBox(const Vec3& o, const Vec3& d, const Vec3& lo, const Vec3& hi) {
    double t0 = 0, t1 = std::numeric_limits<double>::max();
    for (int i = 0; i < 3; ++i) {
        if (std::fabs(d[i]) < 1e-12) {
            if (o[i] < lo[i] || o[i] > hi[i]) return std::nullopt;
            continue;
        }
        double a = (lo[i] - o[i]) / d[i], b = (hi[i] - o[i]) / d[i];
        if (a > b) std::swap(a, b);
        t0 = std::max(t0, a);
        t1 = std::min(t1, b);
        if (t0 > t1) return std::nullopt;
    }
    return Hit{t0, t1};
}

std::optional<double> HitTriangle(const Vec3& o, const Vec3& d, const Vec3& a, const Vec3& b, const Vec3& c) {
    Vec3 e1 = Sub3(b, a), e2 = Sub3(c, a);
    Vec3 p = Cross3(d, e2);
    double det = Dot3(e1, p);
    if (std::fabs(det) < 1e-12) return std::nullopt;
    double inv = 1.0 / det;
    Vec3 s = Sub3(o, a);
    double u = Dot3(s, p) * inv;
    if (u < 0 || u > 1) return std::nullopt;
    Vec3 q = Cross3(s, e1);
    double v = Dot3(d, q) * inv;
    if (v < 0 || u + v > 1) return std::nullopt;
    double t = Dot3(e2, q) * inv;
    return t > 0 ? std::optional<double>(t) : std::nullopt;
}

std::optional<Hit> HitElement(const Element& e, const Vec3& o, const Vec3& d) {
    const Geometry& g = e.geometry;
    if (g.shape == Geometry::Shape::Box) return HitBox(o, d, g.min, g.max);
    std::optional<Hit> best;
    for (const auto& t : g.triangles) {
        auto in = [&](int32_t i) { return i >= 0 && static_cast<size_t>(i) < g.vertices.size(); };
        if (!in(t[0]) || !in(t[1]) || !in(t[2])) continue;
        auto h = HitTriangle(o, d, g.vertices[static_cast<size_t>(t[0])], g.vertices[static_cast<size_t>(t[1])],
                             g.vertices[static_cast<size_t>(t[2])]);
        if (h && (!best || *h < best->enter)) best = Hit{*h, *h};
    }
    return best;
}

bool IsOpening(const Element& e) { return e.Kind() == HostElement::Window || e.Kind() == HostElement::Door; }

std::vector<Vec3> Corners(const Element& e) {
    const Geometry& g = e.geometry;
    if (g.shape == Geometry::Shape::Mesh) return {g.vertices.begin(), g.vertices.end()};
    std::vector<Vec3> c;
    for (int i = 0; i < 8; ++i)
        c.push_back({(i & 1) ? g.max[0] : g.min[0], (i & 2) ? g.max[1] : g.min[1], (i & 4) ? g.max[2] : g.min[2]});
    return c;
}

} // namespace

bool IsElementDrawn(HostModel& model, const Element& element, SceneSide side) {
    if (!HostElement::HasBody(element.Kind()) || element.geometry.shape == Geometry::Shape::None) return false;
    if (side == SceneSide::Second && element.second) return !element.second->hidden;
    const AttributeRecord* layer = model.Attribute(HostAttribute::Layer, element.Layer());
    return !layer || !(LE::Get<uint32_t>(*layer, HostAttribute::kFlags) & HostAttribute::kLayerHidden);
}

Element* PickElement(HostModel& model, const ViewProjection& view, double x, double y, const ElementFilter& shown,
                     SceneSide side) {
    Vec3 o, d;
    view.Ray(x, y, o, d);
    Element* nearest = nullptr;
    Element* opening = nullptr;
    double nearestAt = std::numeric_limits<double>::max(), nearestLeave = 0, openingAt = std::numeric_limits<double>::max();
    for (const auto& e : model.Elements()) {
        if (!IsElementDrawn(model, *e, side) || (shown && !shown(*e))) continue;
        auto hit = HitElement(*e, o, d);
        if (!hit) continue;
        if (IsOpening(*e) && hit->enter < openingAt) {
            opening = e.get();
            openingAt = hit->enter;
        }
        if (hit->enter < nearestAt) {
            nearest = e.get();
            nearestAt = hit->enter;
            nearestLeave = hit->leave;
        }
    }
    // An opening sits inside its wall's volume: seen through the wall's face, it is the one meant.
    if (opening && nearest != opening && openingAt <= nearestLeave + 1e-6) return opening;
    return nearest;
}

std::vector<Element*> ElementsInside(HostModel& model, const ViewProjection& view, double left, double top, double right,
                                     double bottom, const ElementFilter& shown, SceneSide side) {
    std::vector<Element*> out;
    for (const auto& e : model.Elements()) {
        if (!IsElementDrawn(model, *e, side) || (shown && !shown(*e))) continue;
        bool any = false, all = true;
        for (const Vec3& c : Corners(*e)) {
            auto p = view.Project(c);
            if (!p) continue;
            any = true;
            if (p->x < left || p->x > right || p->y < top || p->y > bottom) {
                all = false;
                break;
            }
        }
        if (any && all) out.push_back(e.get());
    }
    return out;
}

std::vector<Vec3> ElementCorners(const Element& element) { return Corners(element); }

std::vector<std::array<Vec3, 3>> ElementTriangles(const Element& element) {
    std::vector<std::array<Vec3, 3>> out;
    const Geometry& g = element.geometry;
    if (g.shape == Geometry::Shape::Box) {
        auto c = Corners(element);
        // Two triangles a side: the corner bits are x, y, z.
        const int sides[6][4] = {{0, 1, 3, 2}, {4, 6, 7, 5}, {0, 4, 5, 1}, {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 5, 7, 3}};
        for (const auto& s : sides) {
            out.push_back({c[static_cast<size_t>(s[0])], c[static_cast<size_t>(s[1])], c[static_cast<size_t>(s[2])]});
            out.push_back({c[static_cast<size_t>(s[0])], c[static_cast<size_t>(s[2])], c[static_cast<size_t>(s[3])]});
        }
    } else if (g.shape == Geometry::Shape::Mesh) {
        auto in = [&](int32_t i) { return i >= 0 && static_cast<size_t>(i) < g.vertices.size(); };
        for (const auto& t : g.triangles)
            if (in(t[0]) && in(t[1]) && in(t[2]))
                out.push_back({g.vertices[static_cast<size_t>(t[0])], g.vertices[static_cast<size_t>(t[1])],
                               g.vertices[static_cast<size_t>(t[2])]});
    }
    return out;
}
