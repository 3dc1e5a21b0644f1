#pragma once
// The schedule of one project of a Primavera P6 XER export: its WBS as the outline (summary rows
// over the activities), its activities as tasks with their plan, its relationships as
// dependencies.
#include "schedule/Task.h"
#include "schedule/TaskPlan.h"
#include "schedule/XerTables.h"

#include <string>
#include <vector>

struct XerProject {
    std::string id;   // proj_id
    std::string name; // UTF-8: the project ID, and its name where the WBS gives one
};

// The projects the file exports (those P6 only names for relationships into them are left out).
std::vector<XerProject> XerProjectsOf(const XerTables& tables);

struct XerSchedule {
    std::vector<Task> tasks;
    std::vector<TaskPlan> plans;
    size_t lost = 0; // characters the code page has no byte for
};

// The project's rows in outline order: each WBS node that holds activities, then below it its
// own activities and its child nodes. Names are "ACTIVITY-ID name", in the code page. False with
// `error` for a date that is no XER date.
bool BuildXerSchedule(const XerTables& tables, std::string_view projectId, XerSchedule& out, XerError& error);
