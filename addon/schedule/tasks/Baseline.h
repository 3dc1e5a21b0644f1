#pragma once
// A baseline: the planned dates of every task as they stood when the planner kept them, under a
// name, to measure later plans against.
#include "schedule/tasks/DateTime.h"
#include "schedule/tasks/Task.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

struct BaselineTask {
    int32_t id = 0;
    DateTime start, finish;
    bool operator==(const BaselineTask&) const = default;
};

struct Baseline {
    static constexpr size_t kNameMax = 255; // bytes, 8-bit like task names
    static constexpr size_t kMaxCount = 100;

    std::string name;
    DateTime kept;                    // when it was kept
    std::vector<BaselineTask> tasks;  // in the schedule's order then
    bool operator==(const Baseline&) const = default;
};

// Every task's id and planned dates.
Baseline MakeBaseline(std::string name, const DateTime& kept, std::span<const Task> tasks);

// A task that moved against a baseline: whole days, later positive.
struct TaskSlip {
    size_t index = 0; // in the schedule
    int64_t startDays = 0, finishDays = 0;
    bool operator==(const TaskSlip&) const = default;
};

// The tasks whose start or finish differs from the baseline's, worst first: the larger of the
// two slips in size, then the finish's, then the schedule's order. A task the baseline does not
// hold, or one with a date not valid on either side, is left out; of tasks sharing an id, the
// first of each side meet.
std::vector<TaskSlip> SlipsAgainst(std::span<const Task> tasks, const Baseline& baseline);
