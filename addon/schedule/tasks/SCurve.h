#pragma once
// Planned against actual progress of the whole schedule over time: for each day, the share of the
// work the plan has done by its end and the share done by what happened, known up to the status
// date. Each task weighs what its elements weigh (how many, or a quantity of theirs).
#include "schedule/tasks/DateTime.h"

#include <optional>
#include <span>
#include <vector>

class TaskDB;

struct SCurvePoint {
    DateTime day;                  // midnight at its start
    double planned = 0;            // percent of the whole, at the day's end
    std::optional<double> actual;  // none for a day after the status date
};

struct SCurve {
    std::vector<SCurvePoint> points; // one a day from the first work's start to the last's finish
    DateTime status;                 // the status date the actual values stop at
    double total = 0;                // the whole: the sum of the work's weights
};

// `weights` by task index (missing ones weigh nothing). Summary rows, milestones and tasks that
// are not valid are no work; the days run over the work that weighs something. When no work
// weighs anything, each task weighs the same.
SCurve ComputeSCurve(const TaskDB& db, std::span<const double> weights);
