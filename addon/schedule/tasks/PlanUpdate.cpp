// A newer export of the schedule's plan taken into the open schedule, task by task through the
// planner's unique ids, so that every element link to a task that is still there holds.
#include "schedule/tasks/TaskDB.h"

#include "hostcalls/HostInterface.h"
#include "resources/AddonAlerts.h"
#include "resources/AddonResources.h"

#include <cstdint>
#include <unordered_map>

namespace {

constexpr int16_t kTexts = 32644, kUpdateReport = 6;
constexpr int kUpdate = 1, kReplace = 2;

} // namespace

bool TaskDB::ImportPlan(std::vector<Task>&& tasks, std::vector<TaskPlan>&& plans, const std::string& path) {
    bool shared = false;
    if (plans_.size() == tasks_.size()) {
        std::unordered_map<int32_t, bool> open;
        for (const TaskPlan& p : plans_)
            if (p.uid > 0) open.emplace(p.uid, true);
        for (size_t i = 0; i < plans.size() && !shared; ++i) shared = plans[i].uid > 0 && open.count(plans[i].uid);
    }
    const int answer = shared ? AddonAlert(kAlertUpdatePlan, path.c_str()) : kReplace;
    if (answer == kUpdate) UpdateFromPlan(std::move(tasks), std::move(plans), path);
    else if (answer == kReplace) ImportSchedule(std::move(tasks), std::move(plans), path);
    return answer == kUpdate || answer == kReplace;
}

TaskDB::PlanUpdate TaskDB::UpdateFromPlan(std::vector<Task>&& tasks, std::vector<TaskPlan>&& plans,
                                          const std::string& path) {
    PlanUpdate counts;
    if (plans_.size() != tasks_.size()) plans_.assign(tasks_.size(), TaskPlan());
    plans.resize(tasks.size());
    std::unordered_map<int32_t, size_t> openByUid;
    for (size_t i = 0; i < plans_.size(); ++i)
        if (plans_[i].uid > 0) openByUid.emplace(plans_[i].uid, i);
    std::vector<Task> nextTasks;
    std::vector<TaskPlan> nextPlans;
    nextTasks.reserve(tasks.size() + tasks_.size());
    nextPlans.reserve(tasks.size() + tasks_.size());
    std::vector<bool> taken(tasks_.size(), false);
    int32_t nextId = NextFreeId();
    for (size_t k = 0; k < tasks.size(); ++k) {
        auto found = plans[k].uid > 0 ? openByUid.find(plans[k].uid) : openByUid.end();
        if (found != openByUid.end() && !taken[found->second]) {
            const size_t j = found->second;
            taken[j] = true;
            Task t = tasks_[j];
            t.SetName(tasks[k].Name());
            t.start = tasks[k].start;
            t.finish = tasks[k].finish;
            TaskPlan plan = std::move(plans[k]);
            if (plan.ifcGlobalId.empty()) plan.ifcGlobalId = plans_[j].ifcGlobalId;
            const Task& was = tasks_[j];
            if (t.Name() != was.Name() || !(t.start == was.start) || !(t.finish == was.finish) || !(plan == plans_[j]))
                ++counts.updated;
            nextTasks.push_back(t);
            nextPlans.push_back(std::move(plan));
        } else {
            Task t = tasks[k];
            t.id = nextId;
            if (nextId < INT32_MAX) ++nextId;
            nextTasks.push_back(t);
            nextPlans.push_back(std::move(plans[k]));
            ++counts.added;
        }
    }
    for (size_t j = 0; j < tasks_.size(); ++j) {
        if (taken[j]) continue;
        if (plans_[j].uid > 0) {
            ++counts.removed;
            continue;
        }
        nextTasks.push_back(tasks_[j]);
        nextPlans.push_back(plans_[j]);
    }
    tasks_ = std::move(nextTasks);
    plans_ = std::move(nextPlans);
    idIndexValid_ = false;
    dirty_ = 1;
    RecomputeStates();
    const std::string line = AddonFormat(kTexts, kUpdateReport,
                                         {path, std::to_string(counts.updated), std::to_string(counts.added),
                                          std::to_string(counts.removed)});
    HostReportWrite(line.c_str(), 0);
    return counts;
}
