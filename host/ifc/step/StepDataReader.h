#pragma once
// The data section of a STEP file, record by record, held to the exchange-file syntax: `#N =
// TYPE(attributes);` or the complex form `#N = (TYPE(...) TYPE(...));`, whose attributes are
// $, *, numbers, 'strings', .ENUMERATIONS., "binaries", #references, (lists) and TYPE(values),
// with blanks and comments between them. The IFC library reads past what it cannot parse
// without a word (an apostrophe too few swallows every record up to the next one), so any
// fault here is an EIfcFile naming its line and record.
#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

struct StepRecord {
    int id = -1;
    size_t offset = 0;     // of its '#'
    size_t end = 0;        // past its ';'
    std::vector<int> refs; // every reference in it, in order
    // Its 6th and 7th attributes when they are references, else -1: where a product (IFC's
    // IfcProduct and every entity under it) names its placement and its representation.
    std::array<int, 2> productRefs{-1, -1};
};

class StepDataReader {
public:
    // `text` is the whole file; reading starts after its "DATA;" (a text without one has no
    // records: the header check names that fault).
    explicit StepDataReader(std::string_view text);
    // Records of `text` from `from`, where one begins, up to `to`: Next is false at the first
    // record that begins at or past it. A fault's message may lack the record before `from`.
    StepDataReader(std::string_view text, size_t from, size_t to);
    // The next record; false once the section's ENDSEC; is passed, or at the bound.
    bool Next(StepRecord& record);
    // Where the next record would begin.
    size_t At() const { return at_; }

private:
    void Blanks();
    void String();
    void Binary();
    void Enumeration();
    void Number();
    int Reference();
    void Keyword(const char* where);
    void Expect(char c, const char* where);
    void Attributes(StepRecord& record, bool simple);
    [[noreturn]] void Fail(size_t at, const std::string& what) const;
    std::string Unexpected(size_t at, const char* where) const;

    std::string_view text_;
    size_t at_ = 0;
    size_t to_ = std::string_view::npos;
    bool noData_ = false;
    int record_ = -1;           // the record being read
    size_t recordAt_ = 0;
    int previous_ = -1;         // the last whole record
    size_t lastString_ = std::string_view::npos; // where the value just read began, when a string
};

// The 1-based line of a byte offset; CR LF, LF and a lone CR each end a line.
size_t StepLineAt(std::string_view text, size_t offset);
// The entity name a record at `offset` begins with ("IFCWALL"), empty when it has none.
std::string_view StepTypeAt(std::string_view text, size_t offset);
