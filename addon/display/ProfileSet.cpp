#include "display/ProfileSet.h"

#include <algorithm>

namespace {

const AppearanceProfile& OwnLookAlways() {
    static const AppearanceProfile own{};
    return own;
}

} // namespace

void ProfileSet::Reset() {
    profiles_.clear();
    taskChoices_.clear();
    for (int i = 0; i < kConstructionTypeCount; ++i) {
        profiles_.push_back(DefaultProfile(static_cast<ConstructionType>(i)));
        typeChoices_[static_cast<size_t>(i)] = profiles_.back().name;
    }
}

bool ProfileSet::IsDefault() const {
    if (!taskChoices_.empty() || profiles_.size() != kConstructionTypeCount) return false;
    for (int i = 0; i < kConstructionTypeCount; ++i) {
        const AppearanceProfile d = DefaultProfile(static_cast<ConstructionType>(i));
        if (profiles_[static_cast<size_t>(i)] != d || typeChoices_[static_cast<size_t>(i)] != d.name) return false;
    }
    return true;
}

const AppearanceProfile* ProfileSet::Find(const std::string& name) const {
    auto it = std::find_if(profiles_.begin(), profiles_.end(), [&](const AppearanceProfile& p) { return p.name == name; });
    return it == profiles_.end() ? nullptr : &*it;
}

void ProfileSet::Replace(std::vector<AppearanceProfile> profiles) {
    profiles_ = std::move(profiles);
    for (int i = 0; i < kConstructionTypeCount; ++i)
        if (!Find(typeChoices_[static_cast<size_t>(i)]))
            typeChoices_[static_cast<size_t>(i)] = DefaultProfile(static_cast<ConstructionType>(i)).name;
    std::erase_if(taskChoices_, [this](const auto& choice) { return !Find(choice.second); });
}

bool ProfileSet::Put(const AppearanceProfile& profile) {
    if (profile.name.empty() || profile.name.size() > AppearanceProfile::kNameMax) return false;
    for (AppearanceProfile& p : profiles_)
        if (p.name == profile.name) {
            p = profile;
            return true;
        }
    profiles_.push_back(profile);
    return true;
}

bool ProfileSet::Rename(const std::string& from, const std::string& to) {
    if (to.empty() || to.size() > AppearanceProfile::kNameMax || Find(to)) return false;
    auto it = std::find_if(profiles_.begin(), profiles_.end(), [&](const AppearanceProfile& p) { return p.name == from; });
    if (it == profiles_.end()) return false;
    it->name = to;
    for (std::string& choice : typeChoices_)
        if (choice == from) choice = to;
    for (auto& [task, choice] : taskChoices_)
        if (choice == from) choice = to;
    return true;
}

void ProfileSet::Remove(const std::string& name) {
    std::vector<AppearanceProfile> kept = profiles_;
    std::erase_if(kept, [&](const AppearanceProfile& p) { return p.name == name; });
    Replace(std::move(kept));
}

size_t ProfileSet::TasksChoosing(const std::string& name) const {
    return static_cast<size_t>(std::count_if(taskChoices_.begin(), taskChoices_.end(),
                                             [&](const auto& choice) { return choice.second == name; }));
}

bool ProfileSet::ChooseForType(ConstructionType type, const std::string& name) {
    if (!IsKnownConstructionType(type) || !Find(name)) return false;
    typeChoices_[ConstructionTypeIndex(type)] = name;
    return true;
}

bool ProfileSet::ChooseForTask(int32_t taskId, const std::string& name) {
    if (name.empty()) {
        taskChoices_.erase(taskId);
        return true;
    }
    if (!Find(name)) return false;
    taskChoices_[taskId] = name;
    return true;
}

const std::string& ProfileSet::TaskChoice(int32_t taskId) const {
    static const std::string none;
    auto it = taskChoices_.find(taskId);
    return it == taskChoices_.end() ? none : it->second;
}

const AppearanceProfile& ProfileSet::ProfileFor(const Task& task) const {
    if (!taskChoices_.empty())
        if (const AppearanceProfile* own = Find(TaskChoice(task.id))) return *own;
    if (!IsKnownConstructionType(task.type)) return OwnLookAlways();
    if (const AppearanceProfile* p = Find(TypeChoice(task.type))) return *p;
    return OwnLookAlways();
}
