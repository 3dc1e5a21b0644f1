#include "steptext/StepLexemes.h"

size_t StepBlanksEnd(std::string_view text, size_t at) {
    while (at < text.size()) {
        if (IsStepBlank(text[at])) {
            ++at;
        } else if (StepCommentAt(text, at)) {
            const size_t end = text.find("*/", at + 2);
            if (end == std::string_view::npos) return at;
            at = end + 2;
        } else {
            break;
        }
    }
    return at;
}

size_t StepSkipBlanks(std::string_view text, size_t at) {
    at = StepBlanksEnd(text, at);
    return StepCommentAt(text, at) ? text.size() : at;
}

std::string_view StepTrimmed(std::string_view text) {
    const size_t begin = StepSkipBlanks(text, 0);
    size_t end = text.size();
    while (end > begin && IsStepBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

size_t StepStringEnd(std::string_view text, size_t at) {
    size_t p = at + 1;
    while (true) {
        const size_t quote = text.find('\'', p);
        if (quote == std::string_view::npos) return std::string_view::npos;
        if (quote + 1 < text.size() && text[quote + 1] == '\'') {
            p = quote + 2;
            continue;
        }
        return quote + 1;
    }
}

size_t StepBinaryEnd(std::string_view text, size_t at) {
    size_t p = at + 1;
    while (p < text.size() && IsStepHex(text[p])) ++p;
    return p < text.size() && text[p] == '"' ? p + 1 : std::string_view::npos;
}

size_t StepNameEnd(std::string_view text, size_t at) {
    while (at < text.size() && (IsStepLetter(text[at]) || IsStepDigit(text[at]))) ++at;
    return at;
}
