#include "host/ifc/helper/BuildingStoreys.h"

#include "host/ifc/helper/ProductFacts.h"

#include <ifcpp/IFC4/include/IfcBuildingStorey.h>
#include <ifcpp/IFC4/include/IfcLengthMeasure.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <typeinfo>

std::vector<std::string> BuildingStoreysOf(const std::vector<BuildingEntity*>& inFileOrder) {
    std::vector<StoreyLevel> storeys;
    for (BuildingEntity* entity : inFileOrder) {
        // No entity derives from a storey: its type is compared, without the walk through every
        // other entity's bases that a cast would take.
        if (!entity || typeid(*entity) != typeid(IfcBuildingStorey)) continue;
        const auto* storey = static_cast<const IfcBuildingStorey*>(entity);
        StoreyLevel s{StoreyName(*storey), std::nullopt};
        if (s.name.empty()) continue;
        if (storey->m_Elevation && std::isfinite(storey->m_Elevation->m_value)) s.elevation = storey->m_Elevation->m_value;
        storeys.push_back(std::move(s));
    }
    return StoreysFromTheLowest(std::move(storeys));
}

std::vector<std::string> StoreysFromTheLowest(std::vector<StoreyLevel> storeys) {
    std::stable_sort(storeys.begin(), storeys.end(), [](const StoreyLevel& a, const StoreyLevel& b) {
        if (!a.elevation || !b.elevation) return a.elevation.has_value() && !b.elevation.has_value();
        return *a.elevation < *b.elevation;
    });
    std::vector<std::string> names;
    for (StoreyLevel& s : storeys)
        if (std::find(names.begin(), names.end(), s.name) == names.end()) names.push_back(std::move(s.name));
    return names;
}
