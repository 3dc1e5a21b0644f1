#include "host/ifc/helper/ProductMesh.h"

#include <ifcpp/geometry/Carve/GeometryInputData.h>
#include <carve/triangulator.hpp>

#include <cmath>
#include <limits>

namespace {

using Vec3 = carve::geom::vector<3>;
using MeshSet = carve::mesh::MeshSet<3>;

// A mesh the host cannot index with 32 bits is no building element.
constexpr size_t kMaxVertices = 1u << 26;
// Twice the smallest triangle area kept, in square metres: a tenth of a square millimetre.
constexpr double kMinDoubleArea = 2e-7;

struct MeshBuilder {
    const carve::math::Matrix& toWorld;
    bool mirrored;
    ProductMesh& out;
    std::string& problem;

    void AddTriangle(int32_t a, int32_t b, int32_t c) {
        if (a == b || b == c || a == c) return;
        // Slivers of a flat solid or a cut add nothing to draw and upset normals.
        const auto& pa = out.vertices[static_cast<size_t>(a)];
        const auto& pb = out.vertices[static_cast<size_t>(b)];
        const auto& pc = out.vertices[static_cast<size_t>(c)];
        const double u[3] = {pb[0] - pa[0], pb[1] - pa[1], pb[2] - pa[2]};
        const double w[3] = {pc[0] - pa[0], pc[1] - pa[1], pc[2] - pa[2]};
        const double n[3] = {u[1] * w[2] - u[2] * w[1], u[2] * w[0] - u[0] * w[2], u[0] * w[1] - u[1] * w[0]};
        if (n[0] * n[0] + n[1] * n[1] + n[2] * n[2] < kMinDoubleArea * kMinDoubleArea) return;
        out.triangles.push_back(mirrored ? std::array<int32_t, 3>{a, c, b} : std::array<int32_t, 3>{a, b, c});
    }

    // False, with the problem said, when the points cannot be taken.
    template <typename Points, typename PointOf>
    bool AddPoints(const Points& points, PointOf pointOf) {
        if (!problem.empty()) return false;
        if (out.vertices.size() + points.size() > kMaxVertices) {
            problem = "more than " + std::to_string(kMaxVertices) + " vertices";
            return false;
        }
        for (const auto& v : points) {
            Vec3 p = toWorld * pointOf(v);
            if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) {
                problem = "coordinates that are not finite numbers";
                return false;
            }
            out.vertices.push_back({p.x, p.y, p.z});
        }
        return true;
    }

    void AddPart(const std::vector<Vec3>& points, const std::vector<std::array<int32_t, 3>>& triangles) {
        const auto base = static_cast<int32_t>(out.vertices.size());
        if (!AddPoints(points, [](const Vec3& v) -> const Vec3& { return v; })) return;
        for (const auto& t : triangles) AddTriangle(base + t[0], base + t[1], base + t[2]);
    }

    void Add(const MeshSet& set) {
        const auto base = static_cast<int32_t>(out.vertices.size());
        if (!AddPoints(set.vertex_storage, [](const carve::mesh::Vertex<3>& v) -> const Vec3& { return v.v; })) return;
        const auto* first = set.vertex_storage.data();
        const size_t count = set.vertex_storage.size();
        std::vector<int32_t> loop;
        std::vector<std::array<uint32_t, 3>> corners;
        for (const auto* mesh : set.meshes) {
            for (const auto* face : mesh->faces) {
                loop.clear();
                const auto* edge = face->edge;
                if (!edge) continue;
                // A face's loop is bounded by its edge count, so a broken ring cannot spin.
                for (size_t n = 0; n <= face->n_edges; ++n) {
                    size_t index = static_cast<size_t>(edge->vert - first);
                    if (edge->vert < first || index >= count) {
                        problem = "a face with a vertex of another mesh";
                        return;
                    }
                    loop.push_back(base + static_cast<int32_t>(index));
                    edge = edge->next;
                    if (edge == face->edge) break;
                }
                if (loop.size() < 3) continue;
                TriangulateFace(*face, loop.size(), corners);
                for (const auto& t : corners) AddTriangle(loop[t[0]], loop[t[1]], loop[t[2]]);
            }
        }
    }
};

const Vec3& CornerOf(const carve::mesh::Face<3>& face, size_t k) {
    const auto* edge = face.edge;
    for (size_t i = 0; i < k; ++i) edge = edge->next;
    return edge->vert->v;
}

double Determinant3(const carve::math::Matrix& m) {
    return m.m[0][0] * (m.m[1][1] * m.m[2][2] - m.m[2][1] * m.m[1][2]) -
           m.m[1][0] * (m.m[0][1] * m.m[2][2] - m.m[2][1] * m.m[0][2]) +
           m.m[2][0] * (m.m[0][1] * m.m[1][2] - m.m[1][1] * m.m[0][2]);
}

} // namespace

void TriangulateFace(const carve::mesh::Face<3>& face, size_t corners, std::vector<std::array<uint32_t, 3>>& triangles) {
    triangles.clear();
    if (corners < 3) return;
    if (corners == 3) {
        triangles.push_back({0, 1, 2});
        return;
    }
    std::vector<carve::geom2d::P2> flat;
    const auto* edge = face.edge;
    for (size_t n = 0; n < corners; ++n, edge = edge->next) flat.push_back(face.project(edge->vert->v));
    std::vector<carve::triangulate::tri_idx> tris;
    carve::triangulate::triangulate(flat, tris);
    for (const auto& t : tris) {
        if (t.a >= corners || t.b >= corners || t.c >= corners) continue;
        // Keep the face's own winding whatever the projection did to it.
        const Vec3& pa = CornerOf(face, t.a);
        const Vec3& pb = CornerOf(face, t.b);
        const Vec3& pc = CornerOf(face, t.c);
        const bool flip = carve::geom::dot(carve::geom::cross(pb - pa, pc - pa), face.plane.N) < 0;
        const auto a = static_cast<uint32_t>(t.a), b = static_cast<uint32_t>(t.b), c = static_cast<uint32_t>(t.c);
        triangles.push_back(flip ? std::array<uint32_t, 3>{a, c, b} : std::array<uint32_t, 3>{a, b, c});
    }
}

ProductMesh TriangulateProduct(ProductShapeData& shape, std::string& problem) {
    ProductMesh mesh;
    problem.clear();
    const carve::math::Matrix toWorld = shape.getTransform();
    MeshBuilder builder{toWorld, Determinant3(toWorld) < 0, mesh, problem};
    for (const auto& representation : shape.m_vec_representations) {
        if (!representation) continue;
        for (const auto& item : representation->m_vec_item_data) {
            if (!item) continue;
            for (const auto& set : item->m_meshsets)
                if (set) builder.Add(*set);
            for (const auto& set : item->m_meshsets_open)
                if (set) builder.Add(*set);
        }
    }
    if (!problem.empty()) return {};
    return mesh;
}

void AddPlacedPart(const std::vector<carve::geom::vector<3>>& points, const std::vector<std::array<int32_t, 3>>& triangles,
                   const carve::math::Matrix& toWorld, ProductMesh& mesh, std::string& problem) {
    MeshBuilder builder{toWorld, Determinant3(toWorld) < 0, mesh, problem};
    builder.AddPart(points, triangles);
}
