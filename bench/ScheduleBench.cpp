// RecomputeStates and a palette sort over a 100,000-task schedule.
#include "BenchSchedule.h"
#include "basekit/BKText.h"
#include "schedule/tasks/AnimationSettings.h"
#include "schedule/tasks/TaskDB.h"
#include "schedule/tasks/TaskLess.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>

namespace {

void Fill(TaskDB& db, size_t count) { FillBenchSchedule(db, count); }

void BM_RecomputeStates(benchmark::State& state) {
    AnimationSettings settings;
    TaskDB db(settings, nullptr);
    db.InitTaskDB();
    Fill(db, static_cast<size_t>(state.range(0)));
    DateTime at(2009, 6, 1);
    for (auto _ : state) {
        db.SetCurrentDate(at, true);
        benchmark::DoNotOptimize(db.Tasks().data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_RecomputeStates)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_SortTasks(benchmark::State& state) {
    AnimationSettings settings;
    TaskDB db(settings, nullptr);
    db.InitTaskDB();
    Fill(db, 100000);
    db.SetCurrentDate(DateTime(2009, 6, 1), true);
    TaskLess::TypeNames names = {BKFromUtf8("Építés"), BKFromUtf8("Bontás"), BKFromUtf8("Felújítás"),
                                 BKFromUtf8("Rögzített"), BKFromUtf8("Ideiglenes")};
    auto original = db.Tasks();
    for (auto _ : state) {
        state.PauseTiming();
        db.Tasks() = original;
        state.ResumeTiming();
        SortTasks(db.Tasks(), TaskLess(false, static_cast<int32_t>(state.range(0)), &names));
    }
}
BENCHMARK(BM_SortTasks)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

} // namespace
