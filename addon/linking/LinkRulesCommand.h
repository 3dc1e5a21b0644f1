#pragma once
// The menu's "Kapcsolás szabályokkal...": the schedule's rules again or those of a rules file the
// user chooses (which the schedule keeps from then on), applied to the model.
#include "hostapi/HostGuid.h"
#include "schedule/tasks/TaskDB.h"

#include <optional>
#include <string>
#include <vector>

void LinkByRulesCommand(TaskDB& db);
// After the model took a revision: the schedule's rules again, so its new elements join their
// tasks. Nothing without rules; else the elements no rule reached.
std::optional<std::vector<API_Guid>> ReapplyRulesAfterRevision(TaskDB& db);
// A rules file read and checked; a file that cannot be read or is refused is named in an alert
// (and the reason in the report window), and false returned.
bool ReadRulesFile(const std::string& path8, LinkRules& rules);
