#include "basekit/BKText.h"

#include <array>
#include <cerrno>
#include <cstdint>
#include <iconv.h>
#include <stdexcept>
#include <unordered_map>

namespace {

// The whole code page decoded once, so conversion is a table lookup.
struct CodePage {
    std::array<char32_t, 256> toUnicode{};
    CodePage() {
        iconv_t cd = iconv_open("UTF-32LE", "CP1250");
        for (int b = 0; b < 256; ++b) {
            toUnicode[b] = 0xFFFD;
            if (cd == reinterpret_cast<iconv_t>(-1)) {
                if (b < 0x80) toUnicode[b] = static_cast<char32_t>(b);
                continue;
            }
            char in = static_cast<char>(b);
            unsigned char out[8] = {};
            char* inp = &in;
            char* outp = reinterpret_cast<char*>(out);
            size_t inLeft = 1, outLeft = sizeof out;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            if (iconv(cd, &inp, &inLeft, &outp, &outLeft) != static_cast<size_t>(-1) && outLeft == 4)
                toUnicode[b] = static_cast<char32_t>(out[0] | out[1] << 8 | out[2] << 16 | out[3] << 24);
        }
        if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
        for (int b = 0x80; b < 256; ++b)
            if (toUnicode[b] != 0xFFFD) fromUnicode.emplace(toUnicode[b], static_cast<uint8_t>(b));
    }
    std::unordered_map<char32_t, uint8_t> fromUnicode;
    int FromUnicode(char32_t c) const {
        if (c < 0x80) return static_cast<int>(c);
        auto it = fromUnicode.find(c);
        return it == fromUnicode.end() ? -1 : it->second;
    }
};

const CodePage& Cp1250() {
    static const CodePage page;
    return page;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

// Decodes one UTF-8 character; returns U+FFFD and consumes one byte on a malformed sequence.
char32_t NextUtf8(std::string_view s, size_t& i) {
    auto b = static_cast<unsigned char>(s[i]);
    int len = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
    if (len == 0 || i + len > s.size()) {
        ++i;
        return 0xFFFD;
    }
    char32_t c = len == 1 ? b : len == 2 ? (b & 0x1F) : len == 3 ? (b & 0x0F) : (b & 0x07);
    for (int k = 1; k < len; ++k) {
        auto cb = static_cast<unsigned char>(s[i + k]);
        if ((cb & 0xC0) != 0x80) {
            ++i;
            return 0xFFFD;
        }
        c = (c << 6) | (cb & 0x3F);
    }
    i += len;
    return c;
}

// Collation weights of one code-page byte: primary (letter), secondary (accent), case-free.
struct Weight {
    uint16_t primary;
    uint16_t secondary;
};

struct Accented {
    char32_t upper, lower;
    char base;
    uint8_t group;  // 1 sorts as a letter of its own after the base (Hungarian ö ő ü ű)
    uint8_t accent; // distinguishes letters that share a primary weight
};

constexpr Accented kAccented[] = {
    {U'Á', U'á', 'a', 0, 1}, {U'Â', U'â', 'a', 0, 2}, {U'Ă', U'ă', 'a', 0, 3}, {U'Ä', U'ä', 'a', 0, 4},
    {U'Ą', U'ą', 'a', 0, 5}, {U'Ć', U'ć', 'c', 0, 1}, {U'Ç', U'ç', 'c', 0, 2}, {U'Č', U'č', 'c', 0, 3},
    {U'Ď', U'ď', 'd', 0, 1}, {U'Đ', U'đ', 'd', 0, 2}, {U'É', U'é', 'e', 0, 1}, {U'Ë', U'ë', 'e', 0, 2},
    {U'Ě', U'ě', 'e', 0, 3}, {U'Ę', U'ę', 'e', 0, 4}, {U'Í', U'í', 'i', 0, 1}, {U'Î', U'î', 'i', 0, 2},
    {U'Ĺ', U'ĺ', 'l', 0, 1}, {U'Ľ', U'ľ', 'l', 0, 2}, {U'Ł', U'ł', 'l', 0, 3}, {U'Ń', U'ń', 'n', 0, 1},
    {U'Ň', U'ň', 'n', 0, 2}, {U'Ó', U'ó', 'o', 0, 1}, {U'Ô', U'ô', 'o', 0, 2}, {U'Ö', U'ö', 'o', 1, 0},
    {U'Ő', U'ő', 'o', 1, 1}, {U'Ŕ', U'ŕ', 'r', 0, 1}, {U'Ř', U'ř', 'r', 0, 2}, {U'Ś', U'ś', 's', 0, 1},
    {U'Š', U'š', 's', 0, 2}, {U'Ş', U'ş', 's', 0, 3}, {U'Ť', U'ť', 't', 0, 1}, {U'Ţ', U'ţ', 't', 0, 2},
    {U'Ú', U'ú', 'u', 0, 1}, {U'Ů', U'ů', 'u', 0, 2}, {U'Ü', U'ü', 'u', 1, 0}, {U'Ű', U'ű', 'u', 1, 1},
    {U'Ý', U'ý', 'y', 0, 1}, {U'Ź', U'ź', 'z', 0, 1}, {U'Ž', U'ž', 'z', 0, 2}, {U'Ż', U'ż', 'z', 0, 3},
};

struct Collation {
    std::array<Weight, 256> weights{};
    std::array<uint8_t, 256> folded{};
    Collation() {
        const auto& cp = Cp1250();
        for (int b = 0; b < 256; ++b) {
            char32_t c = cp.toUnicode[b];
            Weight w{static_cast<uint16_t>(c < 0x80 ? c : 6000 + b), 0};
            folded[b] = static_cast<uint8_t>(b);
            if (c >= '0' && c <= '9') w.primary = static_cast<uint16_t>(1000 + (c - '0'));
            char32_t lower = (c >= 'A' && c <= 'Z') ? c + 32 : c;
            if (lower >= 'a' && lower <= 'z') w.primary = static_cast<uint16_t>(2000 + (lower - 'a') * 4);
            for (const auto& a : kAccented) {
                if (c == a.upper || c == a.lower) {
                    w.primary = static_cast<uint16_t>(2000 + (a.base - 'a') * 4 + a.group);
                    w.secondary = a.accent;
                    lower = a.lower;
                }
            }
            if (c == U'ß') w.primary = static_cast<uint16_t>(2000 + ('s' - 'a') * 4 + 2);
            int lb = cp.FromUnicode(lower);
            if (lb >= 0) folded[b] = static_cast<uint8_t>(lb);
            weights[b] = w;
        }
    }
};

const Collation& Collate() {
    static const Collation collation;
    return collation;
}

} // namespace

std::string BKToUtf8(std::string_view cp1250) {
    const auto& cp = Cp1250();
    std::string out;
    out.reserve(cp1250.size() + cp1250.size() / 4);
    for (char ch : cp1250) AppendUtf8(out, cp.toUnicode[static_cast<unsigned char>(ch)]);
    return out;
}

std::string BKFromUtf8(std::string_view utf8) {
    const auto& cp = Cp1250();
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        int b = cp.FromUnicode(NextUtf8(utf8, i));
        out.push_back(b < 0 ? '?' : static_cast<char>(b));
    }
    return out;
}

