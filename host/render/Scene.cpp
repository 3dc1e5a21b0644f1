#include "host/render/Scene.h"

#include "host/model/HostModel.h"
#include "host/render/SceneBodies.h"
#include "host/render/SceneClip.h"

#include <atomic>

uint64_t NewSceneBodies() {
    static std::atomic<uint64_t> next{1};
    return next++;
}

Scene BuildScene(HostModel& model, const std::function<bool(const Element&)>& shown, SceneSide side) {
    Scene scene;
    scene.min = {1e300, 1e300, 1e300};
    scene.max = {-1e300, -1e300, -1e300};
    SceneLooks looks(model);
    SceneLayers layers(model);
    // Room for every body's triangles at once: a large model's lists are not moved as they grow.
    const size_t most = MostTriangles(model);
    scene.triangles.reserve(most);
    scene.owners.reserve(most);
    for (const auto& e : model.Elements()) {
        if (!HasSceneBody(*e) || HiddenOn(*e, layers, side)) continue;
        if (shown && !shown(*e)) continue;
        ScenePart part;
        part.firstTriangle = static_cast<uint32_t>(scene.triangles.size());
        part.firstEdge = static_cast<uint32_t>(scene.edges.size());
        AppendBody(scene, *e, LooksOf(*e, looks, side));
        const std::optional<LookOverride>& look = LookOn(*e, side);
        if (look && look->Clips()) {
            ScenePart whole = part;
            whole.triangles = static_cast<uint32_t>(scene.triangles.size()) - part.firstTriangle;
            whole.edges = static_cast<uint32_t>(scene.edges.size()) - part.firstEdge;
            BoundPart(scene, whole);
            const std::vector<SceneTriangle> body(scene.triangles.begin() + part.firstTriangle, scene.triangles.end());
            const std::vector<SceneEdge> lines(scene.edges.begin() + part.firstEdge, scene.edges.end());
            scene.triangles.resize(part.firstTriangle);
            scene.owners.resize(part.firstTriangle);
            scene.edges.resize(part.firstEdge);
            AppendClipped(scene, body, lines, e.get(), *look, whole.min, whole.max);
        }
        part.triangles = static_cast<uint32_t>(scene.triangles.size()) - part.firstTriangle;
        part.edges = static_cast<uint32_t>(scene.edges.size()) - part.firstEdge;
        if (part.triangles == 0 && part.edges == 0) continue;
        BoundPart(scene, part);
        scene.parts.push_back(part);
    }
    if (scene.triangles.empty()) scene.min = scene.max = {0, 0, 0};
    return scene;
}
