#pragma once
// What an element linked to some tasks shows at any date, by the display's rule: the task under
// way governs, else the one finished last, else the one starting next. The checks look at dates
// other than the schedule's current one, so the tasks' stored states are not used.
#include "schedule/DateTime.h"
#include "schedule/Task.h"

#include <span>

// Unlinked when no task governs (none given, or a lone task with its dates reversed).
Appearance ElementShownAt(std::span<const Task* const> tasks, const DateTime& at);
