#include "host/ifc/ProductProperties.h"

#include "host/ifc/ProductFacts.h"
#include "host/ifc/WideText.h"

#include <ifcpp/IFC4/include/IfcAreaMeasure.h>
#include <ifcpp/IFC4/include/IfcBoolean.h>
#include <ifcpp/IFC4/include/IfcCountMeasure.h>
#include <ifcpp/IFC4/include/IfcElementQuantity.h>
#include <ifcpp/IFC4/include/IfcIdentifier.h>
#include <ifcpp/IFC4/include/IfcInteger.h>
#include <ifcpp/IFC4/include/IfcLabel.h>
#include <ifcpp/IFC4/include/IfcLengthMeasure.h>
#include <ifcpp/IFC4/include/IfcMassMeasure.h>
#include <ifcpp/IFC4/include/IfcPlaneAngleMeasure.h>
#include <ifcpp/IFC4/include/IfcPositiveLengthMeasure.h>
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
#include <ifcpp/IFC4/include/IfcReal.h>
#include <ifcpp/IFC4/include/IfcRelDefinesByProperties.h>
#include <ifcpp/IFC4/include/IfcText.h>
#include <ifcpp/IFC4/include/IfcTimeMeasure.h>
#include <ifcpp/IFC4/include/IfcTypeObject.h>
#include <ifcpp/IFC4/include/IfcValue.h>
#include <ifcpp/IFC4/include/IfcVolumeMeasure.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <sstream>
#include <typeinfo>

namespace {

using Values = SingleValueReader::Values;

template <typename T>
std::string Name(const shared_ptr<T>& name) {
    return name ? Utf8FromWide(name->m_value) : std::string();
}

void Put(Values& out, const std::string& set, const std::string& name, const shared_ptr<BuildingObject>& value) {
    if (set.empty() || name.empty() || !value) return;
    out.emplace_back(set + "." + name, ValueText(*value));
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

Values FromDefinition(const shared_ptr<IfcPropertySetDefinition>& definition) {
    Values out;
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
    return out;
}

std::string Shortest(double d) {
    char buffer[32];
    auto r = std::to_chars(buffer, buffer + sizeof buffer, d);
    return r.ec == std::errc() ? std::string(buffer, r.ptr) : std::string();
}

} // namespace

namespace {

// The value's own text where its type is one of the common ones, exactly as the library's STEP
// text would give it below; nothing for any other.
template <typename T>
bool Exactly(const BuildingObject& value) {
    return typeid(value) == typeid(T);
}

template <typename T>
const T& As(const BuildingObject& value) {
    return dynamic_cast<const T&>(value);
}

std::optional<std::string> CommonValueText(const BuildingObject& value) {
    if (Exactly<IfcLabel>(value)) return Utf8FromWide(As<IfcLabel>(value).m_value);
    if (Exactly<IfcText>(value)) return Utf8FromWide(As<IfcText>(value).m_value);
    if (Exactly<IfcIdentifier>(value)) return Utf8FromWide(As<IfcIdentifier>(value).m_value);
    if (Exactly<IfcBoolean>(value)) return std::string(As<IfcBoolean>(value).m_value ? "TRUE" : "FALSE");
    // Written with 17 digits and read back, a number is itself again; not so every subnormal.
    auto number = [](double d) -> std::optional<std::string> {
        if (d != 0 && !std::isnormal(d)) return std::nullopt;
        std::string shortest = Shortest(d);
        return shortest.empty() ? std::nullopt : std::optional<std::string>(std::move(shortest));
    };
    if (Exactly<IfcInteger>(value)) return number(As<IfcInteger>(value).m_value);
    if (Exactly<IfcCountMeasure>(value)) return number(As<IfcCountMeasure>(value).m_value);
    if (Exactly<IfcLengthMeasure>(value)) return number(As<IfcLengthMeasure>(value).m_value);
    if (Exactly<IfcPositiveLengthMeasure>(value)) return number(As<IfcPositiveLengthMeasure>(value).m_value);
    if (Exactly<IfcAreaMeasure>(value)) return number(As<IfcAreaMeasure>(value).m_value);
    if (Exactly<IfcVolumeMeasure>(value)) return number(As<IfcVolumeMeasure>(value).m_value);
    if (Exactly<IfcMassMeasure>(value)) return number(As<IfcMassMeasure>(value).m_value);
    if (Exactly<IfcReal>(value)) return number(As<IfcReal>(value).m_value);
    if (Exactly<IfcPlaneAngleMeasure>(value)) return number(As<IfcPlaneAngleMeasure>(value).m_value);
    if (Exactly<IfcTimeMeasure>(value)) return number(As<IfcTimeMeasure>(value).m_value);
    return std::nullopt;
}

} // namespace

std::string ValueText(const BuildingObject& value) {
    if (auto common = CommonValueText(value)) return std::move(*common);
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

const Values& SingleValueReader::SharedSetValues(const shared_ptr<IfcPropertySetDefinition>& definition) {
    auto found = sharedSets_.find(definition.get());
    if (found == sharedSets_.end()) found = sharedSets_.emplace(definition.get(), FromDefinition(definition)).first;
    return found->second;
}

Values SingleValueReader::Of(const IfcProduct& product) {
    // The sets in the order their values count, each with whether other objects share it.
    sets_.clear();
    for (const auto& weak : product.m_IsDefinedBy_inverse) {
        auto rel = weak.lock();
        if (!rel) continue;
        const bool shared = rel->m_RelatedObjects.size() > 1;
        if (auto set = dynamic_pointer_cast<IfcPropertySetDefinitionSet>(rel->m_RelatingPropertyDefinition)) {
            for (const auto& definition : set->m_vec) sets_.emplace_back(definition, shared);
        } else {
            sets_.emplace_back(dynamic_pointer_cast<IfcPropertySetDefinition>(rel->m_RelatingPropertyDefinition), shared);
        }
    }
    // The type's sets after the occurrence's: of one key the first value gathered stays.
    if (auto type = TypeObjectOf(product))
        for (const auto& definition : type->m_HasPropertySets) sets_.emplace_back(definition, true);

    // A set of this product alone is read into own_, whose values are pointed at once it is whole.
    own_.clear();
    ownEnds_.clear();
    for (const auto& [definition, shared] : sets_) {
        if (definition && !shared) {
            Values values = FromDefinition(definition);
            own_.insert(own_.end(), std::make_move_iterator(values.begin()), std::make_move_iterator(values.end()));
        }
        ownEnds_.push_back(own_.size());
    }
    gathered_.clear();
    size_t next = 0;
    for (size_t i = 0; i < sets_.size(); ++i) {
        const auto& [definition, shared] = sets_[i];
        if (definition && shared)
            for (const auto& value : SharedSetValues(definition)) gathered_.push_back(&value);
        for (; next < ownEnds_[i]; ++next) gathered_.push_back(&own_[next]);
    }
    std::stable_sort(gathered_.begin(), gathered_.end(), [](const auto* a, const auto* b) { return a->first < b->first; });
    Values values;
    values.reserve(gathered_.size());
    for (const auto* value : gathered_)
        if (values.empty() || values.back().first != value->first) values.push_back(*value);
    return values;
}
