#include "host/ifc/helper/CommonRecords.h"

#include <ifcpp/IFC4/include/IfcAreaMeasure.h>
#include <ifcpp/IFC4/include/IfcAxis2Placement3D.h>
#include <ifcpp/IFC4/include/IfcBoolean.h>
#include <ifcpp/IFC4/include/IfcCartesianPoint.h>
#include <ifcpp/IFC4/include/IfcDirection.h>
#include <ifcpp/IFC4/include/IfcFace.h>
#include <ifcpp/IFC4/include/IfcGloballyUniqueId.h>
#include <ifcpp/IFC4/include/IfcFaceBound.h>
#include <ifcpp/IFC4/include/IfcFaceOuterBound.h>
#include <ifcpp/IFC4/include/IfcIdentifier.h>
#include <ifcpp/IFC4/include/IfcLabel.h>
#include <ifcpp/IFC4/include/IfcLengthMeasure.h>
#include <ifcpp/IFC4/include/IfcLocalPlacement.h>
#include <ifcpp/IFC4/include/IfcLoop.h>
#include <ifcpp/IFC4/include/IfcMassMeasure.h>
#include <ifcpp/IFC4/include/IfcObjectDefinition.h>
#include <ifcpp/IFC4/include/IfcOwnerHistory.h>
#include <ifcpp/IFC4/include/IfcPlaneAngleMeasure.h>
#include <ifcpp/IFC4/include/IfcPolyLoop.h>
#include <ifcpp/IFC4/include/IfcPositiveLengthMeasure.h>
#include <ifcpp/IFC4/include/IfcProductDefinitionShape.h>
#include <ifcpp/IFC4/include/IfcPropertySet.h>
#include <ifcpp/IFC4/include/IfcPropertySetDefinitionSelect.h>
#include <ifcpp/IFC4/include/IfcPropertySingleValue.h>
#include <ifcpp/IFC4/include/IfcReal.h>
#include <ifcpp/IFC4/include/IfcRelDefinesByProperties.h>
#include <ifcpp/IFC4/include/IfcRepresentation.h>
#include <ifcpp/IFC4/include/IfcRepresentationContext.h>
#include <ifcpp/IFC4/include/IfcRepresentationItem.h>
#include <ifcpp/IFC4/include/IfcShapeRepresentation.h>
#include <ifcpp/IFC4/include/IfcText.h>
#include <ifcpp/IFC4/include/IfcTimeMeasure.h>
#include <ifcpp/IFC4/include/IfcVolumeMeasure.h>

#include <cctype>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <typeinfo>
#include <vector>

namespace {

using Entities = std::map<int, shared_ptr<BuildingEntity>>;

// Takes `prefix` off the front of `text`.
bool Take(std::string_view& text, std::string_view prefix) {
    if (text.substr(0, prefix.size()) != prefix) return false;
    text.remove_prefix(prefix.size());
    return true;
}

// A number as the library's reading takes it (std::stod, in the C locale): digits with an
// optional sign, point and exponent, nothing else, and in the range of a double.
bool Number(std::string_view& text, double& value) {
    size_t n = 0;
    while (n < text.size() && (std::isdigit(static_cast<unsigned char>(text[n])) || text[n] == '.' || text[n] == 'E' ||
                               text[n] == 'e' || text[n] == '-' || text[n] == '+'))
        ++n;
    std::string_view token = text.substr(0, n);
    if (!token.empty() && token.front() == '+') token.remove_prefix(1); // which from_chars does not take
    if (token.empty() || (!std::isdigit(static_cast<unsigned char>(token.front())) && token.front() != '-')) return false;
    auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), value);
    if (error != std::errc() || end != token.data() + token.size()) return false;
    // Too small for a normal double: std::stod calls it out of range, and the library reads 0.
    if (value != 0 && std::abs(value) < std::numeric_limits<double>::min()) return false;
    if (value == 0 && token.substr(0, token.find_first_of("Ee")).find_first_of("123456789") != std::string_view::npos) return false;
    text.remove_prefix(n);
    return true;
}

template <typename T>
bool Reference(std::string_view& text, const Entities& entities, shared_ptr<T>& out) {
    if (!Take(text, "#")) return false;
    int id = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), id);
    if (error != std::errc() || end == text.data()) return false;
    text.remove_prefix(static_cast<size_t>(end - text.data()));
    auto found = entities.find(id);
    if (found == entities.end()) return false;
    out = dynamic_pointer_cast<T>(found->second);
    return out != nullptr;
}

