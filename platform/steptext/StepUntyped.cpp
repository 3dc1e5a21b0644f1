#include "steptext/StepUntyped.h"

#include <cctype>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Past blanks and comments from `at`.
size_t SkipBlanks(std::string_view text, size_t at) {
    while (at < text.size()) {
        if (IsBlank(text[at])) {
            ++at;
        } else if (text[at] == '/' && at + 1 < text.size() && text[at + 1] == '*') {
            size_t close = text.find("*/", at + 2);
            at = close == std::string_view::npos ? text.size() : close + 2;
        } else {
            break;
        }
    }
    return at;
}

std::string_view Trimmed(std::string_view text) {
    size_t begin = SkipBlanks(text, 0);
    size_t end = text.size();
    while (end > begin && IsBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

} // namespace

std::string_view StepUntyped(std::string_view attribute) {
    size_t open = attribute.find('(');
    if (open == 0 || open == std::string_view::npos || attribute.back() != ')') return attribute;
    for (size_t i = 0; i < open; ++i)
        if (!std::isalnum(static_cast<unsigned char>(attribute[i])) && attribute[i] != '_') return attribute;
    return Trimmed(attribute.substr(open + 1, attribute.size() - open - 2));
}
