#include "host/ifc/helper/OpeningCut.h"

#include <ifcpp/geometry/Carve/CSG_Adapter.h>
#include <ifcpp/geometry/Carve/GeomUtils.h>


carve::math::Matrix InverseForCut(const carve::math::Matrix& placement, double tolerance) {
    // An element placed by a matrix that has no inverse is cut as if it had the identity's,
    // as the library does.
    carve::math::Matrix inverse;
    GeomUtils::computeInverse(placement, inverse, tolerance);
    return inverse;
}

void CutOpenings(ItemSets& items, const carve::math::Matrix& placement, std::vector<OpeningBody>& openings, StatusCallback& said,
                 double tolerance) {
    const carve::math::Matrix inverse = InverseForCut(placement, tolerance);
    for (auto& item : items) {
        if (!item) continue;
        for (auto& set : item->m_meshsets) {
            if (!CSG_Adapter::checkMeshSetValidAndClosed(set, &said, nullptr)) continue;
            for (OpeningBody& opening : openings) {
                const carve::math::Matrix relative = inverse * opening.placement;
                carve::math::Matrix back;
                GeomUtils::computeInverse(relative, back, tolerance);
                for (ItemSets& representation : opening.representations) {
                    for (auto& cutter : representation) {
                        if (!cutter || cutter->m_meshsets.empty()) continue;
                        cutter->applyTransformToItem(relative);
                        for (size_t i = 0; i < cutter->m_meshsets.size(); ++i) {
                            std::shared_ptr<carve::mesh::MeshSet<3>> by = cutter->m_meshsets[i];
                            if (!by || by->meshes.empty()) continue;
                            std::shared_ptr<carve::mesh::MeshSet<3>> result;
                            CSG_Adapter::computeCSG(set, by, carve::csg::CSG::A_MINUS_B, result, &said, nullptr);
                            set = result;
                        }
                        cutter->applyTransformToItem(back);
                    }
                }
            }
        }
    }
}
