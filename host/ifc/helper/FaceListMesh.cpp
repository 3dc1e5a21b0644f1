#include "host/ifc/helper/FaceListMesh.h"

#include "host/ifc/helper/MeshParts.h"

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
#include <typeinfo>

namespace {

using Vec3 = carve::geom::vector<3>;
using Part = MeshPart;
using Item = MeshItem;

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
    Part part;
    if (!GroupTriangles(poly, part, closed)) throw NotHere();
    // The library warns of an open closed shell: its own conversion keeps the warning.
    if (shell == Shell::Closed && !closed) throw NotHere();
    if (shell == Shell::Open) closed = false;
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
    TransformItems(carve::math::Matrix(target->m_matrix * origin->m_matrix), items);
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
    AddItems(items, toWorld, made, said);
    if (said.empty() && made.triangles.empty()) return false;
    mesh = std::move(made);
    problem = std::move(said);
    return true;
}
