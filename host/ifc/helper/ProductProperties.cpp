#include "host/ifc/helper/ProductProperties.h"

#include "host/ifc/helper/ProductFacts.h"
#include "host/ifc/step/WideText.h"

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

// Raw pointers throughout: a shared pointer's count is written into a page the other converting
// process shares, which the system then copies.
void Put(Values& out, const std::string& set, const std::string& name, const BuildingObject* value) {
    if (set.empty() || name.empty() || !value) return;
    std::string key;
    key.reserve(set.size() + 1 + name.size());
    key.append(set).append(1, '.').append(name);
    out.emplace_back(std::move(key), ValueText(*value));
}

const BuildingObject* QuantityValue(const IfcPhysicalQuantity* q) {
    if (const auto* l = dynamic_cast<const IfcQuantityLength*>(q)) return l->m_LengthValue.get();
    if (const auto* a = dynamic_cast<const IfcQuantityArea*>(q)) return a->m_AreaValue.get();
    if (const auto* v = dynamic_cast<const IfcQuantityVolume*>(q)) return v->m_VolumeValue.get();
    if (const auto* c = dynamic_cast<const IfcQuantityCount*>(q)) return c->m_CountValue.get();
    if (const auto* w = dynamic_cast<const IfcQuantityWeight*>(q)) return w->m_WeightValue.get();
    if (const auto* t = dynamic_cast<const IfcQuantityTime*>(q)) return t->m_TimeValue.get();
    return nullptr;
}

Values FromDefinition(const IfcPropertySetDefinition* definition) {
    Values out;
    if (const auto* set = dynamic_cast<const IfcPropertySet*>(definition)) {
        std::string setName = Name(set->m_Name);
        out.reserve(set->m_HasProperties.size());
        for (const auto& property : set->m_HasProperties)
            if (const auto* single = dynamic_cast<const IfcPropertySingleValue*>(property.get()))
                Put(out, setName, Name(single->m_Name), single->m_NominalValue.get());
    } else if (const auto* quantities = dynamic_cast<const IfcElementQuantity*>(definition)) {
        std::string setName = Name(quantities->m_Name);
        for (const auto& q : quantities->m_Quantities)
            if (q) Put(out, setName, Name(q->m_Name), QuantityValue(q.get()));
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

const Values& SingleValueReader::SharedSetValues(const IfcPropertySetDefinition* definition) {
    auto found = sharedSets_.find(definition);
    if (found == sharedSets_.end()) found = sharedSets_.emplace(definition, FromDefinition(definition)).first;
    return found->second;
}

Values SingleValueReader::Of(const IfcProduct& product) {
    // The sets in the order their values count, each with whether other objects share it.
    sets_.clear();
    for (const auto& weak : product.m_IsDefinedBy_inverse) {
        auto rel = weak.lock();
        if (!rel) continue;
        const bool shared = rel->m_RelatedObjects.size() > 1;
        const auto* definition = rel->m_RelatingPropertyDefinition.get();
        if (const auto* set = dynamic_cast<const IfcPropertySetDefinitionSet*>(definition)) {
            for (const auto& member : set->m_vec) sets_.emplace_back(member.get(), shared);
        } else {
            sets_.emplace_back(dynamic_cast<const IfcPropertySetDefinition*>(definition), shared);
        }
    }
    // The type's sets after the occurrence's: of one key the first value gathered stays.
    if (auto type = TypeObjectOf(product))
        for (const auto& definition : type->m_HasPropertySets) sets_.emplace_back(definition.get(), true);

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
    const auto* ownBegin = own_.data();
    const auto* ownEnd = own_.data() + own_.size();
    for (const auto* value : gathered_) {
        if (!values.empty() && values.back().first == value->first) continue;
        // This product's own are its to take; a shared set's are copied.
        if (value >= ownBegin && value < ownEnd) values.push_back(std::move(*const_cast<std::pair<std::string, std::string>*>(value)));
        else values.push_back(*value);
    }
    return values;
}