// "(#1,#2,...)", at least one.
template <typename T>
bool References(std::string_view& text, const Entities& entities, std::vector<shared_ptr<T>>& out) {
    if (!Take(text, "(")) return false;
    do {
        shared_ptr<T> one;
        if (!Reference(text, entities, one)) return false;
        out.push_back(std::move(one));
    } while (Take(text, ","));
    return Take(text, ")");
}

// A record's numbers made in one block with one count, each pointed at within it: a file's
// points are millions, and their numbers live as long as they do.
template <typename T, size_t N>
void PutNumbers(std::vector<shared_ptr<T>>& into, const double (&numbers)[3]) {
    std::array<T, N> made;
    for (size_t i = 0; i < N; ++i) made[i].m_value = numbers[i];
    auto block = std::make_shared<std::array<T, N>>(std::move(made));
    for (size_t i = 0; i < N; ++i) into.push_back(shared_ptr<T>(block, &(*block)[i]));
}

// "((x,y))" or "((x,y,z))", a point's coordinates or a direction's ratios.
template <typename T>
bool ReadNumbers(std::vector<shared_ptr<T>>& into, std::string_view text) {
    double numbers[3];
    size_t count = 0;
    if (!Take(text, "((")) return false;
    do {
        if (count == 3 || !Number(text, numbers[count])) return false;
        ++count;
    } while (Take(text, ","));
    if (text != "))") return false;
    into.reserve(into.size() + count);
    if (count == 3) PutNumbers<T, 3>(into, numbers);
    else if (count == 2) PutNumbers<T, 2>(into, numbers);
    else PutNumbers<T, 1>(into, numbers);
    return true;
}

// A reference, or "$" for none.
template <typename T>
bool Optional(std::string_view& text, const Entities& entities, shared_ptr<T>& out) {
    return Take(text, "$") || Reference(text, entities, out);
}

bool ReadAxisPlacement(IfcAxis2Placement3D& placement, std::string_view text, const Entities& entities) {
    shared_ptr<IfcCartesianPoint> location;
    shared_ptr<IfcDirection> axis, refDirection;
    if (!Take(text, "(") || !Reference(text, entities, location) || !Take(text, ",") || !Optional(text, entities, axis) ||
        !Take(text, ",") || !Optional(text, entities, refDirection) || text != ")")
        return false;
    placement.m_Location = std::move(location);
    placement.m_Axis = std::move(axis);
    placement.m_RefDirection = std::move(refDirection);
    return true;
}

bool ReadLocalPlacement(IfcLocalPlacement& placement, std::string_view text, const Entities& entities) {
    shared_ptr<IfcObjectPlacement> relativeTo;
    shared_ptr<IfcAxis2Placement> relative;
    if (!Take(text, "(") || !Optional(text, entities, relativeTo) || !Take(text, ",") || !Reference(text, entities, relative) ||
        text != ")")
        return false;
    placement.m_PlacementRelTo = std::move(relativeTo);
    placement.m_RelativePlacement = std::move(relative);
    return true;
}

template <typename T>
bool ReadList(std::vector<shared_ptr<T>>& into, std::string_view text, const Entities& entities) {
    std::vector<shared_ptr<T>> list;
    if (!Take(text, "(") || !References(text, entities, list) || text != ")") return false;
    into = std::move(list);
    return true;
}

bool ReadBound(IfcFaceBound& bound, std::string_view text, const Entities& entities) {
    shared_ptr<IfcLoop> loop;
    if (!Take(text, "(") || !Reference(text, entities, loop) || !Take(text, ",")) return false;
    bool orientation;
    if (text == ".T.)") orientation = true;
    else if (text == ".F.)") orientation = false;
    else return false;
    bound.m_Bound = std::move(loop);
    bound.m_Orientation = std::make_shared<IfcBoolean>();
    bound.m_Orientation->m_value = orientation;
    return true;
}

// A string in its plainest form, which the library keeps as written: printable ASCII without
// escapes and without a doubled apostrophe (which it keeps doubled, a form left to it).
bool PlainString(std::string_view& text, std::wstring& out) {
    if (!Take(text, "'")) return false;
    const size_t end = text.find('\'');
    if (end == std::string_view::npos || text.substr(end, 2) == "''") return false;
    for (char c : text.substr(0, end))
        if (c == '\\' || c < 0x20 || c > 0x7e) return false;
    out.assign(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(end));
    text.remove_prefix(end + 1);
    return true;
}

