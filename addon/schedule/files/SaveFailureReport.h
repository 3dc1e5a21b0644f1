#pragma once
// A schedule file the system would not let the add-on write, named in the report window before
// the alert that says the save failed: its path and the system's reason (string list 32615).
#include <cstdint>
#include <string_view>

// `fileKitError`: the FileKit code that stopped the save; 0 (a refusal of the add-on's own, which
// reports itself) writes nothing.
void ReportSaveFailure(std::string_view path, int32_t fileKitError);
