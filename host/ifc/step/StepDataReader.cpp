#include "host/ifc/step/StepDataReader.h"

#include "host/ifc/step/EIfcFile.h"
#include "steptext/StepLexemes.h"

#include <cstdint>

namespace {

constexpr int kMaxId = 999'999'999;
constexpr size_t kExcerpt = 24;


// An entity name followed by its '(' at `at`.
bool TypedValueAt(std::string_view text, size_t at) {
    at = StepNameEnd(text, at);
    while (at < text.size() && IsStepBlank(text[at])) ++at;
    return at < text.size() && text[at] == '(';
}

} // namespace

size_t StepLineAt(std::string_view text, size_t offset) {
    size_t line = 1;
    if (offset > text.size()) offset = text.size();
    for (size_t i = 0; i < offset; ++i)
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n'))) ++line;
    return line;
}

std::string_view StepTypeAt(std::string_view text, size_t offset) {
    size_t p = text.find('=', offset);
    if (p == std::string_view::npos) return {};
    ++p;
    while (p < text.size() && (IsStepBlank(text[p]) || text[p] == '(')) ++p;
    return text.substr(p, StepNameEnd(text, p) - p);
}

StepDataReader::StepDataReader(std::string_view text) : text_(text) {
    size_t data = text.find("DATA;");
    at_ = data == std::string_view::npos ? text.size() : data + 5;
    noData_ = data == std::string_view::npos;
}

StepDataReader::StepDataReader(std::string_view text, size_t from, size_t to) : text_(text), at_(from), to_(to) {}

void StepDataReader::Fail(size_t at, const std::string& what) const {
    const size_t line = StepLineAt(text_, at);
    std::string where = "syntax error on line " + std::to_string(line);
    if (record_ >= 0) {
        where += " in #" + std::to_string(record_);
        size_t begun = StepLineAt(text_, recordAt_);
        if (begun != line) where += " (which begins on line " + std::to_string(begun) + ")";
    } else if (previous_ >= 0) {
        where += " after #" + std::to_string(previous_);
    }
    throw EIfcFile(where + ": " + what);
}

// `unexpected "..."` with the text found, printable ASCII only, and what belongs there; after a
// string, the likeliest cause.
std::string StepDataReader::Unexpected(size_t at, const char* where) const {
    std::string found;
    if (at >= text_.size()) {
        found = "the end of the file";
    } else {
        size_t end = at;
        while (end < text_.size() && end - at < kExcerpt && text_[end] != '\n' && text_[end] != '\r') ++end;
        found = "\"";
        for (size_t i = at; i < end; ++i) {
            auto c = static_cast<unsigned char>(text_[i]);
            found += c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '?';
        }
        found += end < text_.size() && text_[end] != '\n' && text_[end] != '\r' ? "...\"" : "\"";
    }
    std::string what = "unexpected " + found + " " + where;
    if (lastString_ != std::string_view::npos) {
        size_t begun = StepLineAt(text_, lastString_);
        what += ", after a string";
        if (begun != StepLineAt(text_, at)) what += " that begins on line " + std::to_string(begun);
        what += " (is an apostrophe missing?)";
    }
    return what;
}

void StepDataReader::Blanks() {
    at_ = StepBlanksEnd(text_, at_);
    if (StepCommentAt(text_, at_)) Fail(at_, "a comment does not end before the end of the file");
}

void StepDataReader::String() {
    const size_t end = StepStringEnd(text_, at_);
    if (end == std::string_view::npos) Fail(at_, "a string does not end before the end of the file (is an apostrophe missing?)");
    lastString_ = at_;
    at_ = end;
}

void StepDataReader::Binary() {
    const size_t end = StepBinaryEnd(text_, at_);
    if (end == std::string_view::npos) Fail(at_, "a binary value is not hexadecimal digits between quotation marks");
    at_ = end;
}

void StepDataReader::Enumeration() {
    size_t p = at_ + 1;
    p = StepNameEnd(text_, p);
    if (p == at_ + 1 || p >= text_.size() || text_[p] != '.') Fail(at_, Unexpected(at_, "where a value belongs"));
    at_ = p + 1;
}

void StepDataReader::Number() {
    const size_t begin = at_;
    size_t p = at_;
    if (text_[p] == '+' || text_[p] == '-') ++p;
    size_t digits = 0;
    while (p < text_.size() && IsStepDigit(text_[p])) ++p, ++digits;
    if (p < text_.size() && text_[p] == '.') {
        ++p;
        while (p < text_.size() && IsStepDigit(text_[p])) ++p, ++digits;
    }
    if (digits == 0) Fail(begin, Unexpected(begin, "where a value belongs"));
    if (p < text_.size() && (text_[p] == 'E' || text_[p] == 'e')) {
        ++p;
        if (p < text_.size() && (text_[p] == '+' || text_[p] == '-')) ++p;
        if (p >= text_.size() || !IsStepDigit(text_[p])) Fail(begin, Unexpected(begin, "where a value belongs"));
        while (p < text_.size() && IsStepDigit(text_[p])) ++p;
    }
    at_ = p;
}

