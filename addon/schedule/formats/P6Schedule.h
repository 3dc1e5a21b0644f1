#pragma once
// The schedule one project of a Primavera P6 export makes, in either of its forms: its WBS as the
// outline (summary rows over the activities), its activities as tasks with their plan, its
// relationships as dependencies.
#include "schedule/formats/P6Plan.h"
#include "schedule/tasks/Task.h"
#include "schedule/tasks/TaskPlan.h"

#include <optional>
#include <string_view>
#include <vector>

struct P6Schedule {
    std::vector<Task> tasks;
    std::vector<TaskPlan> plans;
    size_t lost = 0; // characters the code page has no byte for
};

// The project's rows in outline order: each WBS node that holds activities, then below it its
// own activities and its child nodes. Names are "ACTIVITY-ID name", in the code page.
void BuildP6Schedule(const P6ProjectPlan& project, P6Schedule& out);

// "2009-03-02 08:00" (XER, `separator` a blank) or "2009-03-02T08:00:00" (XML, a T), with or
// without the seconds, or the day alone; nothing for any other text or a moment no plan stores.
std::optional<DateTime> P6MomentOf(std::string_view text, char separator);
