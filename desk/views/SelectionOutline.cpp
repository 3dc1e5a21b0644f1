#include "desk/views/SelectionOutline.h"

#include "desk/views/ElementPicker.h"

#include <cmath>
#include <map>

namespace {

// Faces meeting at more than about 20 degrees make a crease, as the renderer's contour edges do.
constexpr double kCreaseCosine = 0.94;

struct EdgeFaces {
    Vec3 a, b;
    std::vector<Vec3> normals; // unit, as the triangles wind
};

} // namespace

std::vector<std::pair<Vec3, Vec3>> OutlineEdges(const Element& element, const Vec3& eye) {
    std::vector<std::pair<Vec3, Vec3>> out;
    // Edges are found by their end points' coordinates: a box's faces share corners, not indexes.
    std::map<std::pair<Vec3, Vec3>, EdgeFaces> edges;
    for (const auto& t : ElementTriangles(element)) {
        Vec3 n = Cross3(Sub3(t[1], t[0]), Sub3(t[2], t[0]));
        double length = std::sqrt(Dot3(n, n));
        if (!(length > 1e-12)) continue;
        n = Scale3(n, 1 / length);
        for (size_t k = 0; k < 3; ++k) {
            const Vec3& a = t[k];
            const Vec3& b = t[(k + 1) % 3];
            auto key = a < b ? std::make_pair(a, b) : std::make_pair(b, a);
            EdgeFaces& e = edges[key];
            e.a = key.first;
            e.b = key.second;
            e.normals.push_back(n);
        }
    }
    for (const auto& [key, e] : edges) {
        bool draw = e.normals.size() != 2;
        if (!draw) {
            // Meshes are not always wound one way: the second face is turned to agree with the first.
            const Vec3& n0 = e.normals[0];
            Vec3 n1 = Dot3(n0, e.normals[1]) < 0 ? Scale3(e.normals[1], -1) : e.normals[1];
            Vec3 toEye = Sub3(eye, e.a);
            // The silhouette: one face turned to the eye, the other away from it.
            bool silhouette = (Dot3(n0, toEye) > 0) != (Dot3(n1, toEye) > 0);
            draw = Dot3(n0, n1) < kCreaseCosine || silhouette;
        }
        if (draw) out.emplace_back(e.a, e.b);
    }
    return out;
}
