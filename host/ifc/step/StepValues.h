#pragma once
// The values of one record of a STEP data section, for the few records the host reads itself
// rather than through the IFC library. Records come held to the syntax (StepDataReader.h), but
// every reading here stops at the text's end and gives nothing for a value of another form.
// Typed values and strings are read as the add-on reads them.
#include "steptext/StepString.h"
#include "steptext/StepUntyped.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The top-level attributes of a simple record `#N = TYPE(a, b, ...);`, each its text without the
// blanks and comments around it; empty for a complex record or one that is not whole.
std::vector<std::string_view> StepAttributes(std::string_view record);
// #N's number, or -1.
int StepReference(std::string_view attribute);
// The references of a list (#1,#2); a single reference counts as a list of one.
std::vector<int> StepReferences(std::string_view attribute);
// .NAME. without its dots, empty otherwise.
std::string_view StepEnumeration(std::string_view attribute);
std::optional<double> StepReal(std::string_view attribute);
