#pragma once
// Texts and values of a record's attributes as the IFC library's reading gives them, taken from
// the file's text without the library's entities: a string decoded by the library's own decoder
// when it is not plain, a typed value made by the library's own value reading. An attribute in
// a form the library's reading of the whole record would see otherwise (blanks inside a typed
// value, a typed string where a string stands) gives nothing, and its reader the library's say.
#include "host/ifc/step/StepEntityScan.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The record's entity name upper case, as the library takes names ("IFCWALL").
std::string RecordTypeAt(std::string_view text, const StepScan& scan, uint32_t position);
// The record's attributes (StepAttributes).
std::vector<std::string_view> RecordAttributesAt(std::string_view text, const StepScan& scan, uint32_t position);

// Whether the entity name as written is `upper`, in any case, as the library takes names.
bool RecordTypeIs(std::string_view written, std::string_view upper);

// A string attribute's text (UTF-8); empty for "$" or "*".
std::optional<std::string> RecordString(std::string_view attribute);

// A typed value ("IFCLABEL('Wall')", "IFCLENGTHMEASURE(2.5)") as ValueText writes the library's
// reading of it; an empty optional inside for "$" or a type the library reads as none.
std::optional<std::optional<std::string>> RecordValueText(std::string_view attribute);

// A plain number of a measure (a quantity's value) as ValueText writes the library's `T` of it;
// an empty optional inside for "$".
enum class RecordMeasure { Length, Area, Volume, Count, Weight, Time };
std::optional<std::optional<std::string>> RecordMeasureText(RecordMeasure measure, std::string_view attribute);
