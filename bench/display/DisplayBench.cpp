// Display passes over 100,000 linked elements, beside the floor they are measured against:
// listing every element and reading its link record and element record.
#include "basekit/BKMemory.h"
#include "display/ElementHider.h"
#include "host/ops/Host.h"
#include "hostcalls/HostInterface.h"
#include "schedule/AnimationSettings.h"
#include "schedule/Exceptions.h"
#include "schedule/TaskDB.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

constexpr int kElements = 100000;
constexpr int kTasks = 200;

struct World {
    std::unique_ptr<Host> host;
    AnimationSettings settings;
    ElementHider hider;
    TaskDB db{settings, &hider};

    World() {
        host = std::make_unique<Host>();
        Host::SetCurrent(host.get());
        AddonRegistration& reg = host->AddAddon("Bauvista");
        SetImportedFuncAddrs(host->Table().data());
        SetAddonToken(reg.token);
        host->NewProject();
        const int32_t kinds[] = {1, 2, 3, 6, 8, 9, 19};
        for (int i = 0; i < kElements; ++i) {
            Element e;
            e.SetKind(kinds[i % 7]);
            e.SetIdText("E-" + std::to_string(i));
            e.SetLayer(1);
            LE::Put<int16_t>(e.Bytes(), 104, 3);
            LE::Put<int16_t>(e.Bytes(), 112, 4);
            Element& added = host->Model().AddElement(std::move(e));
            ElementLinkRecord link;
            link.SetSlot(0, 1 + i % kTasks);
            added.userData["Bauvista"] = UserDataBlock{103, 0x5757, {link.bytes.begin(), link.bytes.end()}};
        }
        hider.LoadResources();
        db.InitTaskDB();
        // Every task is under way on day 10 and finished by day 40.
        for (int t = 1; t <= kTasks; ++t) {
            Task task;
            task.id = t;
            task.type = static_cast<ConstructionType>(t % 5);
            task.start = DateTime(2009, 3, 1);
            task.finish = DateTime(2009, 3, 30);
            db.AppendLoadedTask(task);
        }
    }
    void Pass(const DateTime& day) {
        db.SetCurrentDate(day, true);
        hider.Prepare(db);
        hider.BeginPass();
        hider.ShowAtCurrentDate(db, 1);
        hider.EndPass();
        hider.Finish();
    }
};

World& TheWorld() {
    static World world;
    return world;
}

void BM_Floor(benchmark::State& state) {
    World& w = TheWorld();
    std::vector<uint8_t> record(HostElement::kRecordSize);
    for (auto _ : state) {
        int64_t sum = 0;
        for (int32_t kind = HostElement::kFirstKind; kind <= HostElement::kLastKind; ++kind) {
            uint32_t list = 0;
            if (HostElementList(kind, &list) != kHostNoError) continue;
            size_t n = BKHandleSize(list) / 16;
            for (size_t i = 0; i < n; ++i) {
                API_Guid g = API_Guid::FromBytes(BKHandleData(list) + 16 * i);
                ElementLinkRecord link;
                try {
                    w.hider.ReadElementLink(kind, g, link);
                } catch (const EElementHider&) {
                }
                std::fill(record.begin(), record.end(), 0);
                LE::Put<int32_t>(record, 0, kind);
                g.ToBytes(record.data() + HostElement::kGuid);
                HostElementGet(record.data());
                sum += link.Slot(0) + record[HostElement::kLayer];
            }
            BKDisposeHandle(list);
        }
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_Floor)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_PassNothingChanged(benchmark::State& state) {
    World& w = TheWorld();
    w.Pass(DateTime(2009, 3, 10));
    for (auto _ : state) w.Pass(DateTime(2009, 3, 10));
}
BENCHMARK(BM_PassNothingChanged)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_PassEveryElementChanges(benchmark::State& state) {
    World& w = TheWorld();
    bool underWork = false;
    for (auto _ : state) {
        // Alternate between every element under work and every element in its final state.
        underWork = !underWork;
        w.Pass(underWork ? DateTime(2009, 3, 10) : DateTime(2009, 4, 10));
    }
}
BENCHMARK(BM_PassEveryElementChanges)->Unit(benchmark::kMillisecond)->Iterations(6);

} // namespace
