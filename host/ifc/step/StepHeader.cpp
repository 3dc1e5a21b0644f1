#include "host/ifc/step/StepHeader.h"

#include "host/ifc/step/EIfcFile.h"
#include "steptext/StepLexemes.h"

#include <algorithm>
#include <cctype>

namespace {

constexpr std::string_view kMagic = "ISO-10303-21;";
constexpr std::string_view kEnd = "END-ISO-10303-21;";

std::string Upper(std::string_view s) {
    std::string u(s);
    for (char& c : u) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return u;
}

// The first name in FILE_SCHEMA(('...')), upper case; empty when the header names none.
std::string SchemaName(std::string_view header) {
    size_t at = header.find("FILE_SCHEMA");
    if (at == std::string_view::npos) return {};
    size_t open = header.find('\'', at);
    if (open == std::string_view::npos) return {};
    size_t end = StepStringEnd(header, open);
    if (end == std::string_view::npos) return {};
    std::string_view name = header.substr(open + 1, end - open - 2);
    while (!name.empty() && IsStepBlank(name.front())) name.remove_prefix(1);
    while (!name.empty() && IsStepBlank(name.back())) name.remove_suffix(1);
    return Upper(name.substr(0, 64));
}

} // namespace

std::string CheckStepText(std::string_view text) {
    std::string_view rest = text;
    if (rest.substr(0, 3) == "\xEF\xBB\xBF") rest.remove_prefix(3);
    while (!rest.empty() && IsStepBlank(rest.front())) rest.remove_prefix(1);
    if (rest.substr(0, kMagic.size()) != kMagic) throw EIfcFile("not an IFC file (it does not begin with ISO-10303-21;)");

    size_t data = rest.find("DATA;");
    std::string_view header = rest.substr(0, data);
    std::string schema = SchemaName(header);
    if (schema.empty()) throw EIfcFile("not an IFC file (its header names no schema)");
    // IFC2X3 with its corrigenda, IFC4 with its addenda; the IFC4X line changed entities the
    // library does not know.
    std::string read;
    if (schema.rfind("IFC2X3", 0) == 0) read = "IFC2X3";
    else if (schema == "IFC4" || schema.rfind("IFC4ADD", 0) == 0 || schema.rfind("IFC4_", 0) == 0) read = "IFC4";
    if (read.empty()) throw EIfcFile("schema " + schema + " is not read (only IFC2X3 and IFC4)");

    if (data == std::string_view::npos) throw EIfcFile("truncated: no DATA section");
    std::string_view tail = rest;
    while (!tail.empty() && (IsStepBlank(tail.back()) || tail.back() == '\0' || tail.back() == '\x1A')) tail.remove_suffix(1);
    if (tail.size() < kEnd.size() || tail.substr(tail.size() - kEnd.size()) != kEnd)
        throw EIfcFile("truncated: the file does not end with END-ISO-10303-21;");
    return read;
}
