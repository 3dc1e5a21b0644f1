#pragma once
// Ordering of tasks by one palette column, with the task id breaking ties.
#include "schedule/tasks/Task.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class TaskLess {
public:
    enum Key : int32_t { ByName = 0, ByType = 1, ByPercent = 2, ByStart = 3, ByFinish = 4 };
    using TypeNames = std::array<std::string, 5>;
    static constexpr int16_t kFirstColumnItem = 17; // "Tevékenységek" header of the palette

    TaskLess(bool descending, int32_t key, const TypeNames* typeNames = nullptr);
    // From a palette column header item (17-21); other items sort by id alone after a diagnostic.
    static TaskLess FromColumn(bool descending, int16_t columnItem, const TypeNames* typeNames);

    bool operator()(const Task& left, const Task& right) const;

    bool Descending() const { return descending_ != 0; }
    int32_t GetKey() const { return key_; }

private:
    int Compare(const Task& left, const Task& right) const;
    bool Ascending(const Task& left, const Task& right) const;

    uint32_t descending_;
    int32_t key_;
    const TypeNames* typeNames_;
};

// Sorts in place. A merge sort, because the date keys compare values of equal ticks and another
// status as neither before the other, which is not a strict weak order.
void SortTasks(std::vector<Task>& tasks, const TaskLess& less);

// The developer diagnostic of an unknown sort key goes here (stderr unless replaced).
void SetTaskLessDiagnostic(void (*sink)(const char*));
