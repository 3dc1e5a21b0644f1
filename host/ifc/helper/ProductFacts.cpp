#include "host/ifc/helper/ProductFacts.h"

#include "host/ifc/step/WideText.h"

#include <ifcpp/IFC4/include/IfcBooleanResult.h>
#include <ifcpp/IFC4/include/IfcBuildingStorey.h>
#include <ifcpp/IFC4/include/IfcColourRgb.h>
#include <ifcpp/IFC4/include/IfcElement.h>
#include <ifcpp/IFC4/include/IfcGloballyUniqueId.h>
#include <ifcpp/IFC4/include/IfcIdentifier.h>
#include <ifcpp/IFC4/include/IfcLabel.h>
#include <ifcpp/IFC4/include/IfcMappedItem.h>
#include <ifcpp/IFC4/include/IfcNormalisedRatioMeasure.h>
#include <ifcpp/IFC4/include/IfcPresentationLayerAssignment.h>
#include <ifcpp/IFC4/include/IfcPresentationStyleAssignment.h>
#include <ifcpp/IFC4/include/IfcProduct.h>
#include <ifcpp/IFC4/include/IfcProductRepresentation.h>
#include <ifcpp/IFC4/include/IfcRelAggregates.h>
#include <ifcpp/IFC4/include/IfcRelContainedInSpatialStructure.h>
#include <ifcpp/IFC4/include/IfcRelDefinesByType.h>
#include <ifcpp/IFC4/include/IfcRepresentation.h>
#include <ifcpp/IFC4/include/IfcRepresentationItem.h>
#include <ifcpp/IFC4/include/IfcRepresentationMap.h>
#include <ifcpp/IFC4/include/IfcSpatialElement.h>
#include <ifcpp/IFC4/include/IfcStyledItem.h>
#include <ifcpp/IFC4/include/IfcSurfaceStyle.h>
#include <ifcpp/IFC4/include/IfcSurfaceStyleShading.h>
#include <ifcpp/IFC4/include/IfcText.h>
#include <ifcpp/IFC4/include/IfcTypeObject.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <unordered_set>

namespace {

// Mapped items and decomposition can nest; a file that nests deeper or loops is not followed.
constexpr int kMaxDepth = 32;

template <typename T>
std::string Text(const shared_ptr<T>& value) {
    return value ? Utf8FromWide(value->m_value) : std::string();
}

std::string Identifier(const shared_ptr<IfcRepresentation>& r) {
    std::string id = Text(r->m_RepresentationIdentifier);
    for (char& c : id) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return id;
}

bool IsStandIn(const std::string& lowerId) {
    static const char* const kStandIns[] = {"axis", "box", "footprint", "annotation", "profile",
                                            "clearance", "lighting", "reference", "surface"};
    return std::any_of(std::begin(kStandIns), std::end(kStandIns), [&](const char* s) { return lowerId == s; });
}

std::string LayerOfItems(const std::vector<shared_ptr<IfcRepresentationItem>>& items, int depth);

std::string LayerOfRepresentation(const shared_ptr<IfcRepresentation>& r, int depth) {
    if (!r || depth > kMaxDepth) return {};
    for (const auto& weak : r->m_LayerAssignments_inverse)
        if (auto layer = weak.lock(); layer && layer->m_Name) return Text(layer->m_Name);
    return LayerOfItems(r->m_Items, depth + 1);
}

std::string LayerOfItems(const std::vector<shared_ptr<IfcRepresentationItem>>& items, int depth) {
    for (const auto& item : items) {
        if (!item) continue;
        for (const auto& weak : item->m_LayerAssignment_inverse)
            if (auto layer = weak.lock(); layer && layer->m_Name) return Text(layer->m_Name);
    }
    for (const auto& item : items) {
        auto mapped = dynamic_pointer_cast<IfcMappedItem>(item);
        if (mapped && mapped->m_MappingSource) {
            std::string name = LayerOfRepresentation(mapped->m_MappingSource->m_MappedRepresentation, depth + 1);
            if (!name.empty()) return name;
        }
    }
    return {};
}

double Ratio(const shared_ptr<IfcNormalisedRatioMeasure>& m) {
    if (!m || !std::isfinite(m->m_value)) return 0.0;
    return std::clamp(m->m_value, 0.0, 1.0);
}

std::optional<SurfaceColour> ColourOfSurfaceStyle(const shared_ptr<IfcSurfaceStyle>& style) {
    if (!style) return std::nullopt;
    for (const auto& element : style->m_Styles) {
        auto shading = dynamic_pointer_cast<IfcSurfaceStyleShading>(element);
        if (!shading || !shading->m_SurfaceColour) continue;
        SurfaceColour c;
        c.rgb = {Ratio(shading->m_SurfaceColour->m_Red), Ratio(shading->m_SurfaceColour->m_Green),
                 Ratio(shading->m_SurfaceColour->m_Blue)};
        c.transparency = Ratio(shading->m_Transparency);
        return c;
    }
    return std::nullopt;
}

std::optional<SurfaceColour> ColourOfItems(const std::vector<shared_ptr<IfcRepresentationItem>>& items, int depth);

std::optional<SurfaceColour> ColourOfItem(const shared_ptr<IfcRepresentationItem>& item, int depth) {
    if (!item || depth > kMaxDepth) return std::nullopt;
    for (const auto& weak : item->m_StyledByItem_inverse)
        if (auto styled = weak.lock())
            if (auto c = ColourOfStyledItem(*styled)) return c;
    if (auto mapped = dynamic_pointer_cast<IfcMappedItem>(item)) {
        if (mapped->m_MappingSource && mapped->m_MappingSource->m_MappedRepresentation)
            return ColourOfItems(mapped->m_MappingSource->m_MappedRepresentation->m_Items, depth + 1);
    } else if (auto boolean = dynamic_pointer_cast<IfcBooleanResult>(item)) {
        // What remains of a Boolean difference is the first operand's material.
        return ColourOfItem(dynamic_pointer_cast<IfcRepresentationItem>(boolean->m_FirstOperand), depth + 1);
    }
    return std::nullopt;
}

std::optional<SurfaceColour> ColourOfItems(const std::vector<shared_ptr<IfcRepresentationItem>>& items, int depth) {
    for (const auto& item : items)
        if (auto c = ColourOfItem(item, depth)) return c;
    return std::nullopt;
}

} // namespace