std::optional<BKUnmappable> BKFirstUnmappable(std::string_view utf8) {
    const auto& cp = Cp1250();
    for (size_t i = 0; i < utf8.size();) {
        size_t at = i;
        char32_t c = NextUtf8(utf8, i);
        if (cp.FromUnicode(c) < 0) return BKUnmappable{at, i - at, c};
    }
    return std::nullopt;
}

std::u16string BKToUtf16(std::string_view cp1250) {
    const auto& cp = Cp1250();
    std::u16string out;
    out.reserve(cp1250.size());
    for (char ch : cp1250) out.push_back(static_cast<char16_t>(cp.toUnicode[static_cast<unsigned char>(ch)]));
    return out;
}

std::string BKFromUtf16(std::u16string_view utf16) {
    const auto& cp = Cp1250();
    std::string out;
    out.reserve(utf16.size());
    for (char16_t c : utf16) {
        int b = cp.FromUnicode(c);
        out.push_back(b < 0 ? '?' : static_cast<char>(b));
    }
    return out;
}

std::string BKUtf16ToUtf8(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size());
    for (size_t i = 0; i < utf16.size(); ++i) {
        char32_t c = utf16[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 && utf16[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        AppendUtf8(out, c);
    }
    return out;
}

std::u16string BKUtf8ToUtf16(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        char32_t c = NextUtf8(utf8, i);
        if (c >= 0x10000) {
            c -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(c));
        }
    }
    return out;
}

int BKCompareText(std::string_view a, std::string_view b, BKCaseMode mode) {
    const auto& col = Collate();
    auto byteAt = [](std::string_view s, size_t i) { return static_cast<unsigned char>(s[i]); };
    size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        int pa = col.weights[byteAt(a, i)].primary, pb = col.weights[byteAt(b, i)].primary;
        if (pa != pb) return pa < pb ? -1 : 1;
    }
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    for (size_t i = 0; i < n; ++i) {
        int sa = col.weights[byteAt(a, i)].secondary, sb = col.weights[byteAt(b, i)].secondary;
        if (sa != sb) return sa < sb ? -1 : 1;
    }
    // Same letters and accents: the folded bytes settle symbols that share a weight.
    for (size_t i = 0; i < n; ++i) {
        int fa = col.folded[byteAt(a, i)], fb = col.folded[byteAt(b, i)];
        if (fa != fb) return fa < fb ? -1 : 1;
    }
    if (mode == BKCaseMode::Ignore) return 0;
    for (size_t i = 0; i < n; ++i) {
        int ca = byteAt(a, i), cb = byteAt(b, i);
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    return 0;
}
