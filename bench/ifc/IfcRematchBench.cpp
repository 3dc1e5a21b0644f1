// A revision of a 10,000-element model brought in with its GlobalIds kept, and the same revision
// with 30 % of them re-issued, so found again by fingerprint and reported element by element.
// The second should take at most twice the first.
#include "host/ifc/building/IfcModelBuilder.h"
#include "host/ifc/building/IfcRevisionUpdate.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int kElements = 10000;

API_Guid GuidOf(int n, uint8_t issue) {
    API_Guid g;
    g.bytes[0] = 0x42;
    g.bytes[1] = issue;
    g.bytes[12] = static_cast<uint8_t>(n >> 24);
    g.bytes[13] = static_cast<uint8_t>(n >> 16);
    g.bytes[14] = static_cast<uint8_t>(n >> 8);
    g.bytes[15] = static_cast<uint8_t>(n);
    return g;
}

// Walls in rows on five storeys, each a box of 12 triangles with its own name.
IfcBuildingData Walls() {
    IfcBuildingData d;
    d.schema = "IFC2X3";
    d.products.reserve(kElements);
    for (int k = 0; k < kElements; ++k) {
        IfcProductData p;
        p.guid = GuidOf(k, 0);
        p.globalId = "W" + std::to_string(k);
        p.ifcClass = "IfcWallStandardCase";
        p.name = "Wall " + std::to_string(k);
        p.storey = "Storey " + std::to_string(k % 5);
        const double x = (k / 5 % 100) * 6.0, y = (k / 500) * 4.0, z = (k % 5) * 3.0;
        const std::array<double, 3> lo{x, y, z}, hi{x + 5, y + 0.3, z + 3};
        for (int i = 0; i < 8; ++i) p.vertices.push_back({i & 1 ? hi[0] : lo[0], i & 2 ? hi[1] : lo[1], i & 4 ? hi[2] : lo[2]});
        p.triangles = {{0, 2, 1}, {1, 2, 3}, {4, 5, 6}, {5, 7, 6}, {0, 1, 4}, {1, 5, 4},
                       {2, 6, 3}, {3, 6, 7}, {0, 4, 2}, {2, 4, 6}, {1, 3, 5}, {3, 7, 5}};
        d.products.push_back(std::move(p));
    }
    return d;
}

IfcModelOptions Options() {
    IfcModelOptions o;
    o.kindName = [](int32_t) { return std::string("Fal"); };
    return o;
}

void Update(benchmark::State& state, int reissuedPercent) {
    const IfcBuildingData first = Walls();
    IfcBuildingData revision = first;
    for (int k = 0; k < kElements; ++k)
        if (k * 7919 % 100 < reissuedPercent) revision.products[static_cast<size_t>(k)].guid = GuidOf(k, 1);
    const IfcModelOptions options = Options();
    size_t rematched = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto built = BuildIfcModel(first, options);
        for (const auto& e : built.model->Elements())
            built.model->SetUserData(*e, "Bauvista", UserDataBlock{103, 0x5757, std::vector<uint8_t>(88, 1)});
        state.ResumeTiming();
        IfcRevisionCounts counts = UpdateFromIfcRevision(*built.model, revision, options);
        rematched = counts.rematched;
        benchmark::DoNotOptimize(built.model->lastRevision.rematched.data());
        state.PauseTiming();
        built.model.reset();
        state.ResumeTiming();
    }
    state.counters["rematched"] = static_cast<double>(rematched);
}

void BM_UpdateGlobalIdsKept(benchmark::State& state) { Update(state, 0); }
void BM_UpdateThirtyPercentReissued(benchmark::State& state) { Update(state, 30); }

} // namespace

BENCHMARK(BM_UpdateGlobalIdsKept)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_UpdateThirtyPercentReissued)->Unit(benchmark::kMillisecond)->Iterations(5);
