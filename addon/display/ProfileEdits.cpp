#include "display/ProfileEdits.h"

#include <algorithm>

ProfileNameProblem CheckProfileName(const ProfileSet& set, const std::string& name, const std::string& own) {
    if (name.empty()) return ProfileNameProblem::Empty;
    if (name.size() > AppearanceProfile::kNameMax) return ProfileNameProblem::TooLong;
    if (name != own && set.Find(name)) return ProfileNameProblem::Taken;
    return ProfileNameProblem::None;
}

std::string FreeProfileName(const ProfileSet& set, const std::string& base) {
    std::string name = base.substr(0, AppearanceProfile::kNameMax);
    for (int n = 2; set.Find(name) || name.empty(); ++n) {
        const std::string suffix = " " + std::to_string(n);
        name = base.substr(0, AppearanceProfile::kNameMax - suffix.size()) + suffix;
    }
    return name;
}

ProfileUsers UsersOf(const ProfileSet& set, const LinkRules& rules, const std::string& name) {
    ProfileUsers users;
    for (int i = 0; i < kConstructionTypeCount; ++i) {
        const auto type = static_cast<ConstructionType>(i);
        if (set.TypeChoice(type) == name) users.types.push_back(type);
    }
    users.tasks = set.TasksChoosing(name);
    users.rules = static_cast<size_t>(std::count(rules.profiles.begin(), rules.profiles.end(), name));
    return users;
}

void RenameRuleProfiles(LinkRules& rules, const std::string& from, const std::string& to) {
    for (std::string& profile : rules.profiles)
        if (profile == from) profile = to;
    if (std::all_of(rules.profiles.begin(), rules.profiles.end(), [](const std::string& p) { return p.empty(); }))
        rules.profiles.clear();
}
