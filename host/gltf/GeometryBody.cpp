#include "host/gltf/GeometryBody.h"

TriangleBody BodyOfGeometry(const Geometry& geometry) {
    TriangleBody body;
    if (geometry.shape == Geometry::Shape::Box) {
        // Corner c has x from bit 0, y from bit 1, z from bit 2; faces wound outward.
        for (uint32_t c = 0; c < 8; ++c)
            body.points.push_back({(c & 1) ? geometry.max[0] : geometry.min[0], (c & 2) ? geometry.max[1] : geometry.min[1],
                                   (c & 4) ? geometry.max[2] : geometry.min[2]});
        body.triangles = {{0, 2, 1}, {1, 2, 3}, {4, 5, 6}, {5, 7, 6}, {0, 1, 4}, {1, 5, 4},
                          {2, 6, 3}, {3, 6, 7}, {0, 4, 2}, {2, 4, 6}, {1, 3, 5}, {3, 7, 5}};
    } else if (geometry.shape == Geometry::Shape::Mesh) {
        body.points = geometry.vertices;
        const auto n = static_cast<int64_t>(geometry.vertices.size());
        for (const auto& t : geometry.triangles) {
            if (t[0] < 0 || t[1] < 0 || t[2] < 0 || t[0] >= n || t[1] >= n || t[2] >= n) continue;
            body.triangles.push_back({static_cast<uint32_t>(t[0]), static_cast<uint32_t>(t[1]), static_cast<uint32_t>(t[2])});
        }
    }
    return body;
}
