// Scrubbing through the schedule as a planner drags the current-date line: each step moves the
// schedule's current date by a day, runs the add-on's display pass at that date and has the host
// draw its 3D window at 1280 x 720 from the view the model opened with. The dates run forwards
// over the whole schedule and back, so the building grows and comes down again and every step
// is a different picture. Every displayable element is linked to one of the schedule's tasks
// (StaggeredSchedule.h).
//
//   BM_Scrub/0           the example house (examples/house), 12 tasks
//   BM_Scrub/1           10,000 generated walls in 5 storeys (IfcWallsGenerator.h), 40 tasks
//   BM_Scrub/2           copies of the duplex (tests/data/ifc/duplex.ifc, Revit geometry) side
//                        by side until at least 10,000 elements stand (IfcCopiesGenerator.h), 40
//                        tasks
//   BM_Scrub/3, /4       the duplex and MULTICOM-Prefab IFC models as they are, 12 tasks
//   BM_ScrubStanding/N   the same models with nearly all of the building standing: the dates go
//                        back and forth over the last task's week, the heaviest pictures
//   BM_ScrubLooks/N      the same models with appearance profiles: work to come a grey ghost (85 %
//                        transparent), work under way green and growing bottom up, temporary
//                        work fading (targets: at least 100 on the example house, at least 10 on
//                        10,000 elements); BV_NO_GHOST=1 or BV_NO_GROW=1 in the environment leave
//                        the ghost or the growth out, to tell their costs apart
// Counters: `steps_per_s` (targets: at least 25 on the example house, at least 10 on 10,000
// elements), `pass_ms` and `picture_ms` (the step's two parts, means), `first_picture_ms` (the
// window's picture before the first step, untimed as a step), `elements`, `triangles` (of the
// whole model, every element shown).
// Times are wall-clock; the CPU column is the whole process's, every thread's.
#include "AddonStage.h"
#include "BenchLooks.h"
#include "IfcWallsGenerator.h"
#include "StaggeredSchedule.h"
#include "ifc/IfcCopiesGenerator.h"

#include "basekit/BKMemory.h"
#include "display/ElementHider.h"
#include "host/app/Host.h"
#include "host/render/Scene.h"
#include "hostapi/HostSelectors.h"
#include "hostcalls/HostInterface.h"
#include "schedule/tasks/AnimationSettings.h"
#include "schedule/tasks/TaskDB.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr size_t kManyElements = 10000;

enum Model { kHouse, kWalls, kDuplexCopies, kDuplex, kMulticom, kModels };

struct Stage : AddonStage {
    bool opened = false;
    bool looks = false;
    int tasks = 12;
    int day = 0, direction = 1;
    size_t triangles = 0;

    // An IFC text written to a file of its own for the host to open, removed again.
    bool OpenText(const std::string& text) {
        auto path = fs::temp_directory_path() / ("bv-bench-scrub-" + std::to_string(getpid()) + ".ifc");
        std::ofstream(path, std::ios::binary) << text;
        std::string error;
        bool ok = host->OpenProject(path.string(), error);
        fs::remove(path);
        return ok;
    }

    void Open(Model which) {
        const std::string data = std::string(BV_SOURCE_DIR) + "/tests/data/ifc/";
        std::string error;
        switch (which) {
        case kHouse: opened = host->OpenProject(std::string(BV_SOURCE_DIR) + "/examples/house/house.qvp", error); break;
        case kWalls:
            tasks = 40;
            opened = OpenText(GenerateIfcWalls({static_cast<int>(kManyElements), 5}));
            break;
        case kDuplexCopies: {
            tasks = 40;
            // The copies the original's elements need to reach the count, in a square grid.
            if (!host->OpenProject(data + "duplex.ifc", error)) return;
            size_t each = std::max<size_t>(1, Displayable(host->Model()));
            int copies = static_cast<int>((kManyElements + each - 1) / each);
            opened = OpenText(GenerateIfcCopies(ReadAll(data + "duplex.ifc"), {copies, 60}));
            break;
        }
        case kDuplex: opened = host->OpenProject(data + "duplex.ifc", error); break;
        case kMulticom: opened = host->OpenProject(data + "MULTICOM-Prefab.ifc", error); break;
        case kModels: break;
        }
        if (!opened) return;
        host->Model().windows.view3D.Set(1280, 720, {1, 1, 1});
        triangles = BuildScene(host->Model()).triangles.size();
        hider.LoadResources();
        db.InitTaskDB();
        LinkStaggeredSchedule(db, host->Model(), tasks);
        if (looks) UseBenchLooks(hider);
        hider.Prepare(db);
    }

