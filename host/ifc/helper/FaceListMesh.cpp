#include "host/ifc/helper/FaceListMesh.h"

#include <ifcpp/IFC4/include/IfcClosedShell.h>
#include <ifcpp/IFC4/include/IfcConnectedFaceSet.h>
#include <ifcpp/IFC4/include/IfcFace.h>
#include <ifcpp/IFC4/include/IfcFaceBasedSurfaceModel.h>
#include <ifcpp/IFC4/include/IfcFaceBound.h>
#include <ifcpp/IFC4/include/IfcFacetedBrep.h>
#include <ifcpp/IFC4/include/IfcMappedItem.h>
#include <ifcpp/IFC4/include/IfcOpenShell.h>
#include <ifcpp/IFC4/include/IfcPlacement.h>
#include <ifcpp/IFC4/include/IfcRepresentation.h>
#include <ifcpp/IFC4/include/IfcRepresentationMap.h>
#include <ifcpp/IFC4/include/IfcShellBasedSurfaceModel.h>
#include <ifcpp/IFC4/include/IfcStyledItem.h>
#include <ifcpp/geometry/Carve/RepresentationConverter.h>

#include <algorithm>
#include <numeric>
#include <typeinfo>
#include <optional>

namespace {

using Vec3 = carve::geom::vector<3>;
using Triangle = std::array<int32_t, 3>;

// One list of faces, as one of the library's mesh sets.
struct Part {
    std::vector<Vec3> points;
    std::vector<Triangle> triangles;
};

// One representation item's parts, its closed mesh sets before its open ones.
struct Item {
    std::vector<Part> closed, open;
};

enum class Shell { Either, Open, Closed };

// Not made here: the library makes the whole product.
struct NotHere {};

bool IsFaceListItem(const IfcRepresentationItem* item) {
    if (!item) return false;
    if (const auto* model = dynamic_cast<const IfcFaceBasedSurfaceModel*>(item)) {
        for (const auto& set : model->m_FbsmFaces)
            if (!set) return false;
        return true;
    }
    if (const auto* model = dynamic_cast<const IfcShellBasedSurfaceModel*>(item)) {
        for (const auto& shell : model->m_SbsmBoundary)
            if (!dynamic_cast<const IfcClosedShell*>(shell.get()) && !dynamic_cast<const IfcOpenShell*>(shell.get())) return false;
        return true;
    }
    // Not a brep with voids: exactly this class.
    return typeid(*item) == typeid(IfcFacetedBrep);
}

bool IsMappedFaceList(const IfcRepresentationItem* item) {
    const auto* mapped = dynamic_cast<const IfcMappedItem*>(item);
    if (!mapped || !mapped->m_MappingSource || !mapped->m_MappingSource->m_MappedRepresentation) return false;
    const auto& origin = mapped->m_MappingSource->m_MappingOrigin;
    if (origin && !dynamic_pointer_cast<IfcPlacement>(origin)) return false;
    for (const auto& inner : mapped->m_MappingSource->m_MappedRepresentation->m_Items)
        if (!dynamic_cast<const IfcStyledItem*>(inner.get()) && !IsFaceListItem(inner.get())) return false;
    return true;
}

// The library's triangles of one face list, taken from its faces as its face conversion takes
// them, grouped into the meshes its mesh set would make: faces joined by an edge the one runs
// forwards and the other backwards, each group in face order, the groups in the order of their
// first faces.
Part FaceListPart(RepresentationConverter& converter, const std::vector<shared_ptr<IfcFace>>& faces, Shell shell,
                  bool& closed, bool& made) {
    PolyInputCache3D cache;
    for (const shared_ptr<IfcFace>& face : faces) {
        if (!face) continue;
        std::vector<std::vector<Vec3>> loops;
        const auto& bounds = face->m_Bounds;
        for (auto bound = bounds.begin(); bound != bounds.end(); ++bound) {
            if (!*bound) continue;
            const shared_ptr<IfcLoop>& loop = (*bound)->m_Bound;
            if (!loop) {
                if (bound == bounds.begin()) break;
                continue;
            }
            loops.emplace_back();
            std::vector<Vec3>& points = loops.back();
            converter.getCurveConverter()->convertIfcLoop(loop, points);
            if (points.size() < 3) {
                if (bound == bounds.begin()) break;
                continue;
            }
            if ((*bound)->m_Orientation && !(*bound)->m_Orientation->m_value) std::reverse(points.begin(), points.end());
        }
        converter.getSweeper()->createTriangulated3DFace(loops, face.get(), cache);
    }
    const carve::input::PolyhedronData& poly = *cache.m_poly_data;
    made = poly.getVertexCount() >= 3;
    if (!made) return {};

    std::vector<Triangle> triangles;
    triangles.reserve(static_cast<size_t>(poly.getFaceCount()));
    for (size_t p = 0; p < poly.faceIndices.size();) {
        if (poly.faceIndices[p] != 3 || p + 3 >= poly.faceIndices.size()) throw NotHere();
        triangles.push_back({poly.faceIndices[p + 1], poly.faceIndices[p + 2], poly.faceIndices[p + 3]});
        p += 4;
    }
    // Faces joined where an edge runs once each way. An edge met more than once the same way the
    // library sorts out by the faces' geometry; here it joins nothing, so that such a list's
    // triangles may come in another order than the library's: the same triangles of the same
    // vertices. Closed: every edge has a way back.
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
    // The library warns of an open closed shell: its own conversion keeps the warning.
    if (shell == Shell::Closed && !closed) throw NotHere();
    if (shell == Shell::Open) closed = false;

    // Groups by their first faces: a group's root is its smallest face.
    std::vector<uint32_t> root(triangles.size());
    for (uint32_t f = 0; f < triangles.size(); ++f) root[f] = find(f);
    std::vector<uint32_t> order(triangles.size());
    std::iota(order.begin(), order.end(), 0u);
    std::stable_sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) { return root[a] < root[b]; });
    Part part;
    part.points = poly.points;
    part.triangles.reserve(triangles.size());
    for (uint32_t f : order) part.triangles.push_back(triangles[f]);
    return part;
}

