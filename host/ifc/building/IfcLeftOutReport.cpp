#include "host/ifc/building/IfcLeftOutReport.h"

#include "host/ifc/step/WideText.h"

#include <array>
#include <utility>

namespace {

constexpr size_t kNamesShown = 3;

std::string Label(const IfcSkippedProduct& s) {
    if (!s.name.empty()) return "\"" + SingleLine(s.name) + "\"";
    if (!s.globalId.empty()) return SingleLine(s.globalId);
    if (s.record > 0) return s.ifcClass + " #" + std::to_string(s.record);
    return s.ifcClass;
}

std::string Count(size_t n, const std::string& one, const std::string& many) { return FillIfcPattern(n == 1 ? one : many, {std::to_string(n)}); }

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

std::vector<std::string> WithCauses(const IfcReportWords& words, std::string summary, const std::vector<IfcSkippedProduct>& leftOut,
                                    const std::vector<IfcNote>& notes) {
    std::vector<std::string> lines{std::move(summary)};
    std::array<FirstNames, kIfcLeftOutCauses> causes;
    for (const auto& s : leftOut)
        if (auto cause = static_cast<size_t>(s.cause); cause < kIfcLeftOutCauses) causes[cause].Add(Label(s));
    for (size_t cause = 0; cause < kIfcLeftOutCauses; ++cause)
        if (causes[cause].Count() > 0)
            lines.push_back(FillIfcPattern(words.leftOut, {std::to_string(causes[cause].Count()), words.causes[cause], causes[cause].Names()}));
    std::array<FirstNames, kIfcNoteKinds> noted;
    for (const auto& n : notes)
        if (auto kind = static_cast<size_t>(n.kind); kind < kIfcNoteKinds) noted[kind].Add(SingleLine(n.label));
    for (size_t kind = 0; kind < kIfcNoteKinds; ++kind) {
        if (noted[kind].Count() == 0) continue;
        // What the reader did with them: kept the products, accepted the records.
        const std::string& verb = static_cast<IfcNoteKind>(kind) == IfcNoteKind::DuplicateRecord ? words.accepted : words.kept;
        lines.push_back(FillIfcPattern(verb, {std::to_string(noted[kind].Count()), words.notes[kind], noted[kind].Names()}));
    }
    return lines;
}

} // namespace

std::string FillIfcPattern(const std::string& pattern, std::initializer_list<std::string> values) {
    std::string out;
    for (size_t i = 0; i < pattern.size(); ++i) {
        const size_t n = i + 1 < pattern.size() && pattern[i] == '%' ? static_cast<size_t>(pattern[i + 1] - '1') : values.size();
        if (n < values.size()) {
            out += values.begin()[n];
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

std::vector<std::string> IfcOpeningReport(std::string_view schema, size_t elements, const std::vector<IfcSkippedProduct>& leftOut,
                                          const std::vector<IfcNote>& notes, const IfcReportWords& words) {
    return WithCauses(words,
                      FillIfcPattern(words.model, {std::string(schema), Count(elements, words.element, words.elements),
                                                   Count(leftOut.size(), words.product, words.products)}),
                      leftOut, notes);
}

std::vector<std::string> IfcRevisionReport(std::string_view schema, const IfcRevisionCounts& counts, const IfcReportWords& words) {
    std::vector<std::string> lines =
        WithCauses(words,
                   FillIfcPattern(words.revision, {std::string(schema), std::to_string(counts.kept), std::to_string(counts.added),
                                                   std::to_string(counts.removed),
                                                   Count(counts.skipped.size(), words.product, words.products)}),
                   counts.skipped, counts.notes);
    auto at = lines.begin() + 1;
    if (counts.rematched > 0) at = lines.insert(at, FillIfcPattern(words.rematched, {std::to_string(counts.rematched)})) + 1;
    if (counts.ambiguous > 0) lines.insert(at, FillIfcPattern(words.ambiguous, {std::to_string(counts.ambiguous)}));
    return lines;
}
