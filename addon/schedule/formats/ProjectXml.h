#pragma once
// Microsoft Project's XML ("Save As XML"): the tasks of a plan as another planning program
// writes them, with the plan's logic (outline, dependencies, progress) kept beside each task.
#include <string>

class TaskDB;

// The plan replaces the schedule as an import (TaskDB::ImportSchedule); alerts and returns false
// on failure, the schedule unchanged.
bool ImportProjectXml(TaskDB& db, const std::string& path);
