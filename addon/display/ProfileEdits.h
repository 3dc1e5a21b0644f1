#pragma once
// The edits a planner makes to the schedule's profiles: names that tell them apart, and who still
// takes a profile before it goes or gets a new name (types, tasks and link rules).
#include "display/ProfileSet.h"
#include "schedule/tasks/LinkRules.h"

#include <cstdint>
#include <string>
#include <vector>

enum class ProfileNameProblem : uint8_t { None, Empty, TooLong, Taken };

// What keeps `name` from being the name of the profile now called `own` (empty for a new one).
ProfileNameProblem CheckProfileName(const ProfileSet& set, const std::string& name, const std::string& own = {});
// `base`, else `base 2`, `base 3`... the first no profile has, cut to the names' bound.
std::string FreeProfileName(const ProfileSet& set, const std::string& base);

struct ProfileUsers {
    std::vector<ConstructionType> types; // whose profile it is
    size_t tasks = 0;                    // that take it of their own
    size_t rules = 0;                    // that give it to their tasks
};
ProfileUsers UsersOf(const ProfileSet& set, const LinkRules& rules, const std::string& name);

// The rules that give `from` give `to`; an empty `to` leaves their tasks their type's. Rules that
// name no profile keep none, so the project file stays as it was.
void RenameRuleProfiles(LinkRules& rules, const std::string& from, const std::string& to);
