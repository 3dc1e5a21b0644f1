#pragma once
// A construction type written as a word in an outside schedule: its letter, its Hungarian name or
// its English name, in any letter case.
#include <cstdint>
#include <string_view>

// The type, or -1 when the text names none.
int32_t ConstructionTypeOfText(std::string_view cp1250);
