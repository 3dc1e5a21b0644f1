#include "host/ifc/IfcLeftOutReport.h"

#include "host/ifc/WideText.h"

#include <array>

namespace {

constexpr size_t kNamesShown = 3;

const char* CauseText(IfcLeftOutCause cause) {
    switch (cause) {
    case IfcLeftOutCause::NoBody: return "no body";
    case IfcLeftOutCause::GeometryNotMade: return "a geometry the IFC library cannot make";
    case IfcLeftOutCause::AttributesNotRead: return "attributes the IFC library cannot read";
    case IfcLeftOutCause::NoGlobalId: return "no usable GlobalId";
    case IfcLeftOutCause::RepeatedGlobalId: return "a GlobalId an earlier product has";
    case IfcLeftOutCause::NotBuilding: return "an opening or virtual element";
    }
    return "another cause";
}

std::string Label(const IfcSkippedProduct& s) {
    if (!s.name.empty()) return "\"" + SingleLine(s.name) + "\"";
    if (!s.globalId.empty()) return SingleLine(s.globalId);
    if (s.record > 0) return s.ifcClass + " #" + std::to_string(s.record);
    return s.ifcClass;
}

std::string Plural(size_t n, const char* one) { return std::to_string(n) + " " + one + (n == 1 ? "" : "s"); }

std::vector<std::string> WithCauses(std::string summary, const std::vector<IfcSkippedProduct>& leftOut) {
    std::vector<std::string> lines{std::move(summary) + ", " + Plural(leftOut.size(), "product") + " left out"};
    std::array<size_t, kIfcLeftOutCauses> count{};
    std::array<std::string, kIfcLeftOutCauses> names;
    for (const auto& s : leftOut) {
        auto cause = static_cast<size_t>(s.cause);
        if (cause >= kIfcLeftOutCauses) continue;
        if (count[cause]++ < kNamesShown) names[cause] += (names[cause].empty() ? "" : ", ") + Label(s);
        else if (count[cause] == kNamesShown + 1) names[cause] += ", ...";
    }
    for (size_t cause = 0; cause < kIfcLeftOutCauses; ++cause)
        if (count[cause] > 0)
            lines.push_back("  left out " + std::to_string(count[cause]) + ", " + CauseText(static_cast<IfcLeftOutCause>(cause)) +
                            ": " + names[cause]);
    return lines;
}

} // namespace

std::vector<std::string> IfcOpeningReport(std::string_view schema, size_t elements, const std::vector<IfcSkippedProduct>& leftOut) {
    return WithCauses("IFC model " + std::string(schema) + ": " + Plural(elements, "element"), leftOut);
}

std::vector<std::string> IfcRevisionReport(std::string_view schema, const IfcRevisionCounts& counts) {
    return WithCauses("IFC revision " + std::string(schema) + ": kept " + std::to_string(counts.kept) + ", added " +
                          std::to_string(counts.added) + ", removed " + std::to_string(counts.removed),
                      counts.skipped);
}
