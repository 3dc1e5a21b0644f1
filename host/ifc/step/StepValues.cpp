#include "host/ifc/step/StepValues.h"

#include "steptext/StepLexemes.h"

#include <array>
#include <cctype>
#include <charconv>
#include <cstdint>

namespace {

// The characters the split of a record's attributes looks at; runs of others are passed over.
constexpr std::array<bool, 256> kSplitAt = [] {
    std::array<bool, 256> at{};
    for (unsigned char c : std::string_view("'\"/(),")) at[c] = true;
    return at;
}();

// Room for the attributes of most records at once: a product has eight to ten.
constexpr size_t kAttributesAtOnce = 12;

} // namespace

std::vector<std::string_view> StepAttributes(std::string_view record) {
    size_t at = record.find('=');
    if (at == std::string_view::npos) return {};
    at = StepSkipBlanks(record, at + 1);
    const size_t name = at;
    at = StepNameEnd(record, at);
    if (at == name) return {}; // a complex record, or none
    at = StepSkipBlanks(record, at);
    if (at >= record.size() || record[at] != '(') return {};
    std::vector<std::string_view> attributes;
    attributes.reserve(kAttributesAtOnce);
    size_t begin = ++at;
    int depth = 0;
    while (at < record.size()) {
        const char c = record[at];
        if (!kSplitAt[static_cast<unsigned char>(c)]) {
            ++at;
            continue;
        }
        if (c == '\'' || c == '"') {
            const size_t end = c == '\'' ? StepStringEnd(record, at) : StepBinaryEnd(record, at);
            if (end == std::string_view::npos) return {};
            at = end - 1;
        } else if (StepCommentAt(record, at)) {
            at = StepSkipBlanks(record, at);
            continue;
        } else if (c == '(') {
            ++depth;
        } else if (c == ')' || (c == ',' && depth == 0)) {
            if (c == ')' && depth > 0) {
                --depth;
            } else {
                attributes.push_back(StepTrimmed(record.substr(begin, at - begin)));
                if (c == ')') return attributes;
                begin = at + 1;
            }
        }
        ++at;
    }
    return {};
}

int StepReference(std::string_view attribute) {
    if (attribute.size() < 2 || attribute[0] != '#') return -1;
    int id = -1;
    auto [end, ec] = std::from_chars(attribute.data() + 1, attribute.data() + attribute.size(), id);
    if (ec != std::errc() || end != attribute.data() + attribute.size() || id < 0) return -1;
    return id;
}

std::vector<int> StepReferences(std::string_view attribute) {
    std::vector<int> ids;
    if (int single = StepReference(attribute); single >= 0) return {single};
    if (attribute.size() < 2 || attribute.front() != '(' || attribute.back() != ')') return ids;
    std::string_view inner = attribute.substr(1, attribute.size() - 2);
    size_t begin = 0;
    for (size_t at = 0; at <= inner.size(); ++at) {
        if (at < inner.size() && inner[at] != ',') continue;
        if (int id = StepReference(StepTrimmed(inner.substr(begin, at - begin))); id >= 0) ids.push_back(id);
        begin = at + 1;
    }
    return ids;
}

std::string_view StepEnumeration(std::string_view attribute) {
    if (attribute.size() < 3 || attribute.front() != '.' || attribute.back() != '.') return {};
    return attribute.substr(1, attribute.size() - 2);
}

std::optional<double> StepReal(std::string_view attribute) {
    attribute = StepUntyped(attribute);
    if (attribute.empty() || attribute.size() > 64) return std::nullopt;
    // Free of the locale: a Hungarian one would want a decimal comma.
    double value = 0;
    const char* first = attribute.data() + (attribute.front() == '+' ? 1 : 0);
    auto [end, ec] = std::from_chars(first, attribute.data() + attribute.size(), value);
    if (ec != std::errc() || end != attribute.data() + attribute.size()) return std::nullopt;
    return value;
}
