#pragma once
// The schedule the benchmarks work on: tasks of every type with Hungarian names, spread over two
// years, the same every run.
#include "basekit/BKText.h"
#include "schedule/tasks/TaskDB.h"

#include <random>
#include <string>

inline void FillBenchSchedule(TaskDB& db, size_t count) {
    std::mt19937 rng(1);
    const char* words[] = {"Falazás", "Zsaluzás", "Betonozás", "Bontás", "Ablak beépítés", "Tetőfedés"};
    for (size_t i = 0; i < count; ++i) {
        Task t;
        t.id = static_cast<int32_t>(i + 1);
        t.type = static_cast<ConstructionType>(rng() % 5);
        t.start = DateTime(2009, 1, 1) + DateTimeSpan(static_cast<int32_t>(rng() % 700), 0, 0, 0);
        t.finish = t.start + DateTimeSpan(static_cast<int32_t>(1 + rng() % 30), 0, 0, 0);
        t.SetName(BKFromUtf8(std::string(words[rng() % 6]) + " " + std::to_string(rng() % 1000)));
        db.AppendLoadedTask(t);
    }
}
