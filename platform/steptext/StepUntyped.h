#pragma once
// A typed value of a STEP record, as IFCLABEL('x'), and the value inside it.
#include <string_view>

// A typed value's inner text without the blanks and comments around it: IFCLABEL('x') gives
// 'x'; anything else is returned as it is.
std::string_view StepUntyped(std::string_view attribute);
