#include "basekit/BKText.h"

#include <array>
#include <cerrno>
#include <cstdint>
#include <iconv.h>
#include <stdexcept>
#include <string>
#include <unicode/ucol.h>
#include <unicode/uchar.h>
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

// Hungarian collation by ICU: letters of two or three characters (cs, dzs, gy, ly, ny, sz, ty,
// zs), ö ő and ü ű as letters after o and u, other accents deciding only between otherwise equal
// words. One collator for each case mode, made once; a collator in use is never changed, so
// comparing is safe from any thread.
class HungarianCollator {
public:
    explicit HungarianCollator(UCollationStrength strength) {
        UErrorCode status = U_ZERO_ERROR;
        collator_ = ucol_open("hu", &status);
        if (U_FAILURE(status)) {
            ucol_close(collator_);
            status = U_ZERO_ERROR;
            collator_ = ucol_open("", &status);
        }
        if (collator_) ucol_setStrength(collator_, strength);
    }
    ~HungarianCollator() { ucol_close(collator_); }
    HungarianCollator(const HungarianCollator&) = delete;
    HungarianCollator& operator=(const HungarianCollator&) = delete;
    int Compare(const std::u16string& a, const std::u16string& b) const {
        if (!collator_) return 0;
        UCollationResult r = ucol_strcoll(collator_, reinterpret_cast<const UChar*>(a.data()), static_cast<int32_t>(a.size()),
                                          reinterpret_cast<const UChar*>(b.data()), static_cast<int32_t>(b.size()));
        return r == UCOL_LESS ? -1 : r == UCOL_GREATER ? 1 : 0;
    }

private:
    UCollator* collator_ = nullptr;
};

int CompareUnits(std::u16string_view a, std::u16string_view b, bool fold) {
    size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        int ca = fold ? static_cast<int>(u_foldCase(a[i], U_FOLD_CASE_DEFAULT)) : a[i];
        int cb = fold ? static_cast<int>(u_foldCase(b[i], U_FOLD_CASE_DEFAULT)) : b[i];
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    return 0;
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
    static const HungarianCollator ignoringCase(UCOL_SECONDARY), withCase(UCOL_TERTIARY);
    bool ignore = mode == BKCaseMode::Ignore;
    std::u16string ua = BKToUtf16(a), ub = BKToUtf16(b);
    if (int r = (ignore ? ignoringCase : withCase).Compare(ua, ub); r != 0) return r;
    // Texts the collator holds equal (ignorable characters, symbols of one weight) are told apart
    // by their characters, so the order stays total; with case ignored, by the case-folded ones.
    return CompareUnits(ua, ub, ignore);
}
