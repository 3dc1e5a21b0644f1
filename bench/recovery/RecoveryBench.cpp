// The recovery copy of a 10,000-element project (each element a box mesh with a link record, a
// 200-task schedule with unsaved changes): how long the window's thread is held, and the whole
// write. The window's part is the add-on's schedule copy and the model's snapshot; the project's
// text, its write and sync and the manifest follow on the copy's own thread.
//
// - BM_AutosaveWindowPart/10000/1: ProjectRecovery::WriteNow without waiting, timed on the
//   calling thread; the counter `max_ms` is the longest single hold (target: at most 50 ms).
//   /10000/0: the same without a schedule to copy (the model's part alone).
// - BM_SnapshotOnly: HostModel::SnapshotForSaving alone.
// - BM_AutosaveWhole: WriteNow and the write on its thread, to the manifest.
#include "DisplayWorld.h"

#include "basekit/OwnedHandle.h"
#include "filekit/FKLocation.h"
#include "host/app/ProjectRecovery.h"
#include "hostapi/HostEnvironmentRecords.h"
#include "hostapi/HostSelectors.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <unistd.h>

namespace {

constexpr int kTasks = 200;
DisplayWorld* gWorld = nullptr;

// The add-on's part of the write, as its project event handler does it.
GSErr WriteSchedule(uint32_t, int32_t) {
    std::array<uint8_t, HostRecoveryRecord::kSize> rec{};
    HostEnvironmentGet(kHostSelRecovery, rec.data(), nullptr);
    OwnedHandle path(LE::Get<uint32_t>(rec, HostRecoveryRecord::kPathHandle));
    std::string path8;
    if (path && FKLocation::FromNativePath(std::string(reinterpret_cast<const char*>(path.Data()), path.Size())).GetPath8(path8))
        gWorld->db.SaveProjectFile(path8, false);
    return 0;
}

struct World {
    std::unique_ptr<DisplayWorld> world;
    std::filesystem::path root;
    std::unique_ptr<ProjectRecovery> recovery;
    explicit World(size_t n, bool withSchedule = true) {
        world = std::make_unique<DisplayWorld>(n, kTasks);
        gWorld = world.get();
        if (withSchedule) world->host->Addons().front()->eventHandlers.push_back({kHostEventRecoveryWrite, WriteSchedule});
        HostModel& m = world->host->Model();
        for (const auto& e : m.Elements()) {
            Geometry g;
            g.shape = Geometry::Shape::Mesh;
            double x = e->Index() * 1.5;
            for (int k = 0; k < 8; ++k) g.vertices.push_back({x + (k & 1), 0.2 * (k >> 1 & 1), 3.0 * (k >> 2)});
            g.triangles = {{0, 1, 3}, {0, 3, 2}, {4, 6, 7}, {4, 7, 5}, {0, 4, 5}, {0, 5, 1},
                           {2, 3, 7}, {2, 7, 6}, {0, 2, 6}, {0, 6, 4}, {1, 5, 7}, {1, 7, 3}};
            m.SetGeometry(*e, std::move(g));
        }
        m.MarkModified();
        world->db.SetDirty(true);
        root = std::filesystem::temp_directory_path() / ("bv-bench-recovery-" + std::to_string(::getpid()));
        recovery = std::make_unique<ProjectRecovery>(*world->host, root.string());
    }
    ~World() {
        recovery.reset();
        std::filesystem::remove_all(root);
        gWorld = nullptr;
    }
};

void BM_AutosaveWindowPart(benchmark::State& state) {
    World w(static_cast<size_t>(state.range(0)), state.range(1) != 0);
    double longest = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        w.recovery->WriteNow(false);
        double held = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(held);
        longest = std::max(longest, held);
        w.recovery->Wait();
    }
    state.counters["max_ms"] = longest * 1000;
}
BENCHMARK(BM_AutosaveWindowPart)->Args({10000, 1})->Args({10000, 0})->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_SnapshotOnly(benchmark::State& state) {
    World w(static_cast<size_t>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(w.world->host->Model().SnapshotForSaving());
}
BENCHMARK(BM_SnapshotOnly)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_AutosaveWhole(benchmark::State& state) {
    World w(static_cast<size_t>(state.range(0)));
    for (auto _ : state) w.recovery->WriteNow(true);
}
BENCHMARK(BM_AutosaveWhole)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