std::optional<SurfaceColour> ColourOfStyledItem(const IfcStyledItem& styled) {
    for (const auto& select : styled.m_Styles) {
        // IFC2x3 wraps the styles in an assignment; IFC4 may name the surface style itself.
        if (auto c = ColourOfSurfaceStyle(dynamic_pointer_cast<IfcSurfaceStyle>(select))) return c;
        if (auto assignment = dynamic_pointer_cast<IfcPresentationStyleAssignment>(select))
            for (const auto& style : assignment->m_Styles)
                if (auto c = ColourOfSurfaceStyle(dynamic_pointer_cast<IfcSurfaceStyle>(style))) return c;
    }
    return std::nullopt;
}

std::vector<shared_ptr<IfcRepresentation>> BodyRepresentations(const IfcProduct& product) {
    std::vector<shared_ptr<IfcRepresentation>> body, other;
    if (!product.m_Representation) return body;
    for (const auto& r : product.m_Representation->m_Representations) {
        if (!r) continue;
        std::string id = Identifier(r);
        if (id == "body") body.push_back(r);
        else if (!IsStandIn(id) && id != "body-fallback") other.push_back(r);
    }
    return body.empty() ? other : body;
}

std::string IfcClassOf(const BuildingEntity& entity) { return entity.className(); }

std::string PredefinedTypeOf(const BuildingEntity& entity) {
    std::vector<std::pair<std::string, shared_ptr<BuildingObject>>> attributes;
    entity.getAttributes(attributes);
    for (const auto& [name, value] : attributes) {
        if (name != "PredefinedType" || !value) continue;
        std::string type = Utf8FromWide(value->toString());
        for (char& c : type) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return type;
    }
    return {};
}

std::string NameOf(const IfcProduct& product) { return Text(product.m_Name); }

std::string TagOf(const IfcProduct& product) {
    const auto* element = dynamic_cast<const IfcElement*>(&product);
    return element ? Text(element->m_Tag) : std::string();
}

std::string GlobalIdOf(const IfcProduct& product) { return Text(product.m_GlobalId); }

std::string DescriptionOf(const IfcProduct& product) { return Text(product.m_Description); }

std::string ObjectTypeOf(const IfcProduct& product) { return Text(product.m_ObjectType); }

shared_ptr<IfcTypeObject> TypeObjectOf(const IfcObject& object) {
    for (const auto& weak : object.m_IsTypedBy_inverse)
        if (auto rel = weak.lock(); rel && rel->m_RelatingType) return rel->m_RelatingType;
    return nullptr;
}

std::string StoreyName(const IfcBuildingStorey& storey) {
    std::string name = Text(storey.m_Name);
    return name.empty() ? Text(storey.m_LongName) : name;
}

std::string LayerOf(const std::vector<shared_ptr<IfcRepresentation>>& bodies) {
    for (const auto& r : bodies) {
        std::string name = LayerOfRepresentation(r, 0);
        if (!name.empty()) return name;
    }
    return {};
}

std::string StoreyOf(const IfcProduct& product) {
    std::unordered_set<const IfcObjectDefinition*> visited;
    const IfcObjectDefinition* at = &product;
    for (int depth = 0; at && depth < kMaxDepth && visited.insert(at).second; ++depth) {
        if (at != &product)
            if (const auto* storey = dynamic_cast<const IfcBuildingStorey*>(at)) return StoreyName(*storey);
        const IfcObjectDefinition* next = nullptr;
        if (const auto* element = dynamic_cast<const IfcElement*>(at)) {
            for (const auto& weak : element->m_ContainedInStructure_inverse)
                if (auto rel = weak.lock(); rel && rel->m_RelatingStructure) {
                    next = rel->m_RelatingStructure.get();
                    break;
                }
        }
        if (!next)
            for (const auto& weak : at->m_Decomposes_inverse)
                if (auto rel = weak.lock(); rel && rel->m_RelatingObject) {
                    next = rel->m_RelatingObject.get();
                    break;
                }
        at = next;
    }
    return {};
}

std::optional<SurfaceColour> ColourOf(const std::vector<shared_ptr<IfcRepresentation>>& bodies) {
    for (const auto& r : bodies)
        if (r)
            if (auto c = ColourOfItems(r->m_Items, 0)) return c;
    return std::nullopt;
}
