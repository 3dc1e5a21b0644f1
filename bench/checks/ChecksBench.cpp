// The plan checks on whole models, as a display pass runs them before it shows a date:
// - BM_SupportCheck/90: a three-storey house of 90 elements (walls, slabs, openings, furniture);
// - BM_SupportCheck/1000: a ten-storey frame of 1,000 (footings, 6 x 6 columns, beams both ways
//   and a slab a storey), each storey's columns, beams and slab a task of their own in order,
//   the third storey's slab built a week early so the check has findings to write;
// - BM_DependencyCheck/1000: a chain of 1,000 planned tasks with a lag, one in ten starting early.
// Each measures everything the check does: listing the model, reading every element's links and
// bounds through the host, pairing, and the report lines.
#include "display/ElementHider.h"
#include "host/app/Host.h"
#include "hostcalls/HostInterface.h"
#include "schedule/tasks/AnimationSettings.h"
#include "schedule/tasks/TaskDB.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

struct ChecksWorld {
    std::unique_ptr<Host> host = std::make_unique<Host>();
    AnimationSettings settings;
    ElementHider hider;
    TaskDB db{settings, &hider};

    ChecksWorld() {
        Host::SetCurrent(host.get());
        AddonRegistration& reg = host->AddAddon("Bauvista");
        SetImportedFuncAddrs(host->Table().data());
        SetAddonToken(reg.token);
        host->NewProject();
        hider.LoadResources();
        db.InitTaskDB();
    }
    ~ChecksWorld() { Host::SetCurrent(nullptr); }

    void Add(int32_t kind, double x0, double y0, double z0, double x1, double y1, double z1, int32_t task) {
        Element e;
        e.SetKind(kind);
        e.SetLayer(1);
        e.SetIdText("E-" + std::to_string(host->Model().Elements().size() + 1));
        e.geometry.shape = Geometry::Shape::Box;
        e.geometry.min = {x0, y0, z0};
        e.geometry.max = {x1, y1, z1};
        ElementLinkRecord link;
        link.SetSlot(0, task);
        e.userData["Bauvista"] = UserDataBlock{103, 0x5757, {link.bytes.begin(), link.bytes.end()}};
        host->Model().AddElement(std::move(e));
    }
    // Task `id` lasts five days from `week` weeks after 2 March 2009.
    void AddTask(int32_t id, int week, const TaskPlan& plan = {}) {
        Task t;
        t.id = id;
        t.start = DateTime(2009, 3, 2) + DateTimeSpan(7 * week, 0, 0, 0);
        t.finish = t.start + DateTimeSpan(5, 0, 0, 0);
        t.SetName("T" + std::to_string(id));
        db.AppendLoadedTask(t, plan);
    }
};

void MakeHouse(ChecksWorld& w) {
    // Storey s: walls (task 3s + 1), the slab over them (3s + 2), openings and furniture (3s + 3).
    w.AddTask(100, 0);
    w.Add(8, 0, 0, -0.4, 12, 10, 0, 100);
    w.Add(8, -1, -1, -0.6, 13, 11, -0.4, 100);
    w.Add(10, -10, -10, -2, 25, 25, -0.6, 100);
    for (int s = 0; s < 3; ++s) {
        double z = 3.2 * s;
        for (int k = 1; k <= 3; ++k) w.AddTask(3 * s + k, 3 * s + k);
        for (int i = 0; i < 3; ++i) {
            w.Add(1, 0, 3.0 * i, z, 12, 3.0 * i + 0.3, z + 3, 3 * s + 1);
            w.Add(1, 4.0 * i, 0, z, 4.0 * i + 0.3, 10, z + 3, 3 * s + 1);
        }
        w.Add(1, 0, 9.7, z, 12, 10, z + 3, 3 * s + 1);
        w.Add(1, 11.7, 0, z, 12, 10, z + 3, 3 * s + 1);
        w.Add(8, 0, 0, z + 3, 12, 10, z + 3.2, 3 * s + 2);
        for (int i = 0; i < 10; ++i) w.Add(i % 3 ? 4 : 5, 1.0 * i, 0, z + (i % 3 ? 0.9 : 0), 1.0 * i + 0.8, 0.3, z + 2.2, 3 * s + 3);
        for (int i = 0; i < 10; ++i) w.Add(6, 1.0 * i, 5, z, 1.0 * i + 0.6, 5.6, z + 0.8, 3 * s + 3);
    }
}

void MakeFrame(ChecksWorld& w) {
    // Footings (task 1), then per storey s: columns 3s + 2, beams 3s + 3, slab 3s + 4.
    constexpr int kGrid = 6;
    constexpr double kBay = 6, kHeight = 3.5;
    w.AddTask(1, 0);
    for (int s = 0; s < 10; ++s) {
        w.AddTask(3 * s + 2, 3 * s + 1);
        w.AddTask(3 * s + 3, 3 * s + 2);
        w.AddTask(3 * s + 4, s == 2 ? 3 * s + 1 : 3 * s + 3);
    }
    for (int i = 0; i < kGrid; ++i)
        for (int j = 0; j < 5; ++j) w.Add(6, kBay * i - 0.6, kBay * j - 0.6, -1, kBay * i + 0.6, kBay * j + 0.6, 0, 1);
    for (int s = 0; s < 10; ++s) {
        double z = kHeight * s;
        for (int i = 0; i < kGrid; ++i)
            for (int j = 0; j < kGrid; ++j)
                w.Add(2, kBay * i - 0.2, kBay * j - 0.2, z + (s ? 0.25 : 0), kBay * i + 0.2, kBay * j + 0.2, z + kHeight - 0.5, 3 * s + 2);
        for (int i = 0; i < kGrid; ++i)
            for (int j = 0; j + 1 < kGrid; ++j) {
                w.Add(3, kBay * i - 0.2, kBay * j, z + kHeight - 0.5, kBay * i + 0.2, kBay * (j + 1), z + kHeight, 3 * s + 3);
                w.Add(3, kBay * j, kBay * i - 0.2, z + kHeight - 0.5, kBay * (j + 1), kBay * i + 0.2, z + kHeight, 3 * s + 3);
            }
        // The slab lies on the beams and carries the next storey's columns.
        w.Add(8, -0.2, -0.2, z + kHeight, kBay * (kGrid - 1) + 0.2, kBay * (kGrid - 1) + 0.2, z + kHeight + 0.25, 3 * s + 4);
    }
}

void BM_SupportCheck(benchmark::State& state) {
    ChecksWorld w;
    if (state.range(0) == 90) MakeHouse(w);
    else MakeFrame(w);
    int32_t findings = 0;
    for (auto _ : state) {
        findings = w.db.CheckSupport();
    }
    state.counters["elements"] = static_cast<double>(w.host->Model().Elements().size());
    state.counters["findings"] = findings;
}
BENCHMARK(BM_SupportCheck)->Arg(90)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_DependencyCheck(benchmark::State& state) {
    ChecksWorld w;
    for (int32_t id = 1; id <= state.range(0); ++id) {
        TaskPlan plan;
        plan.uid = id;
        if (id > 1) plan.predecessors.push_back({id - 1, DependencyType::FinishToStart, 4800, 7});
        w.AddTask(id, id % 10 == 0 ? id - 1 : id, plan);
    }
    int32_t findings = 0;
    for (auto _ : state) {
        findings = w.db.CheckDependencies();
    }
    state.counters["findings"] = findings;
}
BENCHMARK(BM_DependencyCheck)->Arg(1000)->Unit(benchmark::kMillisecond);

} // namespace
