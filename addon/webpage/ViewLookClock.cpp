#include "webpage/ViewLookClock.h"

#include "schedule/tasks/ActualProgress.h"
#include "schedule/tasks/ElementShownAt.h"
#include "schedule/tasks/TaskDB.h"
#include "webpage/MinuteClock.h"

#include <algorithm>
#include <array>
#include <optional>

namespace {

constexpr size_t kMostLinks = 10;
constexpr int64_t kHour = 60;

} // namespace

ViewLookClock::ViewLookClock(const TaskDB& db, const ProfileSet& profiles, ScheduleView view)
    : db_(db), profiles_(profiles), view_(view), status_(db.DataDate()) {}

PageLook ViewLookClock::LookAt(const ElementTasks& tasks, int64_t minute) const {
    const DateTime at = DateTimeOfMinute(minute);
    std::array<std::optional<Task>, kMostLinks> viewTasks;
    std::array<std::optional<double>, kMostLinks> progress;
    std::array<std::optional<PlanStanding>, kMostLinks> standing;
    std::array<const Task*, kMostLinks> states{};
    const size_t n = std::min(tasks.indexes.size(), kMostLinks);
    for (size_t k = 0; k < n; ++k) {
        const size_t i = tasks.indexes[k];
        const Task& planned = db_.Tasks()[i];
        if (view_ == ScheduleView::Actual) {
            ActualTask a = ActualTaskAt(planned, db_.PlanAt(i), status_, at);
            viewTasks[k].emplace(a.task);
            progress[k] = a.progress;
        } else {
            viewTasks[k].emplace(planned);
            viewTasks[k]->ComputeState(at);
            if (view_ == ScheduleView::Compare) standing[k] = StandingAt(planned, db_.PlanAt(i), status_, at);
        }
        states[k] = &*viewTasks[k];
    }
    const Task* governing = GoverningTask(std::span<const Task* const>(states.data(), n), at);
    if (!governing) return {};
    const size_t k = static_cast<size_t>(std::find(states.begin(), states.begin() + n, governing) - states.begin());
    ElementLook look = LookInView(profiles_.ProfileFor(*governing), *governing, at, progress[k], standing[k]);
    if (look.stagger && look.grow != GrowDirection::None)
        for (const ElementTasks::Turn& turn : tasks.turns)
            if (turn.taskId == governing->id) look.drawn = StaggeredDrawn(look.drawn, turn.count, turn.place);
    PageLook out{look, ConstructionType::Construction};
    // Only the type's look wears the type; a type outside the five is painted as a construction.
    if (look.kind == PhaseLook::Kind::TypeLook && IsKnownConstructionType(governing->type)) out.type = governing->type;
    return out;
}

void ViewLookClock::AddBreakMinutes(const ElementTasks& tasks, std::vector<int64_t>& minutes) const {
    auto around = [&minutes](const DateTime& moment) {
        if (!IsKnownMoment(moment)) return;
        const int64_t m = MinuteOf(moment);
        for (int64_t d : {-kHour - 1, -kHour, -kHour + 1, int64_t{-1}, int64_t{0}, int64_t{1}, int64_t{2}, kHour - 1,
                          kHour, kHour + 1})
            minutes.push_back(m + d);
    };
    if (view_ != ScheduleView::Planned) around(status_);
    for (size_t k = 0; k < tasks.indexes.size() && k < kMostLinks; ++k) {
        const size_t i = tasks.indexes[k];
        const Task& t = db_.Tasks()[i];
        around(t.start);
        around(t.finish);
        if (const TaskPlan* plan = db_.PlanAt(i)) {
            around(plan->actualStart);
            around(plan->actualFinish);
        }
        // Where a staggered element's turn begins and ends along its task's planned length.
        for (const ElementTasks::Turn& turn : tasks.turns) {
            if (turn.taskId != t.id || turn.count == 0 || !IsKnownMoment(t.start) || !IsKnownMoment(t.finish)) continue;
            const int64_t from = MinuteOf(t.start), length = MinuteOf(t.finish) - from;
            for (size_t edge : {turn.place, turn.place + 1}) {
                const int64_t m = from + length * static_cast<int64_t>(edge) / static_cast<int64_t>(turn.count);
                for (int64_t d = -1; d <= 2; ++d) minutes.push_back(m + d);
            }
        }
    }
}
