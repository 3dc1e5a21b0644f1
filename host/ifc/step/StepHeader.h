#pragma once
// The checks a STEP text must pass before the IFC library sees it: the exchange-file header, a
// schema the library reads, and the closing line a complete file ends with.
#include <string>
#include <string_view>

// "IFC2X3" or "IFC4"; throws EIfcFile (without a file name) for any other text.
std::string CheckStepText(std::string_view text);
