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

// "  kept 260 with a GlobalId past 128 bits: ...", one line a kind of notice.
std::vector<std::string> WithNotices(std::vector<std::string> lines, const std::vector<IfcNotice>& notices) {
    std::array<size_t, kIfcReadNotices> count{};
    std::array<std::string, kIfcReadNotices> subjects;
    for (const auto& n : notices) {
        auto kind = static_cast<size_t>(n.kind);
        if (kind >= kIfcReadNotices) continue;
        if (count[kind]++ < kNamesShown) subjects[kind] += (subjects[kind].empty() ? "" : ", ") + SingleLine(n.subject);
        else if (count[kind] == kNamesShown + 1) subjects[kind] += ", ...";
    }
    if (size_t n = count[static_cast<size_t>(IfcReadNotice::OutOfRangeGlobalId)])
        lines.push_back("  kept " + std::to_string(n) + " with an out-of-range GlobalId, under a GUID made from it: " +
                        subjects[static_cast<size_t>(IfcReadNotice::OutOfRangeGlobalId)]);
    if (size_t n = count[static_cast<size_t>(IfcReadNotice::RepeatedRecord)])
        lines.push_back("  accepted " + Plural(n, "record") + " written twice with the same text: " +
                        subjects[static_cast<size_t>(IfcReadNotice::RepeatedRecord)]);
    return lines;
}

} // namespace

std::vector<std::string> IfcOpeningReport(std::string_view schema, size_t elements, const std::vector<IfcSkippedProduct>& leftOut,
                                          const std::vector<IfcNotice>& notices) {
    return WithNotices(WithCauses("IFC model " + std::string(schema) + ": " + Plural(elements, "element"), leftOut), notices);
}

std::vector<std::string> IfcRevisionReport(std::string_view schema, const IfcRevisionCounts& counts,
                                           const std::vector<IfcNotice>& notices) {
    return WithNotices(WithCauses("IFC revision " + std::string(schema) + ": kept " + std::to_string(counts.kept) + ", added " +
                                      std::to_string(counts.added) + ", removed " + std::to_string(counts.removed),
                                  counts.skipped),
                       notices);
}
