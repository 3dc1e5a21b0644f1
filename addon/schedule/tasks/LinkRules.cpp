#include "schedule/tasks/LinkRules.h"

#include <array>
#include <cctype>
#include <charconv>

namespace {

constexpr std::array<std::string_view, 14> kFixedKeys = {"class", "storey",  "layer",       "name",     "material",
                                                         "kind",  "linked",  "unlinked",    "type",     "tag",
                                                         "description", "globalid", "classification", "model"};

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
    return true;
}

} // namespace

bool IsRuleKey(std::string_view key) {
    for (std::string_view k : kFixedKeys)
        if (SameIgnoringCase(k, key)) return true;
    // A property: a set's name and the property's, both present.
    size_t dot = key.find('.');
    return dot != std::string_view::npos && dot > 0 && dot + 1 < key.size();
}

std::string CanonicalRuleKey(std::string_view key) {
    for (std::string_view k : kFixedKeys)
        if (SameIgnoringCase(k, key)) return std::string(k);
    return std::string(key);
}

bool ParseKindList(std::string_view text, std::vector<int32_t>& kinds) {
    std::vector<int32_t> out;
    size_t i = 0;
    while (true) {
        while (i < text.size() && text[i] == ' ') ++i;
        int32_t value = 0;
        auto [end, ec] = std::from_chars(text.data() + i, text.data() + text.size(), value);
        if (ec != std::errc() || value < 1) return false;
        out.push_back(value);
        i = static_cast<size_t>(end - text.data());
        while (i < text.size() && text[i] == ' ') ++i;
        if (i == text.size()) break;
        if (text[i] != ',') return false;
        ++i;
    }
    kinds = std::move(out);
    return true;
}