template <typename T>
bool Text(std::string_view& text, shared_ptr<T>& out) {
    std::wstring value;
    if (!PlainString(text, value)) return false;
    out = std::make_shared<T>(std::move(value));
    return true;
}

template <typename T>
bool Measure(std::string_view& text, shared_ptr<IfcValue>& out) {
    double value = 0;
    if (!Number(text, value)) return false;
    out = std::make_shared<T>(value);
    return true;
}

template <typename T>
bool TypedText(std::string_view& text, shared_ptr<IfcValue>& out) {
    shared_ptr<T> value;
    if (!Text(text, value)) return false;
    out = std::move(value);
    return true;
}

bool Truth(std::string_view& text, shared_ptr<IfcValue>& out) {
    const bool yes = Take(text, ".T.");
    if (!yes && !Take(text, ".F.")) return false;
    auto truth = std::make_shared<IfcBoolean>();
    truth->m_value = yes;
    out = std::move(truth);
    return true;
}

using ValueReader = bool (*)(std::string_view&, shared_ptr<IfcValue>&);
constexpr std::pair<std::string_view, ValueReader> kValueReaders[] = {
    {"IFCLABEL", &TypedText<IfcLabel>},
    {"IFCTEXT", &TypedText<IfcText>},
    {"IFCIDENTIFIER", &TypedText<IfcIdentifier>},
    {"IFCBOOLEAN", &Truth},
    {"IFCLENGTHMEASURE", &Measure<IfcLengthMeasure>},
    {"IFCPOSITIVELENGTHMEASURE", &Measure<IfcPositiveLengthMeasure>},
    {"IFCAREAMEASURE", &Measure<IfcAreaMeasure>},
    {"IFCVOLUMEMEASURE", &Measure<IfcVolumeMeasure>},
    {"IFCMASSMEASURE", &Measure<IfcMassMeasure>},
    {"IFCPLANEANGLEMEASURE", &Measure<IfcPlaneAngleMeasure>},
    {"IFCTIMEMEASURE", &Measure<IfcTimeMeasure>},
    {"IFCREAL", &Measure<IfcReal>},
};

// The common typed values, "IFCLABEL('...')" and the like, or "$".
bool Value(std::string_view& text, shared_ptr<IfcValue>& out) {
    if (Take(text, "$")) return true;
    const size_t open = text.find('(');
    if (open == std::string_view::npos) return false;
    const std::string_view type = text.substr(0, open);
    text.remove_prefix(open + 1);
    for (const auto& [name, read] : kValueReaders)
        if (type == name) return read(text, out) && Take(text, ")");
    return false;
}

// "('name',$ or 'description',value,$)": the single values of real files' property sets, nearly
// all of one of these forms; a unit is the library's to find.
bool ReadSingleValue(IfcPropertySingleValue& property, std::string_view text) {
    shared_ptr<IfcIdentifier> name;
    shared_ptr<IfcText> description;
    shared_ptr<IfcValue> value;
    if (!Take(text, "(") || !Text(text, name) || !Take(text, ",")) return false;
    if (!Take(text, "$") && !Text(text, description)) return false;
    if (!Take(text, ",") || !Value(text, value) || text != ",$)") return false;
    property.m_Name = std::move(name);
    property.m_Description = std::move(description);
    property.m_NominalValue = std::move(value);
    return true;
}

template <typename T>
bool OptionalText(std::string_view& text, shared_ptr<T>& out) {
    return Take(text, "$") || Text(text, out);
}

// The attributes every rooted entity begins with, after its "(": GlobalId, owner history, name
// and description.
struct Root {
    shared_ptr<IfcGloballyUniqueId> globalId;
    shared_ptr<IfcOwnerHistory> ownerHistory;
    shared_ptr<IfcLabel> name;
    shared_ptr<IfcText> description;

    bool Read(std::string_view& text, const Entities& entities) {
        return Take(text, "(") && Text(text, globalId) && Take(text, ",") && Optional(text, entities, ownerHistory) &&
               Take(text, ",") && OptionalText(text, name) && Take(text, ",") && OptionalText(text, description);
    }
    void Give(IfcRoot& root) {
        root.m_GlobalId = std::move(globalId);
        root.m_OwnerHistory = std::move(ownerHistory);
        root.m_Name = std::move(name);
        root.m_Description = std::move(description);
    }
};

