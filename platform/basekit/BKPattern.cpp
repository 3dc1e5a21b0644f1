#include "basekit/BKPattern.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <vector>

namespace {

// Code points with their case folded; a malformed byte becomes a value no code point has.
std::vector<UChar32> Folded(std::string_view utf8) {
    std::vector<UChar32> out;
    out.reserve(utf8.size());
    const auto* s = reinterpret_cast<const uint8_t*>(utf8.data());
    int32_t n = static_cast<int32_t>(utf8.size());
    for (int32_t i = 0; i < n;) {
        int32_t at = i;
        UChar32 c = 0;
        U8_NEXT(s, i, n, c);
        out.push_back(c < 0 ? 0x110000 + s[at] : u_foldCase(c, U_FOLD_CASE_DEFAULT));
    }
    return out;
}

} // namespace

bool BKMatchesPattern(std::string_view utf8Text, std::string_view utf8Pattern) {
    const std::vector<UChar32> t = Folded(utf8Text), p = Folded(utf8Pattern);
    // Greedy with one back-off point: the last `*` takes one more character when what follows fails.
    size_t ti = 0, pi = 0, star = p.size(), starAt = 0;
    while (ti < t.size()) {
        if (pi < p.size() && (p[pi] == '?' || p[pi] == t[ti])) {
            ++ti;
            ++pi;
        } else if (pi < p.size() && p[pi] == '*') {
            star = pi++;
            starAt = ti;
        } else if (star < p.size()) {
            pi = star + 1;
            ti = ++starAt;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == '*') ++pi;
    return pi == p.size();
}
