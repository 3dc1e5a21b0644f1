// Opening IFC files: ReadIfcText on a generated model of 10,000 walls (IfcWallsGenerator.h) and
// on IfcOpenHouse, with the IFC library's own STEP parse of the same text as the floor under
// the reader (the reader's share above it is geometry, placement and attributes). Counter
// `per_element`: seconds per product read. One thread: the library converts one product at a
// time, in a child process (so the reads are timed by the clock: the CPU column is only the
// parent's share, receiving the results).
//
//   BM_ReadWalls/N     ReadIfcText, N walls in 5 storeys
//   BM_ParseWalls/N    ReaderSTEP::loadModelFromString alone on the same text, model released
//   BM_ReadOpenHouse   ReadIfcText on tests/data/ifc/IfcOpenHouse.ifc (35 products)
//   BM_OpenWalls/N     the host opening the N walls' file as a project, as `open` does: reader,
//                      model builder, pens, the view fitted; target for 10,000 under 10 s
//   BM_OpenOpenHouse   the same for IfcOpenHouse
#include "IfcWallsGenerator.h"

#include "host/app/Host.h"
#include "host/ifc/reader/IfcReader.h"

#include <ifcpp/model/BuildingModel.h>
#include <ifcpp/reader/ReaderSTEP.h>

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <unistd.h>

namespace {

const std::string& Walls(int count) {
    static std::map<int, std::string> made;
    auto& text = made[count];
    if (text.empty()) text = GenerateIfcWalls({count, 5});
    return text;
}

void BM_ReadWalls(benchmark::State& state) {
    const std::string& text = Walls(static_cast<int>(state.range(0)));
    size_t products = 0;
    for (auto _ : state) {
        IfcBuildingData data = ReadIfcText(text);
        products = data.products.size();
        benchmark::DoNotOptimize(data.products.data());
    }
    if (products != static_cast<size_t>(state.range(0))) state.SkipWithError("not every wall was read");
    state.counters["per_element"] = benchmark::Counter(static_cast<double>(products),
                                                       benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["MB"] = static_cast<double>(text.size()) / 1e6;
}

void BM_ParseWalls(benchmark::State& state) {
    const std::string& text = Walls(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        auto model = std::make_shared<BuildingModel>();
        ReaderSTEP reader;
        std::string copy = text;
        reader.loadModelFromString(copy, model);
        benchmark::DoNotOptimize(model->getMapIfcEntities().size());
        model->clearIfcModel();
    }
    state.counters["per_element"] = benchmark::Counter(static_cast<double>(state.range(0)),
                                                       benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_ReadOpenHouse(benchmark::State& state) {
    std::ifstream in(std::string(BV_SOURCE_DIR) + "/tests/data/ifc/IfcOpenHouse.ifc", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    const std::string house = text.str();
    for (auto _ : state) benchmark::DoNotOptimize(ReadIfcText(house).products.size());
}

// Host::OpenProject on a file, the whole open a user waits for.
void Open(benchmark::State& state, const std::string& path, size_t expected) {
    Host host;
    Host::SetCurrent(&host);
    std::string error;
    for (auto _ : state) {
        if (!host.OpenProject(path, error)) {
            state.SkipWithError(error.c_str());
            break;
        }
    }
    if (host.Model().Elements().size() != expected) state.SkipWithError("not every product became an element");
    state.counters["per_element"] = benchmark::Counter(static_cast<double>(expected),
                                                       benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    Host::SetCurrent(nullptr);
}

void BM_OpenWalls(benchmark::State& state) {
    auto path = std::filesystem::temp_directory_path() / ("bv-bench-walls-" + std::to_string(getpid()) + ".ifc");
    std::ofstream(path, std::ios::binary) << Walls(static_cast<int>(state.range(0)));
    Open(state, path.string(), static_cast<size_t>(state.range(0)));
    std::filesystem::remove(path);
}

void BM_OpenOpenHouse(benchmark::State& state) {
    Open(state, std::string(BV_SOURCE_DIR) + "/tests/data/ifc/IfcOpenHouse.ifc", 35);
}

} // namespace

BENCHMARK(BM_ReadWalls)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();
BENCHMARK(BM_ParseWalls)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_ReadOpenHouse)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_OpenWalls)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();
BENCHMARK(BM_OpenOpenHouse)->Unit(benchmark::kMillisecond)->UseRealTime();
