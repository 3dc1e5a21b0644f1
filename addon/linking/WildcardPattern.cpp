#include "linking/WildcardPattern.h"

#include <array>

namespace {

constexpr std::array<uint8_t, 256> MakeFoldTable() {
    std::array<uint8_t, 256> t{};
    for (size_t i = 0; i < t.size(); ++i) t[i] = static_cast<uint8_t>(i);
    for (size_t c = 'A'; c <= 'Z'; ++c) t[c] = static_cast<uint8_t>(c + 0x20);
    // Š Ś Ť Ž Ź, Ł Ą Ş Ż Ľ: their small letters lie elsewhere in the code page.
    constexpr std::array<std::array<uint8_t, 2>, 10> pairs = {{{0x8A, 0x9A}, {0x8C, 0x9C}, {0x8D, 0x9D}, {0x8E, 0x9E},
                                                               {0x8F, 0x9F}, {0xA3, 0xB3}, {0xA5, 0xB9}, {0xAA, 0xBA},
                                                               {0xAF, 0xBF}, {0xBC, 0xBE}}};
    for (const auto& p : pairs) t[p[0]] = p[1];
    // Ŕ to Ţ lie 0x20 below their small letters; × (0xD7) is no letter.
    for (size_t c = 0xC0; c <= 0xDE; ++c)
        if (c != 0xD7) t[c] = static_cast<uint8_t>(c + 0x20);
    return t;
}

constexpr std::array<uint8_t, 256> kFold = MakeFoldTable();

} // namespace

uint8_t FoldCp1250(uint8_t c) { return kFold[c]; }

std::string FoldedCp1250(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(kFold[static_cast<uint8_t>(c)]);
    return out;
}

void WildcardPattern::AppendPattern(std::string_view pattern) {
    for (char c : pattern) {
        Unit kind = c == '*' ? Run : c == '?' ? Any : Char;
        // Two stars in a row match what one does.
        if (kind == Run && !kinds_.empty() && kinds_.back() == Run) continue;
        units_.push_back(kind == Char ? static_cast<char>(kFold[static_cast<uint8_t>(c)]) : c);
        kinds_.push_back(kind);
        if (kind != Char) ++wildcards_;
    }
}

void WildcardPattern::AppendLiteral(std::string_view literal) {
    for (char c : literal) {
        units_.push_back(static_cast<char>(kFold[static_cast<uint8_t>(c)]));
        kinds_.push_back(Char);
    }
}

bool WildcardPattern::Matches(std::string_view text) const {
    return Match(text, [](char c) { return static_cast<char>(kFold[static_cast<uint8_t>(c)]); });
}

bool WildcardPattern::MatchesFolded(std::string_view folded) const {
    if (IsLiteral()) return folded == units_;
    return Match(folded, [](char c) { return c; });
}

// Left to right; after a mismatch the last star takes one character more. Linear for patterns
// with one star, at worst the product of the lengths.
template <typename Fold> bool WildcardPattern::Match(std::string_view text, Fold fold) const {
    const size_t m = units_.size();
    size_t p = 0, t = 0;
    size_t starP = SIZE_MAX, starT = 0;
    while (t < text.size()) {
        if (p < m && (kinds_[p] == Any || (kinds_[p] == Char && units_[p] == fold(text[t])))) {
            ++p;
            ++t;
        } else if (p < m && kinds_[p] == Run) {
            starP = p++;
            starT = t;
        } else if (starP != SIZE_MAX) {
            p = starP + 1;
            t = ++starT;
        } else {
            return false;
        }
    }
    while (p < m && kinds_[p] == Run) ++p;
    return p == m;
}
