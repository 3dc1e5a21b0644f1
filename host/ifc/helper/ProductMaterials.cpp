#include "host/ifc/helper/ProductMaterials.h"

#include "host/ifc/step/WideText.h"

#include <ifcpp/IFC4/include/IfcLabel.h>
#include <ifcpp/IFC4/include/IfcMaterial.h>
#include <ifcpp/IFC4/include/IfcMaterialConstituent.h>
#include <ifcpp/IFC4/include/IfcMaterialConstituentSet.h>
#include <ifcpp/IFC4/include/IfcMaterialDefinitionRepresentation.h>
#include <ifcpp/IFC4/include/IfcMaterialLayer.h>
#include <ifcpp/IFC4/include/IfcMaterialLayerSet.h>
#include <ifcpp/IFC4/include/IfcMaterialLayerSetUsage.h>
#include <ifcpp/IFC4/include/IfcMaterialList.h>
#include <ifcpp/IFC4/include/IfcMaterialProfile.h>
#include <ifcpp/IFC4/include/IfcMaterialProfileSet.h>
#include <ifcpp/IFC4/include/IfcMaterialProfileSetUsage.h>
#include <ifcpp/IFC4/include/IfcProduct.h>
#include <ifcpp/IFC4/include/IfcRelAssociatesMaterial.h>
#include <ifcpp/IFC4/include/IfcRepresentation.h>
#include <ifcpp/IFC4/include/IfcStyledItem.h>
#include <ifcpp/IFC4/include/IfcTypeObject.h>

#include <algorithm>

namespace {

using Materials = std::vector<shared_ptr<IfcMaterial>>;

void Add(Materials& out, const shared_ptr<IfcMaterial>& m) {
    if (m && std::find(out.begin(), out.end(), m) == out.end()) out.push_back(m);
}

void Collect(const shared_ptr<IfcMaterialSelect>& select, Materials& out) {
    if (auto m = dynamic_pointer_cast<IfcMaterial>(select)) return Add(out, m);
    if (auto usage = dynamic_pointer_cast<IfcMaterialLayerSetUsage>(select))
        return Collect(usage->m_ForLayerSet, out);
    if (auto set = dynamic_pointer_cast<IfcMaterialLayerSet>(select)) {
        for (const auto& layer : set->m_MaterialLayers)
            if (layer) Add(out, layer->m_Material);
        return;
    }
    if (auto layer = dynamic_pointer_cast<IfcMaterialLayer>(select)) return Add(out, layer->m_Material);
    if (auto usage = dynamic_pointer_cast<IfcMaterialProfileSetUsage>(select))
        return Collect(usage->m_ForProfileSet, out);
    if (auto set = dynamic_pointer_cast<IfcMaterialProfileSet>(select)) {
        for (const auto& profile : set->m_MaterialProfiles)
            if (profile) Add(out, profile->m_Material);
        return;
    }
    if (auto profile = dynamic_pointer_cast<IfcMaterialProfile>(select)) return Add(out, profile->m_Material);
    if (auto set = dynamic_pointer_cast<IfcMaterialConstituentSet>(select)) {
        for (const auto& constituent : set->m_MaterialConstituents)
            if (constituent) Add(out, constituent->m_Material);
        return;
    }
    if (auto constituent = dynamic_pointer_cast<IfcMaterialConstituent>(select)) return Add(out, constituent->m_Material);
    if (auto list = dynamic_pointer_cast<IfcMaterialList>(select))
        for (const auto& m : list->m_Materials) Add(out, m);
}

Materials AssociatedWith(const IfcObjectDefinition& object) {
    Materials out;
    for (const auto& weak : object.m_HasAssociations_inverse)
        if (auto rel = dynamic_pointer_cast<IfcRelAssociatesMaterial>(weak.lock())) Collect(rel->m_RelatingMaterial, out);
    return out;
}

Materials MaterialsOf(const IfcProduct& product) {
    Materials own = AssociatedWith(product);
    if (!own.empty()) return own;
    auto type = TypeObjectOf(product);
    return type ? AssociatedWith(*type) : own;
}

} // namespace

std::vector<std::string> MaterialNamesOf(const IfcProduct& product) {
    std::vector<std::string> names;
    for (const auto& m : MaterialsOf(product)) {
        std::string name = m->m_Name ? Utf8FromWide(m->m_Name->m_value) : std::string();
        if (!name.empty() && std::find(names.begin(), names.end(), name) == names.end()) names.push_back(std::move(name));
    }
    return names;
}

std::optional<SurfaceColour> MaterialColourOf(const IfcProduct& product) {
    for (const auto& m : MaterialsOf(product))
        for (const auto& weak : m->m_HasRepresentation_inverse) {
            auto representation = weak.lock();
            if (!representation) continue;
            for (const auto& r : representation->m_Representations) {
                if (!r) continue;
                for (const auto& item : r->m_Items)
                    if (auto styled = dynamic_pointer_cast<IfcStyledItem>(item))
                        if (auto c = ColourOfStyledItem(*styled)) return c;
            }
        }
    return std::nullopt;
}
