#pragma once
// A construction type written as a word in an outside schedule: its letter, its Hungarian name or
// its English name, in any letter case.
#include "schedule/tasks/ConstructionType.h"

#include <optional>
#include <string_view>

// The type, or nothing when the text names none.
std::optional<ConstructionType> ConstructionTypeOfText(std::string_view cp1250);

// The type of a name that starts with its letter and "_" ("D_Bontás"), or nothing.
std::optional<ConstructionType> ConstructionTypeOfPrefix(std::string_view cp1250Name);

// Whether a planner's field (a custom field, an activity code, a user field) holds the type: its
// name is "Típus" or "Type", in any letter case. The name is UTF-8, as the planners write it.
bool IsTypeFieldName(std::string_view utf8);
