#pragma once
// A construction type written as a word in an outside schedule: its letter, its Hungarian name or
// its English name, in any letter case.
#include "schedule/ConstructionType.h"

#include <optional>
#include <string_view>

// The type, or nothing when the text names none.
std::optional<ConstructionType> ConstructionTypeOfText(std::string_view cp1250);
