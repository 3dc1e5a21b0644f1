#pragma once
// One project of a Primavera P6 XER export as the schedule it makes (P6Schedule.h): its tables
// read into the plan both of P6's forms share.
#include "schedule/formats/P6Plan.h"
#include "schedule/formats/P6Schedule.h"
#include "schedule/formats/XerTables.h"

#include <string>
#include <vector>

using XerProject = P6Project; // `id` the proj_id

// The projects the file exports (those P6 only names for relationships into them are left out).
std::vector<XerProject> XerProjectsOf(const XerTables& tables);

using XerSchedule = P6Schedule;

// The project's schedule; false with `error` for a date that is no XER date.
bool BuildXerSchedule(const XerTables& tables, std::string_view projectId, XerSchedule& out, XerError& error);
