#include "host/ifc/ProductProperties.h"

#include "host/ifc/ProductFacts.h"
#include "host/ifc/WideText.h"

#include <ifcpp/IFC4/include/IfcElementQuantity.h>
#include <ifcpp/IFC4/include/IfcIdentifier.h>
#include <ifcpp/IFC4/include/IfcLabel.h>
#include <ifcpp/IFC4/include/IfcProduct.h>
#include <ifcpp/IFC4/include/IfcPropertySet.h>
#include <ifcpp/IFC4/include/IfcPropertySetDefinitionSet.h>
#include <ifcpp/IFC4/include/IfcPropertySingleValue.h>
#include <ifcpp/IFC4/include/IfcQuantityArea.h>
#include <ifcpp/IFC4/include/IfcQuantityCount.h>
#include <ifcpp/IFC4/include/IfcQuantityLength.h>
#include <ifcpp/IFC4/include/IfcQuantityTime.h>
#include <ifcpp/IFC4/include/IfcQuantityVolume.h>
#include <ifcpp/IFC4/include/IfcQuantityWeight.h>
#include <ifcpp/IFC4/include/IfcAreaMeasure.h>
#include <ifcpp/IFC4/include/IfcCountMeasure.h>
#include <ifcpp/IFC4/include/IfcLengthMeasure.h>
#include <ifcpp/IFC4/include/IfcMassMeasure.h>
#include <ifcpp/IFC4/include/IfcRelDefinesByProperties.h>
#include <ifcpp/IFC4/include/IfcTimeMeasure.h>
#include <ifcpp/IFC4/include/IfcTypeObject.h>
#include <ifcpp/IFC4/include/IfcValue.h>
#include <ifcpp/IFC4/include/IfcVolumeMeasure.h>

#include <charconv>
#include <map>
#include <sstream>

namespace {

using Values = std::map<std::string, std::string>;

template <typename T>
std::string Name(const shared_ptr<T>& name) {
    return name ? Utf8FromWide(name->m_value) : std::string();
}

// The first value of a key stays: the occurrence's sets are read before its type's.
void Put(Values& out, const std::string& set, const std::string& name, const shared_ptr<BuildingObject>& value) {
    if (set.empty() || name.empty() || !value) return;
    out.try_emplace(set + "." + name, ValueText(*value));
}

shared_ptr<BuildingObject> QuantityValue(const shared_ptr<IfcPhysicalQuantity>& q) {
    if (auto l = dynamic_pointer_cast<IfcQuantityLength>(q)) return l->m_LengthValue;
    if (auto a = dynamic_pointer_cast<IfcQuantityArea>(q)) return a->m_AreaValue;
    if (auto v = dynamic_pointer_cast<IfcQuantityVolume>(q)) return v->m_VolumeValue;
    if (auto c = dynamic_pointer_cast<IfcQuantityCount>(q)) return c->m_CountValue;
    if (auto w = dynamic_pointer_cast<IfcQuantityWeight>(q)) return w->m_WeightValue;
    if (auto t = dynamic_pointer_cast<IfcQuantityTime>(q)) return t->m_TimeValue;
    return nullptr;
}

void FromDefinition(const shared_ptr<IfcPropertySetDefinition>& definition, Values& out) {
    if (auto set = dynamic_pointer_cast<IfcPropertySet>(definition)) {
        std::string setName = Name(set->m_Name);
        for (const auto& property : set->m_HasProperties)
            if (auto single = dynamic_pointer_cast<IfcPropertySingleValue>(property))
                Put(out, setName, Name(single->m_Name), single->m_NominalValue);
    } else if (auto quantities = dynamic_pointer_cast<IfcElementQuantity>(definition)) {
        std::string setName = Name(quantities->m_Name);
        for (const auto& q : quantities->m_Quantities)
            if (q) Put(out, setName, Name(q->m_Name), QuantityValue(q));
    }
}

std::string Shortest(double d) {
    char buffer[32];
    auto r = std::to_chars(buffer, buffer + sizeof buffer, d);
    return r.ec == std::errc() ? std::string(buffer, r.ptr) : std::string();
}

} // namespace

std::string ValueText(const BuildingObject& value) {
    // One stream for every value, set as a new one each time: making a stream costs more than
    // writing a value.
    thread_local std::stringstream step;
    step.str(std::string());
    step.clear();
    step.flags(std::ios_base::dec | std::ios_base::skipws);
    step.precision(17); // the library writes numbers with the stream's precision
    step.width(0);
    step.fill(' ');
    value.getStepParameter(step, false);
    const std::string text = step.str();
    step.str(std::string()); // nothing of this value kept between calls
    if (text.empty()) return text;
    if (text.front() == '\'') return Utf8FromWide(value.toString());
    if (text == ".T.") return "TRUE";
    if (text == ".F.") return "FALSE";
    if (text == ".U.") return "UNKNOWN";
    double d = 0;
    auto r = std::from_chars(text.data(), text.data() + text.size(), d);
    if (r.ec == std::errc() && r.ptr == text.data() + text.size()) {
        std::string shortest = Shortest(d);
        if (!shortest.empty()) return shortest;
    }
    return text;
}

std::vector<std::pair<std::string, std::string>> SingleValuesOf(const IfcProduct& product) {
    Values values;
    for (const auto& weak : product.m_IsDefinedBy_inverse) {
        auto rel = weak.lock();
        if (!rel) continue;
        if (auto set = dynamic_pointer_cast<IfcPropertySetDefinitionSet>(rel->m_RelatingPropertyDefinition)) {
            for (const auto& definition : set->m_vec) FromDefinition(definition, values);
        } else {
            FromDefinition(dynamic_pointer_cast<IfcPropertySetDefinition>(rel->m_RelatingPropertyDefinition), values);
        }
    }
    if (auto type = TypeObjectOf(product))
        for (const auto& definition : type->m_HasPropertySets) FromDefinition(definition, values);
    return {values.begin(), values.end()};
}
