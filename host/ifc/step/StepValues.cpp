#include "host/ifc/step/StepValues.h"

#include "host/ifc/step/StepLexemes.h"
#include "host/ifc/step/WideText.h"

#include <cctype>
#include <charconv>
#include <cstdint>

namespace {

// Past blanks and comments from `at`; a comment that does not end runs to the text's end.
size_t SkipBlanks(std::string_view text, size_t at) {
    at = StepBlanksEnd(text, at);
    return StepCommentAt(text, at) ? text.size() : at;
}

std::string_view Trimmed(std::string_view text) {
    size_t begin = SkipBlanks(text, 0);
    size_t end = text.size();
    while (end > begin && IsStepBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

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

std::vector<std::string_view> StepAttributes(std::string_view record) {
    size_t at = record.find('=');
    if (at == std::string_view::npos) return {};
    at = SkipBlanks(record, at + 1);
    const size_t name = at;
    at = StepNameEnd(record, at);
    if (at == name) return {}; // a complex record, or none
    at = SkipBlanks(record, at);
    if (at >= record.size() || record[at] != '(') return {};
    std::vector<std::string_view> attributes;
    size_t begin = ++at;
    int depth = 0;
    while (at < record.size()) {
        char c = record[at];
        if (c == '\'' || c == '"') {
            const size_t end = c == '\'' ? StepStringEnd(record, at) : StepBinaryEnd(record, at);
            if (end == std::string_view::npos) return {};
            at = end - 1;
        } else if (StepCommentAt(record, at)) {
            at = SkipBlanks(record, at);
            continue;
        } else if (c == '(') {
            ++depth;
        } else if (c == ')' || (c == ',' && depth == 0)) {
            if (c == ')' && depth > 0) {
                --depth;
            } else {
                attributes.push_back(Trimmed(record.substr(begin, at - begin)));
                if (c == ')') return attributes;
                begin = at + 1;
            }
        }
        ++at;
    }
    return {};
}

std::string_view StepUntyped(std::string_view attribute) {
    size_t open = attribute.find('(');
    if (open == 0 || open == std::string_view::npos || attribute.back() != ')') return attribute;
    for (size_t i = 0; i < open; ++i)
        if (!std::isalnum(static_cast<unsigned char>(attribute[i])) && attribute[i] != '_') return attribute;
    return Trimmed(attribute.substr(open + 1, attribute.size() - open - 2));
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
        if (int id = StepReference(Trimmed(inner.substr(begin, at - begin))); id >= 0) ids.push_back(id);
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
