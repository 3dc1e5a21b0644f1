#pragma once
// Which project of a P6 export to open (dialog 32508): asked when the file exports more than one.
#include "dialogkit/DGModalDialog.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

// The dialog with one pop-up entry per project name (8-bit); null when its description is missing.
std::unique_ptr<DGModalDialog> MakeXerProjectDialog(const std::vector<std::string>& names);

// The chosen project's index; nothing for "Mégse" or when the dialog cannot be made.
std::optional<size_t> AskXerProject(const std::vector<std::string>& names);
