#pragma once
// Primavera P6's XER export, one project of it as the schedule.
#include <string>

class TaskDB;

// The project (asking which when the file holds several) replaces the schedule as an import;
// alerts and returns false on failure or when no project is chosen, the schedule unchanged.
bool ImportPrimaveraXer(TaskDB& db, const std::string& path);
