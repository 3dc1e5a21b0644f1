#pragma once
// What happened to a task, as of the schedule's status date: the task as the actual view shows
// it, and where it stands against its plan.
#include "schedule/tasks/DateTime.h"
#include "schedule/tasks/Task.h"
#include "schedule/tasks/TaskPlan.h"

#include <optional>

struct ActualTask {
    Task task;                       // actual dates, its state computed for the moment asked
    std::optional<double> progress;  // 0-1 where the dates alone do not tell how far it came
};

// The task by its actual dates at `at`: not begun without an actual start (it has not happened);
// from its actual start to its actual finish; with a start and no finish, under way from its start
// on, coming to its percent complete at the status date and standing there after it (without a
// percent, the share of its planned length that passed by the status date).
ActualTask ActualTaskAt(const Task& planned, const TaskPlan* plan, const DateTime& status, const DateTime& at);

// The share of the task done at `at`, 0-1, by its planned dates: none before its start, all from
// its finish, in proportion between. A task that is not valid has none.
double PlannedShareAt(const Task& planned, const DateTime& at);
// The same by what happened, as ActualTaskAt counts it.
double ActualShareAt(const Task& planned, const TaskPlan* plan, const DateTime& status, const DateTime& at);

enum class PlanStanding : uint8_t { OnPlan, Early, Late };

// Ahead of plan at `at`: begun or finished by then while the plan has it not yet so. Behind: by
// the earlier of `at` and the status date the plan has it begun or finished and what happened has
// not. Work the plan puts after the status date without actual dates has not happened yet and is
// on plan. Late wins where odd data make both hold.
PlanStanding StandingAt(const Task& planned, const TaskPlan* plan, const DateTime& status, const DateTime& at);

// A moment that is known (what a plan without it holds is Null).
inline bool IsKnownMoment(const DateTime& d) { return d.status == DateTimeStatus::Valid; }
