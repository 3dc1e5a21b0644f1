// Display passes over 100,000 linked elements with a schedule of 200 and of 20,000 tasks (the
// argument), each beside its floor (see DisplayWorld.h for what each floor includes):
// - BM_Floor: list every element, read its link record and its 104-byte header. The
//   nothing-changed pass does this and, per element, its cache check.
// - BM_ChangeFloor: the read floor plus, per element, the whole 2760-byte record read, the link
//   record written and one masked element change. The every-element pass does this and decides
//   the element's look, saves its own values and paints or restores them.
// The ratios to read: BM_PassNothingChanged / BM_Floor and BM_PassEveryElementChanges /
// BM_Floor (and / BM_ChangeFloor), at the same task count.
#include "DisplayWorld.h"

#include <map>

namespace {

constexpr size_t kElements = 100000;

DisplayWorld& TheWorld(int tasks) {
    static std::map<int, std::unique_ptr<DisplayWorld>> worlds;
    auto& w = worlds[tasks];
    if (!w) w = std::make_unique<DisplayWorld>(kElements, tasks);
    w->MakeCurrent();
    return *w;
}

int Tasks(const benchmark::State& state) { return static_cast<int>(state.range(0)); }

void PerElement(benchmark::State& state) {
    state.counters["per_element"] = benchmark::Counter(static_cast<double>(state.iterations() * kElements),
                                                       benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_Floor(benchmark::State& state) {
    DisplayWorld& w = TheWorld(Tasks(state));
    for (auto _ : state) benchmark::DoNotOptimize(w.ReadFloor());
    PerElement(state);
}

void BM_PassNothingChanged(benchmark::State& state) {
    DisplayWorld& w = TheWorld(Tasks(state));
    w.Pass(DateTime(2009, 3, 10));
    for (auto _ : state) w.Pass(DateTime(2009, 3, 10));
    PerElement(state);
}

void BM_ChangeFloor(benchmark::State& state) {
    DisplayWorld& w = TheWorld(Tasks(state));
    for (auto _ : state) benchmark::DoNotOptimize(w.ChangeFloor());
    PerElement(state);
}

void BM_PassEveryElementChanges(benchmark::State& state) {
    DisplayWorld& w = TheWorld(Tasks(state));
    bool underWork = false;
    for (auto _ : state) {
        // Alternate between every element under work and every element in its final state.
        underWork = !underWork;
        w.Pass(underWork ? DateTime(2009, 3, 10) : DateTime(2009, 4, 10));
    }
    PerElement(state);
}

// Per task count: floor, nothing changed, change floor, every element changing (an even number
// of change-floor runs leaves the model as it was).
void Register() {
    for (int tasks : {200, 20000}) {
        benchmark::RegisterBenchmark("BM_Floor", BM_Floor)->Arg(tasks)->Unit(benchmark::kMillisecond)->Iterations(6);
        benchmark::RegisterBenchmark("BM_PassNothingChanged", BM_PassNothingChanged)->Arg(tasks)->Unit(benchmark::kMillisecond)->Iterations(6);
        benchmark::RegisterBenchmark("BM_ChangeFloor", BM_ChangeFloor)->Arg(tasks)->Unit(benchmark::kMillisecond)->Iterations(4);
        benchmark::RegisterBenchmark("BM_PassEveryElementChanges", BM_PassEveryElementChanges)->Arg(tasks)->Unit(benchmark::kMillisecond)->Iterations(6);
    }
}
[[maybe_unused]] const bool kRegistered = (Register(), true);

} // namespace
