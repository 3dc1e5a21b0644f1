#pragma once
// A schedule as Microsoft Project's XML (MSPDI), so that the planner's Microsoft Project takes it
// back: the tasks with the unique ids they came with, their outline, dependencies, dates and
// progress, the construction type in a custom text field aliased "Típus", on a standard calendar.
#include "schedule/tasks/Task.h"
#include "schedule/tasks/TaskPlan.h"

#include <string>
#include <string_view>
#include <vector>

// The document (UTF-8). `plans` is empty or has one plan a task; `utf8Name` names the project.
// A task without a unique id gets one above all the others.
std::string ProjectXmlDocument(const std::vector<Task>& tasks, const std::vector<TaskPlan>& plans, std::string_view utf8Name);
