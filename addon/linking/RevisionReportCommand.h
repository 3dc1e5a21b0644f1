#pragma once
// The menu command that writes the last revision's link report to a CSV file beside the schedule.
#include "linking/RevisionLinkReport.h"

void WriteRevisionReportCommand(const RevisionLinkReport& report, TaskDB& db);
