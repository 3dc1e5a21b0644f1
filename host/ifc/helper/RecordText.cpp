#include "host/ifc/helper/RecordText.h"

#include "host/ifc/helper/ProductProperties.h"
#include "host/ifc/step/StepDataReader.h"
#include "host/ifc/step/StepValues.h"
#include "host/ifc/step/WideText.h"

#include <ifcpp/IFC4/include/IfcAreaMeasure.h>
#include <ifcpp/IFC4/include/IfcCountMeasure.h>
#include <ifcpp/IFC4/include/IfcLengthMeasure.h>
#include <ifcpp/IFC4/include/IfcMassMeasure.h>
#include <ifcpp/IFC4/include/IfcTimeMeasure.h>
#include <ifcpp/IFC4/include/IfcValue.h>
#include <ifcpp/IFC4/include/IfcVolumeMeasure.h>

#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <map>
#include <vector>

// The library's decoder of a record's string arguments (reader/ReaderUtil.h, whose header does
// not build as C++20).
void decodeArgumentStrings(std::vector<std::string>& entity_arguments, std::vector<std::wstring>& args_out);

namespace {

const std::map<int, shared_ptr<BuildingEntity>> kNoEntities;

// Printable ASCII without escapes or a doubled apostrophe: the library keeps it as written.
bool Plain(std::string_view inner) {
    for (char c : inner)
        if (c == '\\' || c == '\'' || c < 0x20 || c > 0x7e) return false;
    return true;
}

// Blanks and comments outside strings, which the library's reading of a record leaves out and
// a reading of one attribute would not.
bool Bare(std::string_view attribute) {
    bool quoted = false;
    for (char c : attribute) {
        if (c == '\'') quoted = !quoted;
        else if (!quoted && (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '/' || c == '!')) return false;
    }
    return !quoted;
}

// The attribute as the library hands it to an entity's reading: its strings decoded.
std::optional<std::wstring> Decoded(std::string_view attribute) {
    std::vector<std::string> in{std::string(attribute)};
    std::vector<std::wstring> out;
    try {
        decodeArgumentStrings(in, out);
    } catch (...) {
        return std::nullopt;
    }
    if (out.size() != 1) return std::nullopt;
    return std::move(out[0]);
}

template <typename T>
std::optional<std::optional<std::string>> Measure(std::string_view attribute) {
    if (attribute == "$" || attribute == "*") return std::optional<std::string>();
    if (!Bare(attribute)) return std::nullopt;
    try {
        const shared_ptr<T> value = T::createObjectFromSTEP(std::wstring(attribute.begin(), attribute.end()), kNoEntities);
        if (!value) return std::optional<std::string>();
        return std::optional<std::string>(ValueText(*value));
    } catch (...) {
        return std::nullopt;
    }
}

// A number the library reads whole, as ValueText writes a measure of a double: in the fewest
// digits that read back the same; nothing for one it reads otherwise (in part, out of range,
// subnormal), whose value the library's own reading makes.
std::optional<std::string> NumberText(std::string_view token) {
    if (token.empty() || token.size() > 64 || !(std::isdigit(static_cast<unsigned char>(token.front())) || token.front() == '-'))
        return std::nullopt;
    const std::string written(token);
    errno = 0;
    char* end = nullptr;
    const double value = std::strtod(written.c_str(), &end);
    if (errno != 0 || end != written.c_str() + written.size() || (value != 0 && !std::isnormal(value))) return std::nullopt;
    char buffer[32];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, value);
    if (r.ec != std::errc()) return std::nullopt;
    return std::string(buffer, r.ptr);
}

} // namespace

std::string RecordTypeAt(std::string_view text, const StepScan& scan, uint32_t position) {
    std::string type(StepTypeAt(text, scan.Offset(position)));
    for (char& c : type) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return type;
}

