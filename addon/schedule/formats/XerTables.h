#pragma once
// The tables of a Primavera P6 XER export: an ERMHDR line, then for each table a %T line naming
// it, a %F line naming its fields and %R lines of values, all TAB-separated, up to %E.
#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

struct XerRow {
    size_t line = 0; // 1-based, for messages
    std::vector<std::string_view> values;
};

struct XerTable {
    std::vector<std::string_view> fields;
    std::vector<XerRow> rows;

    // The row's value of the field; empty when the table has no such field.
    std::string_view Value(const XerRow& row, std::string_view field) const;
};

// Where a file stops being XER, and why (the item of the message list that says so).
struct XerError {
    enum Kind : int16_t { NotXer = 1, RowBeforeFields = 2, TooManyValues = 3, UnknownDate = 4, UnknownLine = 5, FieldsBeforeTable = 6 };
    Kind kind = NotXer;
    size_t line = 0;
    std::string detail; // UTF-8: the date text, or the line's start
};

// The tables by name. The views point into the text given to ReadXerTables, which must outlive
// them.
using XerTables = std::map<std::string, XerTable, std::less<>>;

// Splits UTF-8 XER text into its tables. A row shorter than its %F line has empty values for the
// rest. False with `error` set for a file that is not XER or has a line no reader could place.
bool ReadXerTables(std::string_view text, XerTables& tables, XerError& error);

// The file's bytes as UTF-8: they are kept when they are valid UTF-8 (a byte-order mark is
// dropped), otherwise read as Windows-1252, which P6 writes on Western systems.
std::string XerTextOf(std::string_view bytes);
