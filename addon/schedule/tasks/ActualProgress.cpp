#include "schedule/tasks/ActualProgress.h"

#include <algorithm>

namespace {

// Later than any planner's date: a task that has not begun, or one not yet finished.
const DateTime kNever = DateTime::FromTicks(TaskPlan::kLastMomentTicks);

// `a` lies a whole second or more after `b`: the state rule's "begun".
bool BegunBy(const DateTime& at, const DateTime& start) { return (at - start).TotalSeconds() > 0; }
bool FinishedBy(const DateTime& at, const DateTime& finish) { return (at - finish).ticks >= 0; }

double Share(const DateTimeSpan& part, const DateTimeSpan& whole) {
    if (whole.ticks <= 0) return 1.0;
    return std::clamp(static_cast<double>(part.ticks) / static_cast<double>(whole.ticks), 0.0, 1.0);
}

// How far a task begun at `start` and not finished came by `at`: its percent at the status date,
// in proportion before it; without a percent, the share of its planned length that passed.
double UnderWayShare(const Task& planned, const TaskPlan& plan, const DateTime& start, const DateTime& status,
                     const DateTime& at) {
    const DateTime& seen = (at - status).ticks < 0 ? at : status;
    if (plan.percentComplete <= 100) {
        const double sinceStart = BegunBy(status, start) ? Share(seen - start, status - start) : 1.0;
        return plan.percentComplete / 100.0 * sinceStart;
    }
    return Share(seen - start, planned.finish - planned.start);
}

} // namespace

double PlannedShareAt(const Task& planned, const DateTime& at) {
    if (!planned.IsValid() || !BegunBy(at, planned.start)) return 0.0;
    if (FinishedBy(at, planned.finish)) return 1.0;
    return Share(at - planned.start, planned.finish - planned.start);
}

double ActualShareAt(const Task& planned, const TaskPlan* plan, const DateTime& status, const DateTime& at) {
    const bool started = plan && IsKnownMoment(plan->actualStart);
    const bool finished = plan && IsKnownMoment(plan->actualFinish);
    if (!started && !finished) return 0.0;
    const DateTime& start = started ? plan->actualStart : plan->actualFinish;
    if (finished && FinishedBy(at, plan->actualFinish)) return 1.0;
    if (!BegunBy(at, start)) return 0.0;
    if (finished) return Share(at - start, plan->actualFinish - start);
    return UnderWayShare(planned, *plan, start, status, at);
}

ActualTask ActualTaskAt(const Task& planned, const TaskPlan* plan, const DateTime& status, const DateTime& at) {
    ActualTask out{planned, std::nullopt};
    Task& t = out.task;
    const bool started = plan && IsKnownMoment(plan->actualStart);
    const bool finished = plan && IsKnownMoment(plan->actualFinish);
    if (!started && !finished) {
        t.start = t.finish = kNever;
        t.ComputeState(at);
        t.percentComplete = 0;
        return out;
    }
    t.start = started ? plan->actualStart : plan->actualFinish;
    t.finish = finished ? std::max(plan->actualFinish, t.start) : kNever;
    t.ComputeState(at);
    if (finished || !BegunBy(at, t.start)) return out;
    // Under way: how far it came by `at`, no further than the status date tells.
    const double p = UnderWayShare(planned, *plan, t.start, status, at);
    out.progress = p;
    t.percentComplete = static_cast<int32_t>(p * 100.0);
    return out;
}

PlanStanding StandingAt(const Task& planned, const TaskPlan* plan, const DateTime& status, const DateTime& at) {
    if (!planned.IsValid()) return PlanStanding::OnPlan;
    const DateTime& known = (at - status).ticks < 0 ? at : status;
    const bool hasStart = plan && IsKnownMoment(plan->actualStart), hasFinish = plan && IsKnownMoment(plan->actualFinish);
    auto actualFinishedBy = [&](const DateTime& x) { return hasFinish && FinishedBy(x, plan->actualFinish); };
    auto actualBegunBy = [&](const DateTime& x) {
        return (hasStart && BegunBy(x, plan->actualStart)) || actualFinishedBy(x);
    };
    const bool late = (BegunBy(known, planned.start) && !actualBegunBy(known)) ||
                      (FinishedBy(known, planned.finish) && !actualFinishedBy(known));
    if (late) return PlanStanding::Late;
    const bool early = (actualBegunBy(known) && !BegunBy(at, planned.start)) ||
                       (actualFinishedBy(known) && !FinishedBy(at, planned.finish));
    return early ? PlanStanding::Early : PlanStanding::OnPlan;
}
