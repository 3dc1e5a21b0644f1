#include "host/ifc/helper/MeshParts.h"

#include <ifcpp/geometry/Carve/GeomUtils.h>

#include <algorithm>
#include <numeric>
#include <optional>

namespace {

using Triangle = std::array<int32_t, 3>;

} // namespace

bool GroupTriangles(const carve::input::PolyhedronData& poly, MeshPart& part, bool& closed) {
    std::vector<Triangle> triangles;
    triangles.reserve(static_cast<size_t>(poly.getFaceCount()));
    for (size_t p = 0; p < poly.faceIndices.size();) {
        if (poly.faceIndices[p] != 3 || p + 3 >= poly.faceIndices.size()) return false;
        triangles.push_back({poly.faceIndices[p + 1], poly.faceIndices[p + 2], poly.faceIndices[p + 3]});
        p += 4;
    }
    // Faces joined where an edge runs once each way. An edge met more than once the same way the
    // library sorts out by the faces' geometry; here it joins nothing, so that such a list's
    // triangles may come in another order than the library's: the same triangles of the same
    // vertices.
    constexpr uint32_t kMany = UINT32_MAX;
    struct Edge {
        uint64_t key;
        uint32_t face;
        bool operator<(const Edge& o) const { return key < o.key || (key == o.key && face < o.face); }
    };
    auto key = [](int32_t a, int32_t b) { return static_cast<uint64_t>(static_cast<uint32_t>(a)) << 32 | static_cast<uint32_t>(b); };
    std::vector<Edge> edges;
    edges.reserve(triangles.size() * 3);
    for (uint32_t f = 0; f < triangles.size(); ++f)
        for (int k = 0; k < 3; ++k) edges.push_back({key(triangles[f][k], triangles[f][(k + 1) % 3]), f});
    std::sort(edges.begin(), edges.end());
    size_t kept = 0;
    for (size_t i = 0; i < edges.size(); ++i) {
        if (kept > 0 && edges[kept - 1].key == edges[i].key) edges[kept - 1].face = kMany;
        else edges[kept++] = edges[i];
    }
    edges.resize(kept);
    auto faceOf = [&](uint64_t k) {
        auto at = std::lower_bound(edges.begin(), edges.end(), Edge{k, 0});
        return at != edges.end() && at->key == k ? std::optional<uint32_t>(at->face) : std::nullopt;
    };
    std::vector<uint32_t> group(triangles.size());
    std::iota(group.begin(), group.end(), 0u);
    auto find = [&](uint32_t f) {
        while (group[f] != f) f = group[f] = group[group[f]];
        return f;
    };
    closed = true;
    for (uint32_t f = 0; f < triangles.size(); ++f) {
        for (int k = 0; k < 3; ++k) {
            const std::optional<uint32_t> back = faceOf(key(triangles[f][(k + 1) % 3], triangles[f][k]));
            if (!back) {
                closed = false;
                continue;
            }
            if (*back == kMany || *faceOf(key(triangles[f][k], triangles[f][(k + 1) % 3])) == kMany) continue;
            const uint32_t a = find(f), b = find(*back);
            if (a != b) group[std::max(a, b)] = std::min(a, b);
        }
    }
    // Groups by their first faces: a group's root is its smallest face.
    std::vector<uint32_t> root(triangles.size());
    for (uint32_t f = 0; f < triangles.size(); ++f) root[f] = find(f);
    std::vector<uint32_t> order(triangles.size());
    std::iota(order.begin(), order.end(), 0u);
    std::stable_sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) { return root[a] < root[b]; });
    part.points = poly.points;
    part.triangles.clear();
    part.triangles.reserve(triangles.size());
    for (uint32_t f : order) part.triangles.push_back(triangles[f]);
    return true;
}

bool PartOfMeshSet(const carve::mesh::MeshSet<3>& set, MeshPart& part) {
    part.points.clear();
    part.triangles.clear();
    part.polygons = false;
    part.points.reserve(set.vertex_storage.size());
    for (const auto& v : set.vertex_storage) part.points.push_back(v.v);
    const auto* first = set.vertex_storage.data();
    const size_t count = set.vertex_storage.size();
    std::vector<int32_t> loop;
    std::vector<std::array<uint32_t, 3>> corners;
    for (const auto* mesh : set.meshes) {
        for (const auto* face : mesh->faces) {
            if (!face->edge) return false;
            loop.clear();
            const auto* edge = face->edge;
            for (size_t n = 0; n < face->n_edges; ++n, edge = edge->next) {
                if (edge->vert < first || static_cast<size_t>(edge->vert - first) >= count) return false;
                loop.push_back(static_cast<int32_t>(edge->vert - first));
            }
            // A ring that does not close on its count is the library's to draw.
            if (edge != face->edge) return false;
            if (loop.size() < 3) continue;
            if (loop.size() > 3) part.polygons = true;
            TriangulateFace(*face, loop.size(), corners);
            for (const auto& t : corners) part.triangles.push_back({loop[t[0]], loop[t[1]], loop[t[2]]});
        }
    }
    return true;
}

void TransformItems(const carve::math::Matrix& matrix, std::vector<MeshItem>& items) {
    if (GeomUtils::isMatrixIdentity(matrix)) return;
    const bool mirrored = 0 > carve::geom::dotcross(carve::geom::VECTOR(matrix.m[0][0], matrix.m[1][0], matrix.m[2][0]),
                                                    carve::geom::VECTOR(matrix.m[0][1], matrix.m[1][1], matrix.m[2][1]),
                                                    carve::geom::VECTOR(matrix.m[0][2], matrix.m[1][2], matrix.m[2][2]));
    for (MeshItem& item : items) {
        for (auto* parts : {&item.closed, &item.open}) {
            for (MeshPart& part : *parts) {
                for (auto& p : part.points) p = matrix * p;
                // A face turned keeps its first edge, which now starts at its second vertex.
                if (mirrored)
                    for (Triangle& t : part.triangles) t = {t[1], t[0], t[2]};
            }
        }
    }
}

void AddItems(const std::vector<MeshItem>& items, const carve::math::Matrix& toWorld, ProductMesh& mesh, std::string& problem) {
    for (const MeshItem& item : items)
        for (const auto* parts : {&item.closed, &item.open})
            for (const MeshPart& part : *parts) AddPlacedPart(part.points, part.triangles, toWorld, mesh, problem);
}
