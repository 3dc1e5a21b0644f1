#pragma once
// What the renderer draws: the model's 3D bodies as triangles with their materials and the
// edges to draw with the elements' contour pens. Elements on hidden layers are left out.
#include "host/render/ViewCamera.h"

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

struct Scene {
    std::vector<SceneTriangle> triangles;
    std::vector<const Element*> owners; // of each triangle, for telling what is seen where
    std::vector<SceneEdge> edges;
    Vec3 min{0, 0, 0}, max{0, 0, 0}; // bounds of everything drawn
};

// `shown`, when given, leaves out the elements it refuses (the desktop isolating a find's result).
Scene BuildScene(HostModel& model, const std::function<bool(const Element&)>& shown = {});
