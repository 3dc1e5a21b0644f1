#include "schedule/tasks/Baseline.h"

#include <algorithm>
#include <cstdlib>
#include <unordered_map>

namespace {


bool IsValid(const DateTime& d) { return d.status == DateTimeStatus::Valid; }

// Whole days from `from` to `to`, toward zero.
int64_t DaysBetween(const DateTime& from, const DateTime& to) { return (to - from).ticks / kTicksPerDay; }

} // namespace

Baseline MakeBaseline(std::string name, const DateTime& kept, std::span<const Task> tasks) {
    Baseline b;
    b.name = std::move(name);
    b.kept = kept;
    b.tasks.reserve(tasks.size());
    for (const Task& t : tasks) b.tasks.push_back({t.id, t.start, t.finish});
    return b;
}

std::vector<TaskSlip> SlipsAgainst(std::span<const Task> tasks, const Baseline& baseline) {
    std::unordered_map<int32_t, const BaselineTask*> kept;
    kept.reserve(baseline.tasks.size());
    for (const BaselineTask& b : baseline.tasks) kept.emplace(b.id, &b);
    std::unordered_map<int32_t, bool> met;
    std::vector<TaskSlip> slips;
    for (size_t i = 0; i < tasks.size(); ++i) {
        const Task& t = tasks[i];
        auto it = kept.find(t.id);
        if (it == kept.end() || !met.emplace(t.id, true).second) continue;
        const BaselineTask& b = *it->second;
        if (!IsValid(t.start) || !IsValid(t.finish) || !IsValid(b.start) || !IsValid(b.finish)) continue;
        TaskSlip s{i, DaysBetween(b.start, t.start), DaysBetween(b.finish, t.finish)};
        if (s.startDays != 0 || s.finishDays != 0) slips.push_back(s);
    }
    auto worst = [](const TaskSlip& s) { return std::max(std::abs(s.startDays), std::abs(s.finishDays)); };
    std::stable_sort(slips.begin(), slips.end(), [&](const TaskSlip& a, const TaskSlip& b) {
        if (worst(a) != worst(b)) return worst(a) > worst(b);
        return a.finishDays > b.finishDays;
    });
    return slips;
}
