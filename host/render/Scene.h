#pragma once
// What the renderer draws: the model's 3D bodies as triangles with their materials and the
// edges to draw with the elements' contour pens. Elements on hidden layers are left out.
#include "host/render/ViewCamera.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

class HostModel;
struct Element;

struct Rgb {
    float r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

// Windows and doors sit in their wall's volume; their depth is nudged this much nearer (a factor
// on 1/z) so that they win over the wall wherever they are drawn or looked for.
inline constexpr double kOpeningDepthBias = 1.0015;

struct SceneTriangle {
    Vec3 p[3];
    Vec3 normal;          // unit, outward where the geometry says so
    Rgb colour;
    float opacity = 1;    // 1 - transparency
    float specular = 0.3f; // 0-1
    bool opening = false; // windows and doors sit in their wall's volume and win over it
};

struct SceneEdge {
    Vec3 a, b;
    Rgb colour;
    bool opening = false;
};

// One element's triangles and edges, which follow each other in the scene's lists, and the
// bounds of their points: what the renderer leaves out at once when it lies out of sight.
struct ScenePart {
    uint32_t firstTriangle = 0, triangles = 0, firstEdge = 0, edges = 0;
    Vec3 min{0, 0, 0}, max{0, 0, 0};
};

struct Scene {
    std::vector<SceneTriangle> triangles;
    std::vector<const Element*> owners; // of each triangle, for telling what is seen where
    std::vector<SceneEdge> edges;
    Vec3 min{0, 0, 0}, max{0, 0, 0}; // bounds of everything drawn
    // Every triangle and edge in exactly one part, in order; a scene made by hand may have none.
    std::vector<ScenePart> parts;
    // Only the parts are drawn: a kept scene (SceneKeeper) holds the bodies of the elements not
    // shown now beside them.
    bool partsOnly = false;
    // Non-zero: a scene given the same number has the same triangles with the same points (a
    // kept scene whose bodies stay), so what the renderer worked out from them may be kept.
    uint64_t bodies = 0;
    // Of those, only the first this many: the rest (bodies cut for growth) change from one scene
    // to the next under the same number.
    size_t steadyTriangles = SIZE_MAX;
    size_t SteadyTriangles() const { return std::min(steadyTriangles, triangles.size()); }
    // Likewise of the edges: the first this many keep their points.
    size_t steadyEdges = SIZE_MAX;
    size_t SteadyEdges() const { return std::min(steadyEdges, edges.size()); }
};

// A number for `Scene::bodies` that no scene of this run had before.
uint64_t NewSceneBodies();

// Calls draw(i) with the index of each triangle drawn, in the scene's order.
template <typename F> void ForEachDrawnTriangle(const Scene& scene, F&& draw) {
    if (!scene.partsOnly) {
        for (uint32_t i = 0; i < scene.triangles.size(); ++i) draw(i);
        return;
    }
    for (const ScenePart& p : scene.parts)
        for (uint32_t i = p.firstTriangle; i < p.firstTriangle + p.triangles; ++i) draw(i);
}

// Which window's state of the elements a scene draws: the first's, or the second 3D window's
// (Element::second where an element has one).
enum class SceneSide { First, Second };

// `shown`, when given, leaves out the elements it refuses (the desktop isolating a find's result).
Scene BuildScene(HostModel& model, const std::function<bool(const Element&)>& shown = {},
                 SceneSide side = SceneSide::First);
