#pragma once
// The menu's "Ütemterv mentése IFC-be...": a copy of the building model's IFC4 file with the
// schedule and its links added as IFC4's 4D records (a work plan declared by the project, its
// work schedule, tasks with their times and types, their outline, dependencies and the elements
// they make or take away), every record the file had left as it was.
#include "hostcalls/HostWorkSchedules.h"
#include "linking/ElementFacts.h"
#include "schedule/TaskDB.h"

#include <cstdint>
#include <string>
#include <vector>

struct IfcScheduleRecords {
    std::string text; // the records, one a line, numbered on from the file's highest
    size_t tasks = 0, dependencies = 0, links = 0;
    // Elements with links that are no product of the file (drawn in the host): by ID text.
    std::vector<std::string> unplaced;
};

// `ifc` with the products' record numbers; `seed` makes the GlobalIds, new for each seed.
IfcScheduleRecords MakeIfcScheduleRecords(const TaskDB& db, const std::vector<ElementFacts>& elements,
                                          const HostWorkSchedules& ifc, const std::string& scheduleName, uint64_t seed);
// An 8-bit text as a STEP string, quoted: apostrophes and backslashes doubled, anything beyond
// ASCII in \X2\ escapes.
std::string StepStringOf(std::string_view cp1250);

void SaveScheduleIntoIfcCommand(TaskDB& db);
