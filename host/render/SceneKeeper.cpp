#include "host/render/SceneKeeper.h"

#include "host/model/HostModel.h"
#include "host/render/SceneClip.h"

#include <algorithm>
#include <span>

namespace {

// Room for `more` items past the end, growing by at least half so that many small cuts in turn
// do not each move the whole list.
template <typename T> void MakeRoom(std::vector<T>& list, size_t more) {
    if (list.capacity() - list.size() >= more) return;
    list.reserve(std::max(list.size() + more, list.capacity() + list.capacity() / 2));
}

} // namespace

SceneKeeper::ShapeKey SceneKeeper::KeyOf(const Element& e) {
    const Geometry& g = e.geometry;
    return {e.shapeRevision, g.shape, g.min, g.max, g.vertices.data(), g.triangles.data(), g.vertices.size(),
            g.triangles.size(), e.Kind()};
}

bool SceneKeeper::Same(const HostModel& model) const {
    const auto& elements = model.Elements();
    if (elements.size() != kept_.size()) return false;
    for (size_t i = 0; i < kept_.size(); ++i) {
        const Element& e = *elements[i];
        const Kept& k = kept_[i];
        if (k.element != &e || !(k.shape == KeyOf(e))) return false;
    }
    return true;
}

void SceneKeeper::Build(HostModel& model, SceneLooks& looks) {
    ++builds_;
    scene_ = Scene{};
    scene_.partsOnly = true;
    scene_.bodies = NewSceneBodies();
    kept_.clear();
    faces_.clear();
    const size_t most = MostTriangles(model);
    scene_.triangles.reserve(most);
    scene_.owners.reserve(most);
    faces_.reserve(most);
    kept_.reserve(model.Elements().size());
    for (const auto& e : model.Elements()) {
        Kept& k = kept_.emplace_back();
        k.element = e.get();
        k.shape = KeyOf(*e);
        if (!HasSceneBody(*e)) continue;
        k.looks = LooksOf(*e, looks);
        k.part.firstTriangle = static_cast<uint32_t>(scene_.triangles.size());
        k.part.firstEdge = static_cast<uint32_t>(scene_.edges.size());
        scene_.min = {1e300, 1e300, 1e300};
        scene_.max = {-1e300, -1e300, -1e300};
        AppendBody(scene_, *e, k.looks, &faces_);
        k.part.triangles = static_cast<uint32_t>(scene_.triangles.size()) - k.part.firstTriangle;
        k.part.edges = static_cast<uint32_t>(scene_.edges.size()) - k.part.firstEdge;
        k.min = scene_.min;
        k.max = scene_.max;
        BoundPart(scene_, k.part);
    }
    bodyTriangles_ = scene_.triangles.size();
    bodyEdges_ = scene_.edges.size();
}

void SceneKeeper::Paint(Kept& kept, const ElementLooks& looks) {
    kept.looks = looks;
    const ScenePart& p = kept.part;
    for (uint32_t i = p.firstTriangle; i < p.firstTriangle + p.triangles; ++i) {
        SceneTriangle& t = scene_.triangles[i];
        const SurfaceLook& look = looks.faces[static_cast<size_t>(faces_[i])];
        t.colour = look.colour;
        t.opacity = look.opacity;
        t.specular = look.specular;
    }
    for (uint32_t i = p.firstEdge; i < p.firstEdge + p.edges; ++i) scene_.edges[i].colour = looks.pen;
}

const Scene& SceneKeeper::Update(HostModel& model, const std::function<bool(const Element&)>& shown, SceneSide side) {
    SceneLooks looks(model);
    if (!Same(model)) Build(model, looks);
    SceneLayers layers(model);
    scene_.parts.clear();
    // Growing elements are drawn from cut copies after the kept bodies, made afresh each time.
    scene_.triangles.resize(bodyTriangles_);
    scene_.owners.resize(bodyTriangles_);
    scene_.edges.resize(bodyEdges_);
    Vec3 min{1e300, 1e300, 1e300}, max{-1e300, -1e300, -1e300};
    bool anyTriangle = false;
    for (Kept& k : kept_) {
        const Element& e = *k.element;
        if (k.part.triangles == 0 && k.part.edges == 0) continue;
        if (HiddenOn(e, layers, side)) continue;
        if (shown && !shown(e)) continue;
        ElementLooks now = LooksOf(e, looks, side);
        if (!(now == k.looks)) Paint(k, now);
        const std::optional<LookOverride>& look = LookOn(e, side);
        if (look && look->Clips()) {
            const ScenePart& p = k.part;
            ScenePart part;
            part.firstTriangle = static_cast<uint32_t>(scene_.triangles.size());
            part.firstEdge = static_cast<uint32_t>(scene_.edges.size());
            // The cut pieces go into the lists they are read from: room for the most a cut can
            // make (two pieces a triangle, one an edge) keeps the body in place while they do.
            MakeRoom(scene_.triangles, 2 * static_cast<size_t>(p.triangles));
            MakeRoom(scene_.owners, 2 * static_cast<size_t>(p.triangles));
            MakeRoom(scene_.edges, p.edges);
            const std::span<const SceneTriangle> body(scene_.triangles.data() + p.firstTriangle, p.triangles);
            const std::span<const SceneEdge> lines(scene_.edges.data() + p.firstEdge, p.edges);
            AppendClipped(scene_, body, lines, &e, *look, p.min, p.max);
            part.triangles = static_cast<uint32_t>(scene_.triangles.size()) - part.firstTriangle;
            part.edges = static_cast<uint32_t>(scene_.edges.size()) - part.firstEdge;
            BoundPart(scene_, part);
            if (part.triangles == 0 && part.edges == 0) continue;
            scene_.parts.push_back(part);
        } else {
            scene_.parts.push_back(k.part);
        }
        if (k.part.triangles == 0) continue;
        anyTriangle = true;
        for (size_t i = 0; i < 3; ++i) {
            min[i] = std::min(min[i], k.min[i]);
            max[i] = std::max(max[i], k.max[i]);
        }
    }
    // The cut copies' points change with every step of growth; the kept bodies before them stay.
    scene_.steadyTriangles = bodyTriangles_;
    scene_.steadyEdges = bodyEdges_;
    scene_.min = anyTriangle ? min : Vec3{0, 0, 0};
    scene_.max = anyTriangle ? max : Vec3{0, 0, 0};
    return scene_;
}
