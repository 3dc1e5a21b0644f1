#include "steptext/StepString.h"

#include "steptext/StepUntyped.h"
#include "steptext/Utf8Append.h"

#include <cstdint>
#include <cstdio>

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// `digits` hexadecimal digits at `at` as a number, or -1.
int64_t Hex(std::string_view text, size_t at, size_t digits) {
    if (at + digits > text.size()) return -1;
    int64_t value = 0;
    for (size_t i = 0; i < digits; ++i) {
        int d = HexDigit(text[at + i]);
        if (d < 0) return -1;
        value = value * 16 + d;
    }
    return value;
}

} // namespace

std::string StepStringOf(std::string_view utf8) {
    std::string out = "'";
    for (size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c >= 0x20 && c < 0x7F) {
            if (c == '\'' || c == '\\') out += static_cast<char>(c);
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        // One code point of UTF-8, as UTF-16 units.
        uint32_t cp = c;
        size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        if (length > 1 && i + length <= utf8.size()) {
            cp = c & (0x7F >> length);
            for (size_t k = 1; k < length; ++k) cp = cp << 6 | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        } else {
            length = 1;
            cp = c < 0x20 ? ' ' : 0xFFFD;
        }
        i += length;
        char unit[8];
        out += "\\X2\\";
        if (cp >= 0x10000) {
            std::snprintf(unit, sizeof unit, "%04X", 0xD800 + ((cp - 0x10000) >> 10));
            out += unit;
            cp = 0xDC00 + ((cp - 0x10000) & 0x3FF);
        }
        std::snprintf(unit, sizeof unit, "%04X", cp & 0xFFFF);
        out += unit;
        out += "\\X0\\";
    }
    return out + "'";
}

std::optional<std::string> StepString(std::string_view attribute) {
    attribute = StepUntyped(attribute);
    if (attribute.size() < 2 || attribute.front() != '\'' || attribute.back() != '\'') return std::nullopt;
    std::string_view s = attribute.substr(1, attribute.size() - 2);
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        char c = s[i];
        if (c == '\'') {
            out += '\'';
            i += (i + 1 < s.size() && s[i + 1] == '\'') ? 2 : 1;
        } else if (c == '\\' && i + 1 < s.size() && s[i + 1] == '\\') {
            out += '\\';
            i += 2;
        } else if (c == '\\' && s.substr(i).starts_with("\\X\\")) {
            int64_t v = Hex(s, i + 3, 2);
            if (v < 0) {
                out += c;
                ++i;
                continue;
            }
            AppendUtf8(out, static_cast<uint32_t>(v));
            i += 5;
        } else if (c == '\\' && (s.substr(i).starts_with("\\X2\\") || s.substr(i).starts_with("\\X4\\"))) {
            const size_t digits = s[i + 2] == '2' ? 4 : 8;
            size_t end = s.find("\\X0\\", i + 4);
            if (end == std::string_view::npos) {
                out += c;
                ++i;
                continue;
            }
            uint32_t high = 0;
            for (size_t at = i + 4; at + digits <= end; at += digits) {
                int64_t v = Hex(s, at, digits);
                if (v < 0) break;
                auto u = static_cast<uint32_t>(v);
                if (digits == 4 && u >= 0xD800 && u <= 0xDBFF) {
                    high = u;
                    continue;
                }
                if (digits == 4 && u >= 0xDC00 && u <= 0xDFFF && high) u = 0x10000 + ((high - 0xD800) << 10) + (u - 0xDC00);
                high = 0;
                AppendUtf8(out, u);
            }
            i = end + 4;
        } else if (c == '\\' && s.substr(i).starts_with("\\S\\") && i + 3 < s.size()) {
            AppendUtf8(out, static_cast<uint8_t>(s[i + 3]) + 128u);
            i += 4;
        } else if (c == '\\' && i + 3 < s.size() && s[i + 1] == 'P' && s[i + 3] == '\\') {
            i += 4; // a code page switch; the characters after it are read as ISO 8859-1's
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}
