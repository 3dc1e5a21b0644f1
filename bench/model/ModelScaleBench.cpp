// How the host model and the display pass scale: 1,000, 10,000, 100,000 and 1,000,000 linked
// elements (the argument; the schedule has 200 tasks), each measure beside its floor, with the
// cost per element as the counter `per_element` (seconds per element). The per-element cost of
// a measure should stay flat as the model grows.
//
// - BM_Save: SaveHostProject, the host's project save: the model written as JSON text and
//   that text written through the replacement file (temporary file, write, sync, rename).
//   BM_SaveBareIO, its floor: the same bytes written the same way, nothing else.
//   BM_SaveRawIO: the bytes written in 64 KiB blocks to a plain file, no sync (for context).
// - BM_Open: LoadHostProject, the host's project open: the file read whole, parsed as JSON and
//   the model built. BM_OpenBareIO, its I/O floor: the same file read whole the same way.
//   BM_OpenParseFloor: read whole and parsed into a JSON document (no model), the least any
//   reader of this JSON file must do with this JSON library. These three run once untimed
//   first, so every timed run finds the memory it needs already in the process, as the small
//   sizes do from their second run on: what they compare is the reader's work.
// - BM_OpenFreshProcess, BM_OpenParseFloorFreshProcess: the same in a forked child, each run
//   the first open of a process, which also pays the kernel for every page it touches.
// - BM_PassFloor: per element, its link record and its 104-byte header read (DisplayWorld.h).
//   BM_PassNothingChanged: a display pass at the date the model already shows.
//   BM_PassAllChanging: a display pass that changes every element (alternating dates).
// - BM_MemcpyBandwidth: a memcpy loop over 256 MiB, the machine's memory bandwidth.
//
// A project file may hold at most 2048 MB (the host's cap); 1,000,000 linked elements make
// about 480 MB. BM_OpenUnlinked opens 1,000,000 elements that carry no link record.
#include "DisplayWorld.h"

#include "filekit/FKError.h"
#include "filekit/FKFile.h"
#include "filekit/FKReplacementFile.h"
#include "host/project/HostProjectFile.h"

#include <nlohmann/json.hpp>

#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kTasks = 200;

struct Scale {
    size_t n = 0;
    std::unique_ptr<DisplayWorld> world;
    std::filesystem::path folder;
    std::string path;
    size_t fileBytes = 0;
    ~Scale() {
        world.reset();
        if (!folder.empty()) std::filesystem::remove_all(folder);
    }
};

Scale& At(size_t n) {
    static std::unique_ptr<Scale> current;
    if (!current || current->n != n) {
        current.reset(); // one model at a time
        current = std::make_unique<Scale>();
        current->n = n;
        current->world = std::make_unique<DisplayWorld>(n, kTasks);
        current->folder = std::filesystem::temp_directory_path() / ("bv_model_bench_" + std::to_string(getpid()));
        std::filesystem::create_directories(current->folder);
        current->path = (current->folder / "model.qvp").string();
        std::string error;
        if (!SaveHostProject(current->world->host->Model(), current->path, error)) std::abort();
        current->fileBytes = std::filesystem::file_size(current->path);
    }
    current->world->MakeCurrent();
    return *current;
}

size_t N(const benchmark::State& state) { return static_cast<size_t>(state.range(0)); }

