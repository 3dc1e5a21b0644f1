#include "linking/LinksCsv.h"

#include "basekit/BKText.h"

#include <array>
#include <cctype>

namespace {

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF. A Windows-1250 file
// with accented letters almost never passes.
bool IsUtf8(std::string_view s) {
    size_t i = 0;
    while (i < s.size()) {
        auto c = static_cast<uint8_t>(s[i]);
        size_t n = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : 4;
        if (n == 4 || s.size() - i - 1 < n) return false;
        uint32_t cp = n == 0 ? c : n == 1 ? (c & 0x1Fu) : n == 2 ? (c & 0x0Fu) : (c & 0x07u);
        for (size_t k = 1; k <= n; ++k) {
            auto d = static_cast<uint8_t>(s[i + k]);
            if ((d & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (d & 0x3Fu);
        }
        static constexpr std::array<uint32_t, 4> kLeast = {0, 0x80, 0x800, 0x10000};
        if (cp < kLeast[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        i += n + 1;
    }
    return true;
}

size_t CountUnmappable(std::string_view utf8) {
    size_t count = 0;
    while (auto u = BKFirstUnmappable(utf8)) {
        ++count;
        utf8.remove_prefix(u->offset + (u->length ? u->length : 1));
    }
    return count;
}

struct Field {
    std::string text;
    bool quoted = false;
};

struct Record {
    size_t line = 0;
    std::vector<Field> fields;
};

// Splits the text into records of fields. A quoted field may hold the separator, line breaks and
// doubled quotes, and keeps its blanks; a line ends at LF, CR LF or CR.
class RecordReader {
public:
    RecordReader(std::string_view text, char separator) : text_(text), separator_(separator) {}

    bool Next(Record& record) {
        if (pos_ >= text_.size()) return false;
        record.line = line_;
        record.fields.assign(1, {});
        bool inQuotes = false;
        while (pos_ < text_.size()) {
            char c = text_[pos_++];
            Field& f = record.fields.back();
            if (inQuotes) {
                if (c == '"' && pos_ < text_.size() && text_[pos_] == '"') {
                    f.text.push_back('"');
                    ++pos_;
                } else if (c == '"') {
                    inQuotes = false;
                } else {
                    if (c == '\n' || (c == '\r' && (pos_ >= text_.size() || text_[pos_] != '\n'))) ++line_;
                    f.text.push_back(c);
                }
            } else if (c == separator_) {
                record.fields.emplace_back();
            } else if (c == '\r' || c == '\n') {
                if (c == '\r' && pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
                ++line_;
                break;
            } else if (c == '"' && !f.quoted && Blank(f.text)) {
                f.text.clear();
                f.quoted = inQuotes = true;
            } else if (!(f.quoted && (c == ' ' || c == '\t'))) {
                // Blanks after a closing quote are layout; anything else is kept as written.
                f.text.push_back(c);
            }
        }
        return true;
    }

private:
    static bool Blank(const std::string& s) {
        for (char c : s)
            if (c != ' ' && c != '\t') return false;
        return true;
    }
    std::string_view text_;
    char separator_;
    size_t pos_ = 0;
    size_t line_ = 1;
};

// The separator the header uses most, outside quotes: semicolon, comma or tab.
char SeparatorOf(std::string_view text) {
    size_t semicolons = 0, commas = 0, tabs = 0;
    bool quoted = false;
    for (char c : text) {
        if (c == '"') quoted = !quoted;
        else if (quoted) continue;
        else if (c == '\r' || c == '\n') break;
        else if (c == ';') ++semicolons;
        else if (c == ',') ++commas;
        else if (c == '\t') ++tabs;
    }
    if (tabs > semicolons && tabs > commas) return '\t';
    return commas > semicolons ? ',' : ';';
}

std::string Trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return std::string(s);
}

// A header name without letter case, blanks, underscores and hyphens: "Task ID" is "taskid".
std::string HeaderKey(std::string_view name) {
    std::string key;
    for (char c : name)
        if (c != ' ' && c != '_' && c != '-' && c != '\t') key.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    return key;
}

enum Column { GlobalId, ElementId, TaskId, TaskName, kColumns };

int ColumnOf(std::string_view header) {
    std::string key = HeaderKey(header);
    if (key == "guid" || key == "globalid" || key == "ifcguid") return GlobalId;
    if (key == "id" || key == "elementid") return ElementId;
    if (key == "task" || key == "taskid") return TaskId;
    if (key == "taskname") return TaskName;
    return -1;
}

} // namespace

bool ReadLinksCsv(std::string_view bytes, LinksCsv& out) {
    constexpr std::string_view kBom = "\xEF\xBB\xBF";
    bool bom = bytes.substr(0, kBom.size()) == kBom;
    if (bom) bytes.remove_prefix(kBom.size());
    std::string text;
    size_t unmappable = 0;
    if (bom || IsUtf8(bytes)) {
        unmappable = CountUnmappable(bytes);
        text = BKFromUtf8(bytes);
    } else {
        text.assign(bytes);
    }

    RecordReader reader(text, SeparatorOf(text));
    Record header;
    if (!reader.Next(header)) return false;
    std::array<int, kColumns> at{-1, -1, -1, -1};
    for (size_t i = 0; i < header.fields.size(); ++i) {
        int column = ColumnOf(Trimmed(header.fields[i].text));
        if (column >= 0 && at[static_cast<size_t>(column)] < 0) at[static_cast<size_t>(column)] = static_cast<int>(i);
    }
    if ((at[GlobalId] < 0 && at[ElementId] < 0) || (at[TaskId] < 0 && at[TaskName] < 0)) return false;

    LinksCsv csv;
    csv.unmappable = unmappable;
    Record record;
    while (reader.Next(record)) {
        auto field = [&](Column c) {
            int i = at[static_cast<size_t>(c)];
            if (i < 0 || static_cast<size_t>(i) >= record.fields.size()) return std::string();
            const Field& f = record.fields[static_cast<size_t>(i)];
            return f.quoted ? f.text : Trimmed(f.text);
        };
        LinksCsvRow row{record.line, field(GlobalId), field(ElementId), field(TaskId), field(TaskName)};
        bool anyText = false;
        for (const Field& f : record.fields) anyText = anyText || !Trimmed(f.text).empty();
        if (anyText) csv.rows.push_back(std::move(row));
    }
    out = std::move(csv);
    return true;
}

LinksCsvWriter::LinksCsvWriter() : text_("\xEF\xBB\xBF" "GlobalId;ElementId;TaskId;TaskName\r\n") {}

void LinksCsvWriter::Add(std::string_view globalId, std::string_view elementId, int32_t taskId,
                         std::string_view taskName) {
    Field(globalId, false);
    Field(elementId, false);
    Field(std::to_string(taskId), false);
    Field(taskName, true);
    ++rows_;
}

void LinksCsvWriter::Field(std::string_view cp1250, bool last) { AppendCsvField(text_, cp1250, last); }

void AppendCsvField(std::string& text, std::string_view cp1250, bool last) {
    std::string utf8 = BKToUtf8(cp1250);
    bool quote = utf8.find_first_of(";\",\r\n\t") != std::string::npos ||
                 (!utf8.empty() && (utf8.front() == ' ' || utf8.back() == ' '));
    if (quote) {
        text += '"';
        for (char c : utf8) {
            if (c == '"') text += '"';
            text += c;
        }
        text += '"';
    } else {
        text += utf8;
    }
    text += last ? "\r\n" : ";";
}
