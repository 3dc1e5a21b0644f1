#include "host/render/SceneClip.h"

#include <array>

namespace {

// How far a point lies on the kept side of the plane (negative: cut away).
struct Plane {
    size_t axis = 2;
    bool plus = true;
    double cut = 0;
    double Side(const Vec3& p) const { return plus ? cut - p[axis] : p[axis] - cut; }
};

Plane PlaneOf(const LookOverride& look, const Vec3& min, const Vec3& max) {
    Plane pl;
    const uint8_t a = look.clipAxis;
    pl.axis = a <= 2 ? 2 : a <= 4 ? 0 : 1;
    pl.plus = (a % 2) == 1;
    const double extent = max[pl.axis] - min[pl.axis];
    pl.cut = pl.plus ? min[pl.axis] + look.drawn * extent : max[pl.axis] - look.drawn * extent;
    return pl;
}

Vec3 Between(const Vec3& a, const Vec3& b, double da, double db) {
    const double t = da / (da - db);
    return {a[0] + (b[0] - a[0]) * t, a[1] + (b[1] - a[1]) * t, a[2] + (b[2] - a[2]) * t};
}

} // namespace

void AppendClipped(Scene& scene, std::span<const SceneTriangle> triangles, std::span<const SceneEdge> edges,
                   const Element* owner, const LookOverride& look, const Vec3& min, const Vec3& max) {
    // Nothing drawn yet: not even the faces that lie in the plane.
    if (look.drawn <= 0) return;
    const Plane plane = PlaneOf(look, min, max);
    for (const SceneTriangle& t : triangles) {
        std::array<double, 3> side{plane.Side(t.p[0]), plane.Side(t.p[1]), plane.Side(t.p[2])};
        if (side[0] >= 0 && side[1] >= 0 && side[2] >= 0) {
            scene.triangles.push_back(t);
            scene.owners.push_back(owner);
            continue;
        }
        // The kept polygon: at most four corners from a triangle and one plane.
        std::array<Vec3, 4> kept;
        size_t n = 0;
        for (size_t i = 0; i < 3; ++i) {
            const size_t j = (i + 1) % 3;
            if (side[i] >= 0) kept[n++] = t.p[i];
            if ((side[i] >= 0) != (side[j] >= 0)) kept[n++] = Between(t.p[i], t.p[j], side[i], side[j]);
        }
        for (size_t k = 1; k + 1 < n; ++k) {
            SceneTriangle piece = t;
            piece.p[0] = kept[0];
            piece.p[1] = kept[k];
            piece.p[2] = kept[k + 1];
            scene.triangles.push_back(piece);
            scene.owners.push_back(owner);
        }
    }
    for (const SceneEdge& e : edges) {
        const double sa = plane.Side(e.a), sb = plane.Side(e.b);
        if (sa < 0 && sb < 0) continue;
        SceneEdge piece = e;
        if (sa < 0) piece.a = Between(e.a, e.b, sa, sb);
        if (sb < 0) piece.b = Between(e.a, e.b, sa, sb);
        scene.edges.push_back(piece);
    }
}