bool ReadPropertySet(IfcPropertySet& set, std::string_view text, const Entities& entities) {
    Root root;
    std::vector<shared_ptr<IfcProperty>> properties;
    if (!root.Read(text, entities) || !Take(text, ",") || !References(text, entities, properties) || text != ")") return false;
    root.Give(set);
    set.m_HasProperties = std::move(properties);
    return true;
}

bool ReadDefinesByProperties(IfcRelDefinesByProperties& rel, std::string_view text, const Entities& entities) {
    Root root;
    std::vector<shared_ptr<IfcObjectDefinition>> objects;
    shared_ptr<IfcPropertySetDefinitionSelect> definition;
    if (!root.Read(text, entities) || !Take(text, ",") || !References(text, entities, objects) || !Take(text, ",") ||
        !Reference(text, entities, definition) || text != ")")
        return false;
    root.Give(rel);
    rel.m_RelatedObjects = std::move(objects);
    rel.m_RelatingPropertyDefinition = std::move(definition);
    return true;
}

bool ReadShapeRepresentation(IfcShapeRepresentation& shape, std::string_view text, const Entities& entities) {
    shared_ptr<IfcRepresentationContext> context;
    shared_ptr<IfcLabel> identifier, type;
    std::vector<shared_ptr<IfcRepresentationItem>> items;
    if (!Take(text, "(") || !Reference(text, entities, context) || !Take(text, ",") || !OptionalText(text, identifier) ||
        !Take(text, ",") || !OptionalText(text, type) || !Take(text, ",") || !References(text, entities, items) || text != ")")
        return false;
    shape.m_ContextOfItems = std::move(context);
    shape.m_RepresentationIdentifier = std::move(identifier);
    shape.m_RepresentationType = std::move(type);
    shape.m_Items = std::move(items);
    return true;
}

bool ReadProductShape(IfcProductDefinitionShape& shape, std::string_view text, const Entities& entities) {
    shared_ptr<IfcLabel> name;
    shared_ptr<IfcText> description;
    std::vector<shared_ptr<IfcRepresentation>> representations;
    if (!Take(text, "(") || !OptionalText(text, name) || !Take(text, ",") || !OptionalText(text, description) ||
        !Take(text, ",") || !References(text, entities, representations) || text != ")")
        return false;
    shape.m_Name = std::move(name);
    shape.m_Description = std::move(description);
    shape.m_Representations = std::move(representations);
    return true;
}

} // namespace

bool ReadCommonRecord(BuildingEntity& entity, std::string_view attributes, const Entities& entities) {
    // By exact type: a type derived from one of these has attributes of its own.
    const std::type_info& type = typeid(entity);
    if (type == typeid(IfcCartesianPoint)) return ReadNumbers(static_cast<IfcCartesianPoint&>(entity).m_Coordinates, attributes);
    if (type == typeid(IfcPolyLoop)) return ReadList(static_cast<IfcPolyLoop&>(entity).m_Polygon, attributes, entities);
    if (type == typeid(IfcFace)) return ReadList(static_cast<IfcFace&>(entity).m_Bounds, attributes, entities);
    if (type == typeid(IfcFaceOuterBound) || type == typeid(IfcFaceBound))
        return ReadBound(dynamic_cast<IfcFaceBound&>(entity), attributes, entities);
    if (type == typeid(IfcDirection)) return ReadNumbers(static_cast<IfcDirection&>(entity).m_DirectionRatios, attributes);
    if (type == typeid(IfcAxis2Placement3D)) return ReadAxisPlacement(static_cast<IfcAxis2Placement3D&>(entity), attributes, entities);
    if (type == typeid(IfcLocalPlacement)) return ReadLocalPlacement(static_cast<IfcLocalPlacement&>(entity), attributes, entities);
    if (type == typeid(IfcPropertySet)) return ReadPropertySet(dynamic_cast<IfcPropertySet&>(entity), attributes, entities);
    if (type == typeid(IfcRelDefinesByProperties))
        return ReadDefinesByProperties(dynamic_cast<IfcRelDefinesByProperties&>(entity), attributes, entities);
    if (type == typeid(IfcShapeRepresentation))
        return ReadShapeRepresentation(dynamic_cast<IfcShapeRepresentation&>(entity), attributes, entities);
    if (type == typeid(IfcProductDefinitionShape))
        return ReadProductShape(dynamic_cast<IfcProductDefinitionShape&>(entity), attributes, entities);
    if (type == typeid(IfcPropertySingleValue)) return ReadSingleValue(dynamic_cast<IfcPropertySingleValue&>(entity), attributes);
    return false;
}
