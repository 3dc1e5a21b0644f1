#pragma once
// The schedule's appearance profiles and who takes which: each construction type its profile, a
// task another one of its own. Starts as the five default profiles, one a type.
#include "display/AppearanceProfile.h"
#include "schedule/tasks/Task.h"

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

class ProfileSet {
public:
    ProfileSet() { Reset(); }

    // The five defaults, each type its own, no task with a profile of its own.
    void Reset();
    // Holds nothing but what Reset gives.
    bool IsDefault() const;

    const std::vector<AppearanceProfile>& Profiles() const { return profiles_; }
    const AppearanceProfile* Find(const std::string& name) const;
    // These profiles alone, in this order; each type keeps its choice while a profile has its
    // name, and takes its default's otherwise. Tasks' choices of profiles gone go.
    void Replace(std::vector<AppearanceProfile> profiles);
    // Adds the profile, or replaces the one of its name. False for an empty or too long name.
    bool Put(const AppearanceProfile& profile);
    // Gives the profile a new name, and every type and task that takes it follows. False, nothing
    // changed, when `from` is no profile or `to` is empty, too long or another's.
    bool Rename(const std::string& from, const std::string& to);
    // Removes the profile; the tasks that took it take their type's, a type that took it its
    // default's name.
    void Remove(const std::string& name);
    // How many tasks take the profile of their own.
    size_t TasksChoosing(const std::string& name) const;

    // False when no profile has the name; nothing changes then.
    bool ChooseForType(ConstructionType type, const std::string& name);
    const std::string& TypeChoice(ConstructionType type) const { return typeChoices_[ConstructionTypeIndex(type)]; }
    // An empty name gives the task back its type's profile.
    bool ChooseForTask(int32_t taskId, const std::string& name);
    // Empty when the task takes its type's.
    const std::string& TaskChoice(int32_t taskId) const;
    const std::map<int32_t, std::string>& TaskChoices() const { return taskChoices_; }

    // The task's own profile, else its type's; a type outside the five shows its own look always.
    const AppearanceProfile& ProfileFor(const Task& task) const;

    bool operator==(const ProfileSet&) const = default;

private:
    std::vector<AppearanceProfile> profiles_;
    std::array<std::string, kConstructionTypeCount> typeChoices_;
    std::map<int32_t, std::string> taskChoices_;
};
