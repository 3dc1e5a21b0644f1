#pragma once
// What the readers of both of Primavera P6's forms do once they found the file's projects: ask
// which to open, refuse a file with the reason in the report window.
#include "schedule/formats/P6Plan.h"
#include "schedule/formats/P6Schedule.h"

#include <optional>
#include <string>
#include <vector>

class TaskDB;

// The project to open: the only one, or the one the user picks (dialog 32508); nothing for a
// file of none or a cancelled choice.
std::optional<size_t> ChooseP6Project(const std::vector<P6Project>& projects);

// Writes the reason (8-bit) to the report window and shows the P6 file alert; returns false.
bool RefuseP6File(const std::string& path, const std::string& reason);

// The schedule made of the chosen project replaces the open one as an import; a project of no
// activity refuses the file instead.
bool TakeP6Schedule(TaskDB& db, const std::string& path, P6Schedule&& schedule);
