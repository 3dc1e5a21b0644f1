#pragma once
// What the readers of both of Primavera P6's forms do once they found the file's projects: ask
// which to open, refuse a file with the reason in the report window.
#include "schedule/P6Plan.h"

#include <optional>
#include <string>
#include <vector>

// The project to open: the only one, or the one the user picks (dialog 32508); nothing for a
// file of none or a cancelled choice.
std::optional<size_t> ChooseP6Project(const std::vector<P6Project>& projects);

// Writes the reason (8-bit) to the report window and shows the P6 file alert; returns false.
bool RefuseP6File(const std::string& path, const std::string& reason);