void PerElement(benchmark::State& state, size_t n) {
    state.counters["per_element"] = benchmark::Counter(static_cast<double>(state.iterations()) * static_cast<double>(n),
                                                       benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_Save(benchmark::State& state) {
    Scale& s = At(N(state));
    std::string out = (s.folder / "saved.qvp").string(), error;
    for (auto _ : state)
        if (!SaveHostProject(s.world->host->Model(), out, error)) state.SkipWithError("save failed");
    state.counters["file_MB"] = static_cast<double>(s.fileBytes) / 1e6;
    PerElement(state, s.n);
}

void BM_SaveBareIO(benchmark::State& state) {
    Scale& s = At(N(state));
    std::string text;
    if (FKReadWholeFile(FKLocation::FromNativePath(s.path), size_t{1} << 31, text) != kFKNoErr) std::abort();
    std::string out = (s.folder / "bare.qvp").string();
    for (auto _ : state) {
        FKReplacementFile file(FKLocation::FromNativePath(out));
        int32_t err = file.Open();
        if (err == kFKNoErr) err = file.Write(text.data(), text.size());
        if (err == kFKNoErr) err = file.Commit();
        if (err != kFKNoErr) state.SkipWithError("write failed");
    }
    PerElement(state, s.n);
}

void BM_SaveRawIO(benchmark::State& state) {
    Scale& s = At(N(state));
    std::string text;
    if (FKReadWholeFile(FKLocation::FromNativePath(s.path), size_t{1} << 31, text) != kFKNoErr) std::abort();
    std::string out = (s.folder / "raw.qvp").string();
    for (auto _ : state) {
        int fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        for (size_t at = 0; at < text.size(); at += 65536) {
            size_t n = std::min<size_t>(65536, text.size() - at);
            if (::write(fd, text.data() + at, n) != static_cast<ssize_t>(n)) state.SkipWithError("write failed");
        }
        ::close(fd);
    }
    PerElement(state, s.n);
}

// Empty when the open gave the whole model, else what went wrong.
std::string OpenError(const Scale& s) {
    auto loaded = LoadHostProject(s.path);
    if (!loaded.model) return loaded.error;
    return loaded.model->Elements().size() == s.n ? std::string() : "wrong element count";
}

bool OpenOnce(const Scale& s) { return OpenError(s).empty(); }

bool ParseOnce(const Scale& s) {
    std::string text;
    if (FKReadWholeFile(FKLocation::FromNativePath(s.path), size_t{1} << 31, text) != kFKNoErr) return false;
    nlohmann::json doc = nlohmann::json::parse(text);
    benchmark::DoNotOptimize(doc.size());
    return true;
}

// The seconds `work` takes in a forked child; negative when it failed.
double SecondsInChild(bool (*work)(const Scale&), const Scale& s) {
    int fds[2];
    if (::pipe(fds) != 0) return -1;
    pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        auto start = std::chrono::steady_clock::now();
        bool ok = work(s);
        double seconds = ok ? std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() : -1;
        ssize_t w = ::write(fds[1], &seconds, sizeof seconds);
        ::_exit(w == sizeof seconds ? 0 : 1);
    }
    ::close(fds[1]);
    double seconds = -1;
    if (pid < 0 || ::read(fds[0], &seconds, sizeof seconds) != sizeof seconds) seconds = -1;
    ::close(fds[0]);
    int status = 0;
    if (pid > 0) ::waitpid(pid, &status, 0);
    return seconds;
}

void FreshProcess(benchmark::State& state, bool (*work)(const Scale&)) {
    Scale& s = At(N(state));
    for (auto _ : state) {
        double seconds = SecondsInChild(work, s);
        if (seconds < 0) {
            state.SkipWithError("the child failed");
            break;
        }
        state.SetIterationTime(seconds);
    }
    PerElement(state, s.n);
}

void BM_OpenFreshProcess(benchmark::State& state) { FreshProcess(state, OpenOnce); }
void BM_OpenParseFloorFreshProcess(benchmark::State& state) { FreshProcess(state, ParseOnce); }

void BM_Open(benchmark::State& state) {
    Scale& s = At(N(state));
    std::string error = OpenError(s); // untimed: brings the memory an open needs into the process
    for (auto _ : state) {
        if (error.empty()) error = OpenError(s);
        if (!error.empty()) {
            state.SkipWithError(error.c_str());
            break;
        }
    }
    state.counters["file_MB"] = static_cast<double>(s.fileBytes) / 1e6;
    PerElement(state, s.n);
}

void BM_OpenBareIO(benchmark::State& state) {
    Scale& s = At(N(state));
    if (!ParseOnce(s)) std::abort();
    for (auto _ : state) {
        std::string text;
        if (FKReadWholeFile(FKLocation::FromNativePath(s.path), size_t{1} << 31, text) != kFKNoErr) std::abort();
        benchmark::DoNotOptimize(text.data());
    }
    PerElement(state, s.n);
}

void BM_OpenParseFloor(benchmark::State& state) {
    Scale& s = At(N(state));
    if (!ParseOnce(s)) std::abort();
    for (auto _ : state)
        if (!ParseOnce(s)) std::abort();
    PerElement(state, s.n);
}

void BM_OpenUnlinked(benchmark::State& state) {
    size_t n = N(state);
    std::filesystem::path folder = std::filesystem::temp_directory_path() / ("bv_model_unlinked_" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    std::string path = (folder / "unlinked.qvp").string(), error;
    {
        HostModel model;
        for (size_t i = 0; i < n; ++i) {
            Element e = DisplayWorld::MakeElement(i, kTasks);
            e.userData.clear();
            model.AddElement(std::move(e));
        }
        model.CreateAttribute(HostAttribute::Layer, MakeAttributeRecord(HostAttribute::Layer, "Alap"));
        if (!SaveHostProject(model, path, error)) std::abort();
    }
    for (auto _ : state) {
        auto loaded = LoadHostProject(path);
        if (!loaded.model || loaded.model->Elements().size() != n) {
            state.SkipWithError(loaded.model ? "wrong element count" : loaded.error.c_str());
            break;
        }
    }
    state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
    std::filesystem::remove_all(folder);
    PerElement(state, n);
}

void BM_PassFloor(benchmark::State& state) {
    Scale& s = At(N(state));
    for (auto _ : state) benchmark::DoNotOptimize(s.world->ReadFloor());
    PerElement(state, s.n);
}

void BM_PassNothingChanged(benchmark::State& state) {
    Scale& s = At(N(state));
    s.world->Pass(DateTime(2009, 3, 10));
    for (auto _ : state) s.world->Pass(DateTime(2009, 3, 10));
    PerElement(state, s.n);
}

void BM_PassAllChanging(benchmark::State& state) {
    Scale& s = At(N(state));
    bool underWork = true; // the model shows 10 March after the pass above
    for (auto _ : state) {
        underWork = !underWork;
        s.world->Pass(underWork ? DateTime(2009, 3, 10) : DateTime(2009, 4, 10));
    }
    PerElement(state, s.n);
}

void BM_MemcpyBandwidth(benchmark::State& state) {
    const size_t bytes = size_t{256} << 20;
    std::vector<char> from(bytes, 1), to(bytes, 0);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

void Register() {
    benchmark::RegisterBenchmark("BM_MemcpyBandwidth", BM_MemcpyBandwidth)->Unit(benchmark::kMillisecond)->Iterations(10);
    // BV_BENCH_MAX_ELEMENTS bounds the sizes (an older, quadratic build cannot open 100,000).
    size_t most = 1000000;
    if (const char* m = std::getenv("BV_BENCH_MAX_ELEMENTS")) most = static_cast<size_t>(std::strtoull(m, nullptr, 10));
    for (size_t n : {size_t{1000}, size_t{10000}, size_t{100000}, size_t{1000000}}) {
        if (n > most) break;
        auto arg = static_cast<int64_t>(n);
        int reps = n >= 1000000 ? 2 : n >= 100000 ? 3 : 5;
        using Fn = void (*)(benchmark::State&);
        const std::pair<const char*, Fn> measures[] = {
            {"BM_Save", BM_Save}, {"BM_SaveBareIO", BM_SaveBareIO}, {"BM_SaveRawIO", BM_SaveRawIO},
            {"BM_Open", BM_Open}, {"BM_OpenBareIO", BM_OpenBareIO}, {"BM_OpenParseFloor", BM_OpenParseFloor},
            {"BM_PassFloor", BM_PassFloor}, {"BM_PassNothingChanged", BM_PassNothingChanged},
            {"BM_PassAllChanging", BM_PassAllChanging}};
        for (auto [name, fn] : measures)
            benchmark::RegisterBenchmark(name, fn)->Arg(arg)->Unit(benchmark::kMillisecond)->Iterations(reps);
        for (auto [name, fn] : {std::pair<const char*, Fn>{"BM_OpenFreshProcess", BM_OpenFreshProcess},
                                {"BM_OpenParseFloorFreshProcess", BM_OpenParseFloorFreshProcess}})
            benchmark::RegisterBenchmark(name, fn)->Arg(arg)->Unit(benchmark::kMillisecond)->Iterations(reps)->UseManualTime();
    }
    if (most >= 1000000)
        benchmark::RegisterBenchmark("BM_OpenUnlinked", BM_OpenUnlinked)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);
}
[[maybe_unused]] const bool kRegistered = (Register(), true);

} // namespace
