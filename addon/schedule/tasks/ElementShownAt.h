#pragma once
// What an element linked to some tasks shows at any date, by the display's rule: the task under
// way governs, else the one finished last, else the one starting next. The display pass and the
// checks both ask here; the checks look at dates other than the schedule's current one, so they
// give tasks whose states they computed for that date.
#include "schedule/tasks/DateTime.h"
#include "schedule/tasks/Task.h"

#include <span>

// The governing task among `tasks`, whose states are those at `at`: the last one in progress,
// else the one whose finish lies closest before `at`, else the one whose start lies closest
// after it. Null when none does (none given, or a lone task with its dates reversed).
const Task* GoverningTask(std::span<const Task* const> tasks, const DateTime& at);

// Unlinked when no task governs. Only the first ten tasks count, as many as an element links.
Appearance ElementShownAt(std::span<const Task* const> tasks, const DateTime& at);
