#pragma once
// The lexemes of STEP text, one definition for every reader of it, host and add-on (the syntax
// check and record table, the value readers, the header check, the strings): what a blank is, where a comment, a
// string, a binary or a name ends. Each takes the text and where the lexeme begins, and gives
// where it ends (past it), or npos when it does not end in the text.
#include <cstddef>
#include <string_view>

inline bool IsStepBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }
inline bool IsStepDigit(char c) { return c >= '0' && c <= '9'; }
// A letter of a name, the underscore included.
inline bool IsStepLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
inline bool IsStepHex(char c) { return IsStepDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }

// Past the blanks and whole comments from `at`; at a comment that does not end, its '/'.
size_t StepBlanksEnd(std::string_view text, size_t at);
// Past the blanks and comments from `at`; a comment that does not end runs to the text's end.
size_t StepSkipBlanks(std::string_view text, size_t at);
// The text without the blanks and comments at either end.
std::string_view StepTrimmed(std::string_view text);
// Whether a comment begins at `at`.
inline bool StepCommentAt(std::string_view text, size_t at) {
    return at + 1 < text.size() && text[at] == '/' && text[at + 1] == '*';
}
// The string whose apostrophe is at `at` ('' is an apostrophe inside it).
size_t StepStringEnd(std::string_view text, size_t at);
// The binary whose quotation mark is at `at`: hexadecimal digits, then its closing mark.
size_t StepBinaryEnd(std::string_view text, size_t at);
// Letters and digits from `at`; `at` itself when there are none.
size_t StepNameEnd(std::string_view text, size_t at);
