// Planned against actual on linked elements (DisplayWorld.h), each task a week long and begun a
// day after the one before (over 40 days; over 500 for the S-curve's schedule), every other task
// begun two days late and the others two days early, the status date 10 April. The display pass
// alone is timed, without the window's picture, so the ratios are the strictest:
//   BM_ScrubStep/V     10,000 elements, 40 tasks: each step moves the current date a day (forwards
//                      to the end and back) and runs the display pass in view V (0 planned,
//                      1 actual, 2 compare). Target: /1 and /2 within 1.2 times /0.
//   BM_ScrubStepSecond/V  the same with the second 3D window open: each pass also gives every
//                      linked element the other view's state there. Reported, no target.
//   BM_ViewSwitch      the same model at one date: each step chooses the next view and runs the
//                      pass. Target: within 1.2 times BM_ScrubStep/0.
//   BM_SCurve          2,000 tasks over 507 days and 100,000 elements: the tasks' weights by
//                      their linked elements and the curve a day. Target: under 200 ms.
#include "DisplayWorld.h"

#include "linking/HostElementFacts.h"
#include "linking/TaskWeights.h"
#include "schedule/tasks/SCurve.h"

#include <map>

namespace {

constexpr int64_t kDay = 86400 * kTicksPerSecond;

DisplayWorld& TheWorld(size_t elements, int tasks) {
    static std::map<std::pair<size_t, int>, std::unique_ptr<DisplayWorld>> worlds;
    auto& w = worlds[{elements, tasks}];
    if (!w) {
        w = std::make_unique<DisplayWorld>(elements, tasks);
        for (size_t i = 0; i < w->db.TaskCount(); ++i) {
            Task& t = w->db.Tasks()[i];
            // Forty tasks start a day apart; a large schedule spreads over a year and a half.
            const int64_t spread = tasks > 40 ? 500 : 40;
            t.start = DateTime::FromTicks(DateTime(2009, 3, 1).ticks + static_cast<int64_t>(i) % spread * kDay);
            t.finish = DateTime::FromTicks(t.start.ticks + 7 * kDay);
            const int64_t shift = (i % 2 ? -2 : 2) * kDay;
            w->db.SetProgress(i, DateTime::FromTicks(t.start.ticks + shift), DateTime::FromTicks(t.finish.ticks + shift), 100);
        }
        w->db.SetStatusDate(DateTime(2009, 4, 10));
    }
    w->MakeCurrent();
    return *w;
}

// The dates a scrub walks: forwards over the schedule, then back.
DateTime StepDate(int64_t step) {
    const int64_t days = 50, at = step % (2 * days);
    return DateTime::FromTicks(DateTime(2009, 2, 25).ticks + (at < days ? at : 2 * days - 1 - at) * kDay);
}

void BM_ScrubStep(benchmark::State& state) {
    DisplayWorld& w = TheWorld(10000, 40);
    w.db.SetView(static_cast<ScheduleView>(state.range(0)));
    int64_t step = 0;
    w.Pass(StepDate(step++));
    for (auto _ : state) w.Pass(StepDate(step++));
    w.db.SetView(ScheduleView::Planned);
}

void BM_ScrubStepSecond(benchmark::State& state) {
    DisplayWorld& w = TheWorld(10000, 40);
    w.host->SetSecondViewOpen(true);
    w.db.SetView(static_cast<ScheduleView>(state.range(0)));
    int64_t step = 0;
    w.Pass(StepDate(step++));
    for (auto _ : state) w.Pass(StepDate(step++));
    w.db.SetView(ScheduleView::Planned);
    w.host->SetSecondViewOpen(false);
}

void BM_ViewSwitch(benchmark::State& state) {
    DisplayWorld& w = TheWorld(10000, 40);
    uint8_t view = 0;
    w.Pass(DateTime(2009, 3, 20));
    for (auto _ : state) {
        view = static_cast<uint8_t>((view + 1) % kScheduleViewCount);
        w.db.SetView(static_cast<ScheduleView>(view));
        w.Pass(DateTime(2009, 3, 20));
    }
    w.db.SetView(ScheduleView::Planned);
}

void BM_SCurve(benchmark::State& state) {
    DisplayWorld& w = TheWorld(100000, 2000);
    HostElementFacts facts(w.hider);
    size_t points = 0;
    for (auto _ : state) {
        const SCurve curve = ComputeSCurve(w.db, TaskWeights(w.db, facts, ""));
        points = curve.points.size();
        benchmark::DoNotOptimize(curve.points.data());
    }
    state.counters["days"] = static_cast<double>(points);
}

BENCHMARK(BM_ScrubStep)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->Iterations(100);
BENCHMARK(BM_ScrubStepSecond)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->Iterations(100);
BENCHMARK(BM_ViewSwitch)->Unit(benchmark::kMillisecond)->Iterations(60);
BENCHMARK(BM_SCurve)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
