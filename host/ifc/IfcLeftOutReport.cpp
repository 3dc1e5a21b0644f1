#include "host/ifc/IfcLeftOutReport.h"

#include "host/ifc/WideText.h"

#include <array>
#include <utility>

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

// What the reader did with them, and what they are: "kept 260, a GlobalId out of range".
std::pair<const char*, const char*> NoteText(IfcNoteKind kind) {
    switch (kind) {
    case IfcNoteKind::GlobalIdOutOfRange: return {"kept", "a GlobalId out of range"};
    case IfcNoteKind::DuplicateRecord: return {"accepted", "a record defined twice with the same text"};
    }
    return {"noted", "another reason"};
}

std::string Label(const IfcSkippedProduct& s) {
    if (!s.name.empty()) return "\"" + SingleLine(s.name) + "\"";
    if (!s.globalId.empty()) return SingleLine(s.globalId);
    if (s.record > 0) return s.ifcClass + " #" + std::to_string(s.record);
    return s.ifcClass;
}

std::string Plural(size_t n, const char* one) { return std::to_string(n) + " " + one + (n == 1 ? "" : "s"); }

// The first three, then "..." when there are more.
class FirstNames {
public:
    void Add(const std::string& label) {
        if (count_++ < kNamesShown) names_ += (names_.empty() ? "" : ", ") + label;
        else if (count_ == kNamesShown + 1) names_ += ", ...";
    }
    size_t Count() const { return count_; }
    const std::string& Names() const { return names_; }

private:
    size_t count_ = 0;
    std::string names_;
};

std::vector<std::string> WithCauses(std::string summary, const std::vector<IfcSkippedProduct>& leftOut,
                                    const std::vector<IfcNote>& notes) {
    std::vector<std::string> lines{std::move(summary) + ", " + Plural(leftOut.size(), "product") + " left out"};
    std::array<FirstNames, kIfcLeftOutCauses> causes;
    for (const auto& s : leftOut)
        if (auto cause = static_cast<size_t>(s.cause); cause < kIfcLeftOutCauses) causes[cause].Add(Label(s));
    for (size_t cause = 0; cause < kIfcLeftOutCauses; ++cause)
        if (causes[cause].Count() > 0)
            lines.push_back("  left out " + std::to_string(causes[cause].Count()) + ", " +
                            CauseText(static_cast<IfcLeftOutCause>(cause)) + ": " + causes[cause].Names());
    std::array<FirstNames, kIfcNoteKinds> noted;
    for (const auto& n : notes)
        if (auto kind = static_cast<size_t>(n.kind); kind < kIfcNoteKinds) noted[kind].Add(SingleLine(n.label));
    for (size_t kind = 0; kind < kIfcNoteKinds; ++kind) {
        if (noted[kind].Count() == 0) continue;
        auto [verb, what] = NoteText(static_cast<IfcNoteKind>(kind));
        lines.push_back("  " + std::string(verb) + " " + std::to_string(noted[kind].Count()) + ", " + what + ": " + noted[kind].Names());
    }
    return lines;
}

} // namespace

std::vector<std::string> IfcOpeningReport(std::string_view schema, size_t elements, const std::vector<IfcSkippedProduct>& leftOut,
                                          const std::vector<IfcNote>& notes) {
    return WithCauses("IFC model " + std::string(schema) + ": " + Plural(elements, "element"), leftOut, notes);
}

std::vector<std::string> IfcRevisionReport(std::string_view schema, const IfcRevisionCounts& counts) {
    return WithCauses("IFC revision " + std::string(schema) + ": kept " + std::to_string(counts.kept) + ", added " +
                          std::to_string(counts.added) + ", removed " + std::to_string(counts.removed),
                      counts.skipped, counts.notes);
}