    // The schedule's first and last day: task i runs from day 7i for five days.
    int LastDay() const { return 7 * (tasks - 1) + 6; }

    void Pass() {
        db.SetCurrentDate(DateTime(2009, 3, 1) + DateTimeSpan(day, 0, 0, 0), true);
        hider.BeginPass();
        hider.ShowAtCurrentDate(db, 1);
        hider.EndPass();
    }

    void Picture() {
        uint8_t options[2] = {1, 0};
        uint32_t picture = 0;
        HostGraphics(kHostSelWindowCapture, &picture, options);
        benchmark::DoNotOptimize(picture);
        BKDisposeHandle(picture);
    }

    // The next date between `from` and `to`, turning at either end.
    void NextDay(int from, int to) {
        if (day + direction > to || day + direction < from) direction = -direction;
        day = std::clamp(day + direction, from, to);
    }
};

// Made once for each model, as the benchmark library calls a benchmark more than once, and left
// to the end of the process: their teardown would run after the kits' own statics are gone.
Stage& TheStage(int64_t which, bool looks = false) {
    static Stage* stages[2][kModels] = {};
    Stage*& s = stages[looks ? 1 : 0][which];
    if (!s) {
        s = new Stage;
        s->looks = looks;
        s->Open(static_cast<Model>(which));
    }
    Host::SetCurrent(s->host.get());
    SetImportedFuncAddrs(s->host->Table().data());
    SetAddonToken(s->host->Addons().front()->token);
    return *s;
}

void Scrub(benchmark::State& state, bool standing, bool looks = false) {
    Stage& s = TheStage(state.range(0), looks);
    if (!s.opened) {
        state.SkipWithError("the model did not open");
        return;
    }
    const int from = standing ? 7 * (s.tasks - 1) : -1, to = standing ? s.LastDay() : s.LastDay() + 1;
    s.day = from;
    s.direction = 1;
    s.Pass();
    // The window shows the model before the planner drags: its first picture is not a step.
    auto w0 = Clock::now();
    s.Picture();
    const double first = std::chrono::duration<double, std::milli>(Clock::now() - w0).count();
    double pass = 0, picture = 0;
    for (auto _ : state) {
        s.NextDay(from, to);
        auto t0 = Clock::now();
        s.Pass();
        auto t1 = Clock::now();
        s.Picture();
        auto t2 = Clock::now();
        pass += std::chrono::duration<double, std::milli>(t1 - t0).count();
        picture += std::chrono::duration<double, std::milli>(t2 - t1).count();
    }
    const auto n = static_cast<double>(state.iterations());
    state.counters["steps_per_s"] = benchmark::Counter(n, benchmark::Counter::kIsRate);
    state.counters["pass_ms"] = pass / n;
    state.counters["picture_ms"] = picture / n;
    state.counters["first_picture_ms"] = first;
    state.counters["elements"] = static_cast<double>(Displayable(s.host->Model()));
    state.counters["triangles"] = static_cast<double>(s.triangles);
}

void BM_Scrub(benchmark::State& state) { Scrub(state, false); }
void BM_ScrubStanding(benchmark::State& state) { Scrub(state, true); }
void BM_ScrubLooks(benchmark::State& state) { Scrub(state, false, true); }

} // namespace

BENCHMARK(BM_Scrub)->DenseRange(0, kModels - 1)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK(BM_ScrubStanding)->DenseRange(0, kModels - 1)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK(BM_ScrubLooks)->DenseRange(0, kModels - 1)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
