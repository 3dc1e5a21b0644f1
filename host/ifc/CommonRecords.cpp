#include "host/ifc/CommonRecords.h"

#include <ifcpp/IFC4/include/IfcBoolean.h>
#include <ifcpp/IFC4/include/IfcCartesianPoint.h>
#include <ifcpp/IFC4/include/IfcFace.h>
#include <ifcpp/IFC4/include/IfcFaceBound.h>
#include <ifcpp/IFC4/include/IfcFaceOuterBound.h>
#include <ifcpp/IFC4/include/IfcLengthMeasure.h>
#include <ifcpp/IFC4/include/IfcLoop.h>
#include <ifcpp/IFC4/include/IfcPolyLoop.h>

#include <cctype>
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

bool ReadPoint(IfcCartesianPoint& point, std::string_view text) {
    double coordinates[3];
    size_t count = 0;
    if (!Take(text, "((")) return false;
    do {
        if (count == 3 || !Number(text, coordinates[count])) return false;
        ++count;
    } while (Take(text, ","));
    if (text != "))") return false;
    for (size_t i = 0; i < count; ++i) point.m_Coordinates.push_back(shared_ptr<IfcLengthMeasure>(new IfcLengthMeasure(coordinates[i])));
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
    bound.m_Orientation = shared_ptr<IfcBoolean>(new IfcBoolean());
    bound.m_Orientation->m_value = orientation;
    return true;
}

} // namespace

bool ReadCommonRecord(BuildingEntity& entity, std::string_view attributes, const Entities& entities) {
    // By exact type: a type derived from one of these has attributes of its own.
    const std::type_info& type = typeid(entity);
    if (type == typeid(IfcCartesianPoint)) return ReadPoint(static_cast<IfcCartesianPoint&>(entity), attributes);
    if (type == typeid(IfcPolyLoop)) return ReadList(static_cast<IfcPolyLoop&>(entity).m_Polygon, attributes, entities);
    if (type == typeid(IfcFace)) return ReadList(static_cast<IfcFace&>(entity).m_Bounds, attributes, entities);
    if (type == typeid(IfcFaceOuterBound) || type == typeid(IfcFaceBound))
        return ReadBound(dynamic_cast<IfcFaceBound&>(entity), attributes, entities);
    return false;
}
