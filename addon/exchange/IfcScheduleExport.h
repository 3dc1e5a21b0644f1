#pragma once
// The menu's "Ütemterv mentése IFC-be...": a copy of the building model's IFC4 file with the
// schedule and its links added as IFC4's 4D records (a work plan declared by the project, its
// work schedule, tasks with their times and types, their outline, dependencies and the elements
// they make or take away), every record the file had left as it was.
#include "hostcalls/HostWorkSchedules.h"
#include "linking/ElementFacts.h"
#include "schedule/tasks/TaskDB.h"

#include <cstdint>
#include <string>
#include <vector>

struct IfcScheduleRecords {
    std::string text; // the records, one a line, numbered on from the file's highest
    size_t tasks = 0, dependencies = 0, links = 0;
    // Elements with links that are no product of the file (drawn in the host): by ID text.
    std::vector<std::string> unplaced;
    // The schedule takes the file's own tasks back: the copy leaves their records out.
    bool tasksLeftOut = false;
};

// Whether the schedule holds a task of the file's own (by GlobalId) and the file's tasks can be
// left out of a copy: the schedule then replaces the file's instead of adding a second one.
bool TakesTasksBack(const TaskDB& db, const HostWorkSchedules& ifc);
// The file's text with `records` after its last record, and the file's own task records left
// out when `leaveOutTasks`.
std::string CopyWithRecords(const std::string& text, const HostWorkSchedules& ifc, const std::string& records,
                            bool leaveOutTasks);

// `ifc` with the products' record numbers; `seed` makes the GlobalIds, new for each seed, but a
// task read from IFC keeps its own. When the schedule takes back the file's own tasks, they go
// under the work schedule they came from instead of a new work plan.
IfcScheduleRecords MakeIfcScheduleRecords(const TaskDB& db, const std::vector<ElementFacts>& elements,
                                          const HostWorkSchedules& ifc, const std::string& scheduleName, uint64_t seed);

void SaveScheduleIntoIfcCommand(TaskDB& db);
