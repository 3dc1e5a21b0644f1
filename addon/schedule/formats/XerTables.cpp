#include "schedule/formats/XerTables.h"

#include "schedule/formats/ScheduleTextLines.h"

#include <algorithm>
#include <cstdint>

namespace {

// Windows-1252's 0x80-0x9F; its undefined bytes become the replacement character.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

void AppendUtf8(std::string& out, char16_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

void SplitTabs(std::string_view line, std::vector<std::string_view>& out) {
    out.clear();
    for (;;) {
        size_t tab = line.find('\t');
        out.push_back(line.substr(0, tab));
        if (tab == std::string_view::npos) return;
        line.remove_prefix(tab + 1);
    }
}

std::string Start(std::string_view line) { return std::string(line.substr(0, std::min<size_t>(line.size(), 40))); }

} // namespace

std::string_view XerTable::Value(const XerRow& row, std::string_view field) const {
    auto at = std::find(fields.begin(), fields.end(), field);
    size_t i = static_cast<size_t>(at - fields.begin());
    return at == fields.end() || i >= row.values.size() ? std::string_view() : row.values[i];
}

std::string XerTextOf(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    bool ascii = std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii || IsUtf8BeyondAscii(bytes)) return std::string(bytes);
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (char c : bytes) {
        auto b = static_cast<unsigned char>(c);
        AppendUtf8(out, b >= 0x80 && b < 0xA0 ? kHighControls[b - 0x80] : static_cast<char16_t>(b));
    }
    return out;
}

bool ReadXerTables(std::string_view text, XerTables& tables, XerError& error) {
    tables.clear();
    XerTable* table = nullptr;
    bool haveFields = false;
    std::vector<std::string_view> parts;
    size_t number = 0;
    auto fail = [&](XerError::Kind kind, std::string detail) {
        error = {kind, number, std::move(detail)};
        tables.clear();
        return false;
    };
    while (!text.empty()) {
        size_t end = text.find_first_of("\r\n");
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end);
        if (text.starts_with("\r\n")) text.remove_prefix(2);
        else if (!text.empty()) text.remove_prefix(1);
        ++number;
        if (number == 1) {
            if (!line.starts_with("ERMHDR")) return fail(XerError::NotXer, {});
            continue;
        }
        if (line.empty()) continue;
        SplitTabs(line, parts);
        std::string_view mark = parts[0];
        if (mark == "%E") break;
        if (mark == "%T") {
            // A table named again starts afresh: its rows would not fit the new field line.
            table = &tables[std::string(parts.size() > 1 ? parts[1] : std::string_view())];
            *table = {};
            haveFields = false;
        } else if (mark == "%F") {
            if (table == nullptr) return fail(XerError::FieldsBeforeTable, {});
            table->fields.assign(parts.begin() + 1, parts.end());
            haveFields = true;
        } else if (mark == "%R") {
            if (table == nullptr || !haveFields) return fail(XerError::RowBeforeFields, {});
            if (parts.size() - 1 > table->fields.size())
                return fail(XerError::TooManyValues, std::to_string(parts.size() - 1));
            XerRow& row = table->rows.emplace_back();
            row.line = number;
            row.values.assign(parts.begin() + 1, parts.end());
        } else {
            return fail(XerError::UnknownLine, Start(line));
        }
    }
    if (number == 0) return fail(XerError::NotXer, {});
    return true;
}
