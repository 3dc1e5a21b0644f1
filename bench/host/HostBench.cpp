// The floor a display pass is measured against: list every element of every kind, read each
// one's link record and its element record, through the host's table.
#include "basekit/BKMemory.h"
#include "display/ElementHider.h"
#include "host/ops/Host.h"
#include "schedule/Exceptions.h"
#include "shell/HostInterface.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

Host& LinkedModel(int count) {
    static Host* host = nullptr;
    static int built = 0;
    if (host && built == count) return *host;
    delete host;
    host = new Host();
    Host::SetCurrent(host);
    AddonRegistration& reg = host->AddAddon("Bauvista");
    SetImportedFuncAddrs(host->Table().data());
    SetAddonToken(reg.token);
    host->NewProject();
    const int32_t kinds[] = {1, 2, 3, 6, 8, 9, 19};
    for (int i = 0; i < count; ++i) {
        Element e;
        e.SetKind(kinds[i % 7]);
        e.SetIdText("E-" + std::to_string(i));
        e.SetLayer(1);
        Element& added = host->Model().AddElement(std::move(e));
        std::vector<uint8_t> link(88, 0);
        link[0] = static_cast<uint8_t>(1 + i % 200);
        added.userData["Bauvista"] = UserDataBlock{103, 0x5757, link};
    }
    built = count;
    return *host;
}

void BM_ListAndReadEveryElement(benchmark::State& state) {
    LinkedModel(static_cast<int>(state.range(0)));
    ElementHider hider;
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
                    hider.ReadElementLink(kind, g, link);
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
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ListAndReadEveryElement)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace
