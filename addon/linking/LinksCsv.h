#pragma once
// Links as a table of text: the files other 4D tools and spreadsheets exchange. Reading takes
// comma, semicolon or tab separated fields, quoted as spreadsheets quote them, UTF-8 (with or
// without its byte-order mark) or, failing that, Windows-1250, and finds its columns by the
// header names 4D tools write. Writing gives `GlobalId;ElementId;TaskId;TaskName` in UTF-8.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct LinksCsvRow {
    size_t line = 0; // the file's line the row begins on, the header being line 1
    std::string globalId, elementId, taskId, taskName; // 8-bit; empty where the file has no column
};

struct LinksCsv {
    std::vector<LinksCsvRow> rows;
    size_t unmappable = 0; // characters of a UTF-8 file the code page lacks ('?' in their place)
};

// False when the header names no element column (GUID, GlobalId, IfcGUID; ID, ElementId) or no
// task column (Task, TaskId, Task ID; TaskName, Task Name). Letter case, blanks and underscores
// in header names do not count. Rows without any text are left out.
bool ReadLinksCsv(std::string_view bytes, LinksCsv& out);

// One field of a written line, in UTF-8, quoted as spreadsheets read it; `last` ends the line.
void AppendCsvField(std::string& text, std::string_view cp1250, bool last);

// The file written: a UTF-8 byte-order mark (so spreadsheets take it as UTF-8), the header, then
// one line a link, CR LF each. Fields are 8-bit.
class LinksCsvWriter {
public:
    LinksCsvWriter();
    void Add(std::string_view globalId, std::string_view elementId, int32_t taskId, std::string_view taskName);
    const std::string& Text() const { return text_; }
    size_t Rows() const { return rows_; }

private:
    void Field(std::string_view cp1250, bool last);
    std::string text_;
    size_t rows_ = 0;
};
