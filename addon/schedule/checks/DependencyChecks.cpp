// The checks of a plan's logic: dependencies a task's dates break, and loops of dependencies.
#include "hostcalls/HostInterface.h"
#include "resources/AddonResources.h"
#include "schedule/tasks/TaskDB.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <unordered_map>
#include <vector>

namespace {

constexpr int64_t kTenthMinutesPerWorkDay = 4800;     // the planners' 8-hour day
constexpr int64_t kTenthMinutesPerDay = 14400;
constexpr int16_t kFirstDependencyText = 11;          // FF, FS, SF, SS in the order of DependencyType
constexpr int16_t kLoopText = 15;

bool IsElapsed(uint8_t lagFormat) {
    // Microsoft Project's elapsed units: minutes, hours, days, weeks, months.
    return lagFormat == 4 || lagFormat == 6 || lagFormat == 8 || lagFormat == 10 || lagFormat == 12;
}
bool IsPercent(uint8_t lagFormat) { return lagFormat == 19 || lagFormat == 20; }

// The lag as whole calendar days, given the benefit of the doubt: the schedule keeps days, not
// hours, and working time stretches over weekends, so a lag is never read as asking more than it
// might and a lead never as allowing less.
int64_t LagDays(const Dependency& d) {
    const double lag = static_cast<double>(d.lag);
    if (IsElapsed(d.lagFormat)) return static_cast<int64_t>(std::floor(lag / kTenthMinutesPerDay));
    double work = lag / kTenthMinutesPerWorkDay;
    if (work >= 0) return static_cast<int64_t>(std::floor(work));
    double lead = std::ceil(-work);
    return -static_cast<int64_t>(lead + 2 * std::ceil(lead / 5));
}

// The lag as the planner wrote it, in days (working or calendar as the plan says).
std::string LagText(const Dependency& d) {
    double days = static_cast<double>(d.lag) / (IsElapsed(d.lagFormat) ? kTenthMinutesPerDay : kTenthMinutesPerWorkDay);
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", days);
    std::string s(text);
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
    std::replace(s.begin(), s.end(), '.', ',');
    return s == "-0" ? "0" : s;
}

// Strongly connected groups of the graph (Tarjan's, without recursion): each group of more than
// one task, or one that depends on itself, is a loop.
std::vector<std::vector<size_t>> Loops(const std::vector<std::vector<size_t>>& next) {
    const size_t n = next.size();
    std::vector<size_t> order(n, SIZE_MAX), low(n, 0), stack;
    std::vector<uint8_t> onStack(n, 0);
    std::vector<std::pair<size_t, size_t>> walk; // node, next edge to follow
    std::vector<std::vector<size_t>> loops;
    size_t counter = 0;
    for (size_t root = 0; root < n; ++root) {
        if (order[root] != SIZE_MAX) continue;
        walk.push_back({root, 0});
        order[root] = low[root] = counter++;
        stack.push_back(root);
        onStack[root] = 1;
        while (!walk.empty()) {
            auto& [v, edge] = walk.back();
            if (edge < next[v].size()) {
                size_t w = next[v][edge++];
                if (order[w] == SIZE_MAX) {
                    order[w] = low[w] = counter++;
                    stack.push_back(w);
                    onStack[w] = 1;
                    walk.push_back({w, 0});
                } else if (onStack[w]) {
                    low[v] = std::min(low[v], order[w]);
                }
                continue;
            }
            size_t done = v;
            walk.pop_back();
            if (!walk.empty()) low[walk.back().first] = std::min(low[walk.back().first], low[done]);
            if (low[done] != order[done]) continue;
            std::vector<size_t> group;
            size_t w;
            do {
                w = stack.back();
                stack.pop_back();
                onStack[w] = 0;
                group.push_back(w);
            } while (w != done);
            bool selfLoop = std::find(next[done].begin(), next[done].end(), done) != next[done].end();
            if (group.size() > 1 || selfLoop) {
                std::sort(group.begin(), group.end());
                loops.push_back(std::move(group));
            }
        }
    }
    std::sort(loops.begin(), loops.end());
    return loops;
}

} // namespace

int32_t TaskDB::CheckDependencies() const {
    if (!HasPlan() || plans_.size() != tasks_.size()) return 0;
    std::unordered_map<int32_t, size_t> byUid;
    for (size_t i = 0; i < plans_.size(); ++i)
        if (plans_[i].uid > 0) byUid.emplace(plans_[i].uid, i);
    // Edges from predecessor to successor.
    std::vector<std::vector<size_t>> next(tasks_.size());
    bool any = false;
    for (size_t i = 0; i < plans_.size(); ++i)
        for (const Dependency& d : plans_[i].predecessors)
            if (auto it = byUid.find(d.predecessorUid); it != byUid.end()) {
                next[it->second].push_back(i);
                any = true;
            }
    if (!any) return 0;

    int32_t count = 0;
    std::vector<std::vector<size_t>> loops = Loops(next);
    std::vector<size_t> loopOf(tasks_.size(), SIZE_MAX);
    for (size_t k = 0; k < loops.size(); ++k) {
        std::string names;
        for (size_t i : loops[k]) {
            loopOf[i] = k;
            if (!names.empty()) names += ", ";
            names += '"';
            names += tasks_[i].Name();
            names += '"';
        }
        HostReportWrite(AddonFormat(32510, kLoopText, {names}).c_str(), 0);
        ++count;
    }

    // A milestone is a moment somewhere in its day: as a predecessor it is taken at the day's
    // start, as a successor at its end, so that neither reading makes a finding of it.
    auto early = [this](size_t i, bool finish) {
        const Task& t = tasks_[i];
        return plans_[i].milestone ? t.start : finish ? t.finish : t.start;
    };
    auto late = [this](size_t i, bool finish) {
        const Task& t = tasks_[i];
        return plans_[i].milestone ? t.finish : finish ? t.finish : t.start;
    };
    for (size_t i = 0; i < plans_.size(); ++i) {
        for (const Dependency& d : plans_[i].predecessors) {
            auto it = byUid.find(d.predecessorUid);
            if (it == byUid.end() || IsPercent(d.lagFormat)) continue;
            size_t p = it->second;
            // Inside a loop the loop is the finding; its tasks cannot all be in order.
            if (loopOf[p] != SIZE_MAX && loopOf[p] == loopOf[i]) continue;
            bool fromFinish = d.type == DependencyType::FinishToFinish || d.type == DependencyType::FinishToStart;
            bool toFinish = d.type == DependencyType::FinishToFinish || d.type == DependencyType::StartToFinish;
            DateTime from = early(p, fromFinish), to = late(i, toFinish);
            if (from.status != DateTimeStatus::Valid || to.status != DateTimeStatus::Valid) continue;
            DateTime allowed = from + DateTimeSpan::FromTicks(LagDays(d) * kTicksPerDay);
            if (allowed.status != DateTimeStatus::Valid || !(to < allowed)) continue;
            auto text = static_cast<int16_t>(kFirstDependencyText + static_cast<int16_t>(d.type));
            HostReportWrite(AddonFormat(32510, text, {tasks_[i].Name(), tasks_[p].Name(), LagText(d)}).c_str(), 0);
            ++count;
        }
    }
    return count;
}