std::vector<std::string_view> RecordAttributesAt(std::string_view text, const StepScan& scan, uint32_t position) {
    return StepAttributes(text.substr(scan.Offset(position), scan.End(position) - scan.Offset(position)));
}

bool RecordTypeIs(std::string_view written, std::string_view upper) {
    if (written.size() != upper.size()) return false;
    for (size_t i = 0; i < written.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(written[i])) != static_cast<unsigned char>(upper[i])) return false;
    return true;
}

std::optional<std::string> RecordString(std::string_view attribute) {
    if (attribute == "$" || attribute == "*") return std::string();
    if (attribute.size() < 2 || attribute.front() != '\'' || attribute.back() != '\'') return std::nullopt;
    const std::string_view inner = attribute.substr(1, attribute.size() - 2);
    if (Plain(inner)) return std::string(inner);
    std::optional<std::wstring> decoded = Decoded(attribute);
    if (!decoded) return std::nullopt;
    // Its quotes taken off, as the library's reading of a string does.
    if (decoded->size() < 2 || decoded->front() != L'\'' || decoded->back() != L'\'') return std::nullopt;
    return Utf8FromWide(decoded->substr(1, decoded->size() - 2));
}

std::optional<std::optional<std::string>> RecordValueText(std::string_view attribute) {
    if (attribute == "$" || attribute == "*") return std::optional<std::string>();
    if (!Bare(attribute) || attribute.empty() || attribute.back() != ')') return std::nullopt;
    // The commonest, a label or a text, a truth or a number, without a value made for it.
    for (std::string_view type : {"IFCLABEL(", "IFCTEXT(", "IFCIDENTIFIER("}) {
        if (!attribute.starts_with(type)) continue;
        const std::string_view inner = attribute.substr(type.size(), attribute.size() - type.size() - 1);
        if (inner.size() >= 2 && inner.front() == '\'' && Plain(inner.substr(1, inner.size() - 2)))
            return std::optional<std::string>(std::string(inner.substr(1, inner.size() - 2)));
    }
    if (attribute == "IFCBOOLEAN(.T.)") return std::optional<std::string>("TRUE");
    if (attribute == "IFCBOOLEAN(.F.)") return std::optional<std::string>("FALSE");
    for (std::string_view type : {"IFCREAL(", "IFCLENGTHMEASURE(", "IFCPOSITIVELENGTHMEASURE(", "IFCAREAMEASURE(", "IFCVOLUMEMEASURE(",
                                  "IFCMASSMEASURE(", "IFCPLANEANGLEMEASURE(", "IFCTIMEMEASURE("}) {
        if (!attribute.starts_with(type)) continue;
        if (std::optional<std::string> text = NumberText(attribute.substr(type.size(), attribute.size() - type.size() - 1)))
            return std::optional<std::string>(std::move(*text));
        break;
    }
    std::optional<std::wstring> decoded = Decoded(attribute);
    if (!decoded) return std::nullopt;
    try {
        const shared_ptr<IfcValue> value = IfcValue::createObjectFromSTEP(*decoded, kNoEntities);
        if (!value) return std::optional<std::string>();
        return std::optional<std::string>(ValueText(*value));
    } catch (...) {
        return std::nullopt;
    }
}

std::optional<std::optional<std::string>> RecordMeasureText(RecordMeasure measure, std::string_view attribute) {
    switch (measure) {
    case RecordMeasure::Length:
        return Measure<IfcLengthMeasure>(attribute);
    case RecordMeasure::Area:
        return Measure<IfcAreaMeasure>(attribute);
    case RecordMeasure::Volume:
        return Measure<IfcVolumeMeasure>(attribute);
    case RecordMeasure::Count:
        return Measure<IfcCountMeasure>(attribute);
    case RecordMeasure::Weight:
        return Measure<IfcMassMeasure>(attribute);
    case RecordMeasure::Time:
        return Measure<IfcTimeMeasure>(attribute);
    }
    return std::nullopt;
}
