#include "schedule/tasks/SCurve.h"

#include "schedule/tasks/ActualProgress.h"
#include "schedule/tasks/TaskDB.h"

#include <algorithm>

namespace {

// A schedule longer than this many days is drawn to its first ones only.
constexpr int64_t kMaxDays = 100'000;

} // namespace

SCurve ComputeSCurve(const TaskDB& db, std::span<const double> weights) {
    SCurve out;
    out.status = db.DataDate();
    struct Work {
        size_t index;
        double weight;
    };
    std::vector<Work> work;
    const std::vector<Task>& tasks = db.Tasks();
    for (size_t i = 0; i < tasks.size(); ++i)
        if (tasks[i].IsValid() && !db.IsMarkerAt(i)) work.push_back({i, i < weights.size() && weights[i] > 0 ? weights[i] : 0.0});
    for (const Work& w : work) out.total += w.weight;
    if (out.total <= 0) {
        for (Work& w : work) w.weight = 1;
        out.total = static_cast<double>(work.size());
    }
    // Work that weighs nothing takes no part, nor stretches the days.
    std::erase_if(work, [](const Work& w) { return w.weight <= 0; });
    if (work.empty()) return out;
    DateTime first = tasks[work[0].index].start, last = tasks[work[0].index].finish;
    for (const Work& w : work) {
        first = std::min(first, tasks[w.index].start);
        last = std::max(last, std::max(tasks[w.index].finish, tasks[w.index].start));
    }
    first = first.StartOfDay();
    const int64_t days = std::clamp<int64_t>((last - first).ticks / kTicksPerDay + ((last - first).ticks % kTicksPerDay != 0), 1, kMaxDays);
    out.points.reserve(static_cast<size_t>(days));
    for (int64_t d = 0; d < days; ++d) {
        SCurvePoint p;
        p.day = DateTime::FromTicks(first.ticks + d * kTicksPerDay);
        const DateTime end = DateTime::FromTicks(p.day.ticks + kTicksPerDay);
        double planned = 0, actual = 0;
        const bool known = (end - out.status).ticks <= 0;
        for (const Work& w : work) {
            const Task& t = tasks[w.index];
            planned += w.weight * PlannedShareAt(t, end);
            if (known) actual += w.weight * ActualShareAt(t, db.PlanAt(w.index), out.status, end);
        }
        p.planned = 100.0 * planned / out.total;
        if (known) p.actual = 100.0 * actual / out.total;
        out.points.push_back(p);
    }
    return out;
}