// At '#'.
int StepDataReader::Reference() {
    const size_t begin = at_;
    size_t p = at_ + 1;
    int64_t id = 0;
    while (p < text_.size() && IsStepDigit(text_[p])) {
        id = id * 10 + (text_[p] - '0');
        if (id > kMaxId) Fail(begin, "the record number " + std::string(text_.substr(begin, p + 1 - begin)) + "... is too large");
        ++p;
    }
    if (p == begin + 1) Fail(begin, Unexpected(begin, "where a record number belongs"));
    at_ = p;
    return static_cast<int>(id);
}

void StepDataReader::Keyword(const char* where) {
    if (at_ >= text_.size() || !(IsStepLetter(text_[at_]) || text_[at_] == '!')) Fail(at_, Unexpected(at_, where));
    const size_t begin = at_++;
    at_ = StepNameEnd(text_, at_);
    Blanks();
    if (at_ >= text_.size() || text_[at_] != '(') Fail(begin, Unexpected(begin, where));
}

void StepDataReader::Expect(char c, const char* where) {
    Blanks();
    if (at_ >= text_.size() || text_[at_] != c) Fail(at_, Unexpected(at_, where));
    ++at_;
}

// From the '(' that opens an instance's attributes to past its ')'. Lists and typed values nest
// as deep as the file makes them: counted, not recursed into.
void StepDataReader::Attributes(StepRecord& record, bool simple) {
    enum class After { Open, Comma, Value } after = After::Open;
    size_t depth = 1;
    int attribute = 0;
    ++at_;
    lastString_ = std::string_view::npos;
    while (true) {
        Blanks();
        if (at_ >= text_.size()) Fail(at_, Unexpected(at_, "inside the record"));
        const char c = text_[at_];
        if (after == After::Value) {
            if (c == ',') {
                if (depth == 1) ++attribute;
                after = After::Comma;
            } else if (c != ')') {
                Fail(at_, Unexpected(at_, "where \",\" or \")\" belongs"));
            } else if (--depth == 0) {
                ++at_;
                lastString_ = std::string_view::npos;
                return;
            }
            ++at_;
            lastString_ = std::string_view::npos;
            continue;
        }
        if (c == ')' && after == After::Open) {
            ++at_;
            after = After::Value;
            if (--depth == 0) return;
            continue;
        }
        lastString_ = std::string_view::npos;
        switch (c) {
        case '$':
        case '*':
            ++at_;
            break;
        case '\'':
            String();
            break;
        case '"':
            Binary();
            break;
        case '#': {
            int ref = Reference();
            record.refs.push_back(ref);
            if (simple && depth == 1 && (attribute == 5 || attribute == 6)) record.productRefs[attribute - 5] = ref;
            break;
        }
        case '(':
            ++at_;
            ++depth;
            after = After::Open;
            continue;
        case '.':
            if (at_ + 1 < text_.size() && IsStepDigit(text_[at_ + 1])) Number();
            else Enumeration();
            break;
        default:
            if (c == '+' || c == '-' || IsStepDigit(c)) {
                Number();
            } else {
                // A word that is no entity name: most likely text whose opening apostrophe is gone.
                if (IsStepLetter(c) && !TypedValueAt(text_, at_))
                    Fail(at_, Unexpected(at_, "where a value belongs") + " (text outside a string: is an apostrophe missing?)");
                Keyword("where a value belongs");
                ++at_;
                ++depth;
                after = After::Open;
                continue;
            }
        }
        after = After::Value;
    }
}

bool StepDataReader::Next(StepRecord& record) {
    record_ = -1;
    lastString_ = std::string_view::npos;
    if (noData_) return false;
    Blanks();
    if (at_ >= to_) return false;
    if (text_.substr(at_, 6) == "ENDSEC") {
        at_ += 6;
        Expect(';', "where \";\" ends the section");
        return false;
    }
    if (at_ >= text_.size() || text_[at_] != '#')
        Fail(at_, Unexpected(at_, at_ >= text_.size() ? "where ENDSEC; belongs" : "where a record \"#N=\" belongs"));
    record.offset = at_;
    record.refs.clear();
    record.productRefs = {-1, -1};
    record.id = Reference();
    record_ = record.id;
    recordAt_ = record.offset;
    Expect('=', "where \"=\" belongs");
    Blanks();
    if (at_ < text_.size() && text_[at_] == '(') {
        // A complex instance: one entity after another, each with its attributes.
        ++at_;
        size_t parts = 0;
        while (true) {
            Blanks();
            if (at_ < text_.size() && text_[at_] == ')' && parts > 0) {
                ++at_;
                break;
            }
            Keyword("where an entity name belongs");
            Attributes(record, false);
            ++parts;
        }
    } else {
        Keyword("where an entity name belongs");
        Attributes(record, true);
    }
    Expect(';', "where \";\" ends the record");
    record.end = at_;
    previous_ = record.id;
    record_ = -1;
    return true;
}