void AddFaceList(RepresentationConverter& converter, const std::vector<shared_ptr<IfcFace>>& faces, Shell shell, Item& item) {
    bool closed = true, made = false;
    Part part = FaceListPart(converter, faces, shell, closed, made);
    if (made) (closed ? item.closed : item.open).push_back(std::move(part));
}

Item ConvertItem(RepresentationConverter& converter, const IfcRepresentationItem& geometry) {
    Item item;
    if (const auto* model = dynamic_cast<const IfcFaceBasedSurfaceModel*>(&geometry)) {
        for (const auto& set : model->m_FbsmFaces) AddFaceList(converter, set->m_CfsFaces, Shell::Either, item);
    } else if (const auto* shells = dynamic_cast<const IfcShellBasedSurfaceModel*>(&geometry)) {
        for (const auto& shell : shells->m_SbsmBoundary) {
            if (const auto* closed = dynamic_cast<const IfcClosedShell*>(shell.get())) AddFaceList(converter, closed->m_CfsFaces, Shell::Closed, item);
            else if (const auto* open = dynamic_cast<const IfcOpenShell*>(shell.get())) AddFaceList(converter, open->m_CfsFaces, Shell::Open, item);
        }
    } else if (const auto* brep = dynamic_cast<const IfcFacetedBrep*>(&geometry)) {
        if (brep->m_Outer) AddFaceList(converter, brep->m_Outer->m_CfsFaces, Shell::Closed, item);
    }
    return item;
}

// As the library places a mapped item's representation: where both the target and the origin
// are given, and their product is not the identity; a mirroring turns every face.
void PlaceMapped(RepresentationConverter& converter, const IfcMappedItem& mapped, std::vector<Item>& items) {
    shared_ptr<TransformData> target, origin;
    if (mapped.m_MappingTarget) converter.getPlacementConverter()->convertTransformationOperator(mapped.m_MappingTarget, target);
    if (auto placement = dynamic_pointer_cast<IfcPlacement>(mapped.m_MappingSource->m_MappingOrigin))
        converter.getPlacementConverter()->convertIfcPlacement(placement, origin);
    if (!target || !origin) return;
    const carve::math::Matrix matrix(target->m_matrix * origin->m_matrix);
    if (GeomUtils::isMatrixIdentity(matrix)) return;
    const bool mirrored = 0 > carve::geom::dotcross(carve::geom::VECTOR(matrix.m[0][0], matrix.m[1][0], matrix.m[2][0]),
                                                    carve::geom::VECTOR(matrix.m[0][1], matrix.m[1][1], matrix.m[2][1]),
                                                    carve::geom::VECTOR(matrix.m[0][2], matrix.m[1][2], matrix.m[2][2]));
    for (Item& item : items) {
        for (auto* parts : {&item.closed, &item.open}) {
            for (Part& part : *parts) {
                for (Vec3& p : part.points) p = matrix * p;
                // A face turned keeps its first edge, which now starts at its second vertex.
                if (mirrored)
                    for (Triangle& t : part.triangles) t = {t[1], t[0], t[2]};
            }
        }
    }
}

} // namespace

bool IsFaceListBody(const std::vector<shared_ptr<IfcRepresentation>>& bodies) {
    bool any = false;
    for (const auto& body : bodies) {
        if (!body) return false;
        for (const auto& item : body->m_Items) {
            if (dynamic_cast<const IfcStyledItem*>(item.get())) continue;
            if (!IsFaceListItem(item.get()) && !IsMappedFaceList(item.get())) return false;
            any = true;
        }
    }
    return any;
}

bool MeshFaceListBody(RepresentationConverter& converter, const std::vector<shared_ptr<IfcRepresentation>>& bodies,
                      const carve::math::Matrix& toWorld, ProductMesh& mesh, std::string& problem) {
    std::vector<Item> items;
    try {
        for (const auto& body : bodies) {
            for (const auto& element : body->m_Items) {
                if (dynamic_cast<const IfcStyledItem*>(element.get())) continue;
                if (const auto* mapped = dynamic_cast<const IfcMappedItem*>(element.get())) {
                    std::vector<Item> inner;
                    for (const auto& part : mapped->m_MappingSource->m_MappedRepresentation->m_Items)
                        if (!dynamic_cast<const IfcStyledItem*>(part.get())) inner.push_back(ConvertItem(converter, *part));
                    PlaceMapped(converter, *mapped, inner);
                    for (Item& item : inner) items.push_back(std::move(item));
                } else {
                    items.push_back(ConvertItem(converter, *element));
                }
            }
        }
    } catch (...) {
        return false; // the library's own conversion says what went wrong
    }
    ProductMesh made;
    std::string said;
    for (const Item& item : items)
        for (const auto* parts : {&item.closed, &item.open})
            for (const Part& part : *parts) AddPlacedPart(part.points, part.triangles, toWorld, made, said);
    if (said.empty() && made.triangles.empty()) return false;
    mesh = std::move(made);
    problem = std::move(said);
    return true;
}
