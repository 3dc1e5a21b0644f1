#pragma once
// Revisions made from real IFC files as some exporters make them: the same model with new
// GlobalIds. Every `every`-th rooted entity (one whose first attribute is a 22-character
// GlobalId) takes a new one; the rest of the text stays byte for byte.
#include <cstddef>
#include <regex>
#include <string>

namespace ifctest {

inline std::string ReissueGlobalIds(const std::string& text, size_t every, size_t first = 0) {
    static const char kDigits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz_$";
    static const std::regex kRooted(R"(=\s*IFC[A-Z0-9]+\s*\(\s*'([0-3][0-9A-Za-z_$]{21})')", std::regex::icase);
    std::string out = text;
    size_t n = 0, issued = 0;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), kRooted); it != std::sregex_iterator(); ++it, ++n) {
        if (n < first || (n - first) % every != 0) continue;
        // The last five characters carry a running number behind a marker no exporter writes.
        size_t at = static_cast<size_t>(it->position(1)) + 16;
        out[at] = '$';
        size_t number = ++issued;
        for (size_t k = 0; k < 5; ++k, number /= 64) out[at + 5 - k] = kDigits[number % 64];
    }
    return out;
}

} // namespace ifctest
