// Schedule text import and export and project file save and load of a 100,000-task schedule,
// each beside a bare loop over the same bytes, the least that work must do:
// - import: read the file twice in 64 KiB blocks and split each line into its tab fields (an
//   efficient two-pass split; the import reads once but must also decode and check every field);
// - export: the same lines written in 64 KiB blocks through the replacement file the saver uses
//   (temporary file, write, sync, rename), since a save that is not durable is no save;
// - project file save: the same fields encoded little-endian into 64 KiB blocks and written
//   through the replacement file; load: the file read in 64 KiB blocks and every record's fields
//   decoded into one reused record.
// Raw 64 KiB block copies of the files (plain write without sync, plain read) are measured too,
// for context: below every floor.
#include "BenchSchedule.h"
#include "basekit/BKText.h"
#include "dialogkit/DGAnswers.h"
#include "filekit/FKError.h"
#include "filekit/FKReplacementFile.h"
#include "schedule/tasks/AnimationSettings.h"
#include "schedule/tasks/TaskDB.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace {

constexpr size_t kTasks = 100000;
constexpr size_t kBlock = 64 * 1024;

struct Fixture {
    Fixture() {
        folder = std::filesystem::temp_directory_path() / ("bv_bench_" + std::to_string(getpid()));
        std::filesystem::create_directories(folder);
        db.InitTaskDB();
        FillBenchSchedule(db, kTasks);
        textPath = (folder / "schedule.txt").string();
        projectPath = (folder / "schedule.csp").string();
        // Random days above 12 leave only one date order under any locale: no question asked.
        if (!db.SaveScheduleText(textPath) || !db.SaveProjectFile(projectPath)) std::abort();
        textBytes = Read(textPath);
        projectBytes = Read(projectPath);
    }
    ~Fixture() { std::filesystem::remove_all(folder); }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    std::filesystem::path folder;
    AnimationSettings settings;
    TaskDB db{settings, nullptr};
    std::string textPath, projectPath, textBytes, projectBytes;
};

Fixture& F() {
    static Fixture f;
    return f;
}

// The bare write: create, write in blocks, close, as the savers do minus everything else.
void WriteBare(const std::string& path, const std::string& bytes) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) std::abort();
    for (size_t at = 0; at < bytes.size(); at += kBlock) {
        size_t n = std::min(kBlock, bytes.size() - at);
        if (::write(fd, bytes.data() + at, n) != static_cast<ssize_t>(n)) std::abort();
    }
    ::close(fd);
}

// The project file's fields as the stored form lays them out: header, then per record
// id, type, two dates of status and ticks, name length and name.
struct ProjectFields {
    int32_t count = 0;
    struct Record {
        int32_t id, type, startStatus;
        int64_t startTicks;
        int32_t finishStatus;
        int64_t finishTicks;
        uint64_t nameLength;
        char name[256];
    };
    char header[64];
    std::vector<Record> records;
};

// Reads a file in blocks and hands each block to `use`.
template <typename Use> void ReadBare(const std::string& path, Use&& use) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) std::abort();
    std::vector<char> block(kBlock);
    for (ssize_t n; (n = ::read(fd, block.data(), block.size())) > 0;) use(std::string_view(block.data(), static_cast<size_t>(n)));
    ::close(fd);
}

// The lines of a text, each with its line end, for a bare writer.
std::vector<std::string_view> LinesOf(const std::string& text) {
    std::vector<std::string_view> lines;
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find('\n', at);
        end = end == std::string::npos ? text.size() : end + 1;
        lines.emplace_back(text.data() + at, end - at);
        at = end;
    }
    return lines;
}

ProjectFields FieldsOf(const std::string& bytes) {
    ProjectFields f;
    std::memcpy(f.header, bytes.data(), 64);
    std::memcpy(&f.count, bytes.data() + 8, 4);
    size_t at = 64;
    for (int32_t i = 0; i < f.count; ++i) {
        ProjectFields::Record r{};
        std::memcpy(&r.id, bytes.data() + at, 4);
        std::memcpy(&r.type, bytes.data() + at + 4, 4);
        std::memcpy(&r.startStatus, bytes.data() + at + 8, 4);
        std::memcpy(&r.startTicks, bytes.data() + at + 12, 8);
        std::memcpy(&r.finishStatus, bytes.data() + at + 20, 4);
        std::memcpy(&r.finishTicks, bytes.data() + at + 24, 8);
        std::memcpy(&r.nameLength, bytes.data() + at + 32, 8);
        std::memcpy(r.name, bytes.data() + at + 40, r.nameLength);
        at += 40 + r.nameLength;
        f.records.push_back(r);
    }
    return f;
}

void BM_ImportScheduleText(benchmark::State& state) {
    auto& f = F();
    std::string path = BKFromUtf8(f.textPath);
    for (auto _ : state) {
        if (!f.db.ImportScheduleText(path) || f.db.TaskCount() != kTasks) state.SkipWithError("import failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * f.textBytes.size()));
}
BENCHMARK(BM_ImportScheduleText)->Unit(benchmark::kMillisecond);

void BM_BareReadTextTwiceAndSplit(benchmark::State& state) {
    auto& f = F();
    for (auto _ : state) {
        size_t fields = 0;
        for (int pass = 0; pass < 2; ++pass) {
            std::string line;
            ReadBare(f.textPath, [&](std::string_view block) {
                for (size_t at = 0; at < block.size();) {
                    size_t cr = block.find('\r', at);
                    size_t end = cr == std::string_view::npos ? block.size() : cr;
                    line.append(block.substr(at, end - at));
                    at = end + (cr == std::string_view::npos ? 0 : 1);
                    if (cr == std::string_view::npos) break;
                    for (size_t p = 0, tab; (tab = line.find('\t', p)) != std::string::npos; p = tab + 1) ++fields;
                    ++fields;
                    line.clear();
                }
            });
        }
        benchmark::DoNotOptimize(fields);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * f.textBytes.size()));
}
BENCHMARK(BM_BareReadTextTwiceAndSplit)->Unit(benchmark::kMillisecond);

void BM_SaveScheduleText(benchmark::State& state) {
    auto& f = F();
    std::string path = BKFromUtf8((f.folder / "out.txt").string());
    for (auto _ : state)
        if (!f.db.SaveScheduleText(path)) state.SkipWithError("save failed");
}
BENCHMARK(BM_SaveScheduleText)->Unit(benchmark::kMillisecond);

void BM_BareWriteText(benchmark::State& state) {
    auto& f = F();
    std::string path = (f.folder / "bare.txt").string();
    auto lines = LinesOf(f.textBytes);
    std::string block;
    block.reserve(kBlock + 2048);
    for (auto _ : state) {
        FKReplacementFile file(FKLocation::FromNativePath(path));
        int32_t err = file.Open();
        for (auto line : lines) {
            block.append(line);
            if (block.size() >= kBlock) {
                if (err == kFKNoErr) err = file.Write(block.data(), block.size());
                block.clear();
            }
        }
        if (err == kFKNoErr && !block.empty()) err = file.Write(block.data(), block.size());
        block.clear();
        if (err == kFKNoErr) err = file.Commit();
        if (err != kFKNoErr) state.SkipWithError("write failed");
    }
}
BENCHMARK(BM_BareWriteText)->Unit(benchmark::kMillisecond);

void BM_RawWriteText(benchmark::State& state) {
    auto& f = F();
    std::string path = (f.folder / "raw.txt").string();
    for (auto _ : state) WriteBare(path, f.textBytes);
}
BENCHMARK(BM_RawWriteText)->Unit(benchmark::kMillisecond);

void BM_SaveProjectFile(benchmark::State& state) {
    auto& f = F();
    std::string path = BKFromUtf8((f.folder / "out.csp").string());
    for (auto _ : state)
        if (!f.db.SaveProjectFile(path)) state.SkipWithError("save failed");
}
BENCHMARK(BM_SaveProjectFile)->Unit(benchmark::kMillisecond);

void BM_BareWriteProject(benchmark::State& state) {
    auto& f = F();
    std::string path = (f.folder / "bare.csp").string();
    ProjectFields fields = FieldsOf(f.projectBytes);
    std::vector<char> block(kBlock + 512);
    for (auto _ : state) {
        FKReplacementFile file(FKLocation::FromNativePath(path));
        int32_t err = file.Open();
        size_t used = 0;
        auto put = [&](const void* p, size_t n) {
            std::memcpy(block.data() + used, p, n);
            used += n;
        };
        put(fields.header, 64);
        for (const auto& r : fields.records) {
            put(&r.id, 4);
            put(&r.type, 4);
            put(&r.startStatus, 4);
            put(&r.startTicks, 8);
            put(&r.finishStatus, 4);
            put(&r.finishTicks, 8);
            put(&r.nameLength, 8);
            put(r.name, r.nameLength);
            if (used >= kBlock) {
                if (err == kFKNoErr) err = file.Write(block.data(), used);
                used = 0;
            }
        }
        if (err == kFKNoErr && used) err = file.Write(block.data(), used);
        if (err == kFKNoErr) err = file.Commit();
        if (err != kFKNoErr) state.SkipWithError("write failed");
    }
}
BENCHMARK(BM_BareWriteProject)->Unit(benchmark::kMillisecond);

void BM_RawWriteProject(benchmark::State& state) {
    auto& f = F();
    std::string path = (f.folder / "raw.csp").string();
    for (auto _ : state) WriteBare(path, f.projectBytes);
}
BENCHMARK(BM_RawWriteProject)->Unit(benchmark::kMillisecond);

void BM_LoadProjectFile(benchmark::State& state) {
    auto& f = F();
    AnimationSettings settings;
    TaskDB db(settings, nullptr);
    db.InitTaskDB();
    std::string path = BKFromUtf8(f.projectPath);
    for (auto _ : state)
        if (!db.LoadProjectFile(path) || db.TaskCount() != kTasks) state.SkipWithError("load failed");
}
BENCHMARK(BM_LoadProjectFile)->Unit(benchmark::kMillisecond);

void BM_BareReadProject(benchmark::State& state) {
    auto& f = F();
    std::string bytes;
    for (auto _ : state) {
        bytes.clear();
        ReadBare(f.projectPath, [&](std::string_view block) { bytes.append(block); });
        ProjectFields::Record r{};
        int32_t count = 0;
        std::memcpy(&count, bytes.data() + 8, 4);
        size_t at = 64, sum = 0;
        const char* p = bytes.data();
        for (int32_t i = 0; i < count && at + 40 <= bytes.size(); ++i) {
            std::memcpy(&r.id, p + at, 4);
            std::memcpy(&r.type, p + at + 4, 4);
            std::memcpy(&r.startStatus, p + at + 8, 4);
            std::memcpy(&r.startTicks, p + at + 12, 8);
            std::memcpy(&r.finishStatus, p + at + 20, 4);
            std::memcpy(&r.finishTicks, p + at + 24, 8);
            std::memcpy(&r.nameLength, p + at + 32, 8);
            if (r.nameLength > 255 || at + 40 + r.nameLength > bytes.size()) break;
            std::memcpy(r.name, p + at + 40, r.nameLength);
            at += 40 + r.nameLength;
            sum += static_cast<size_t>(r.id) + static_cast<unsigned char>(r.name[0]);
        }
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_BareReadProject)->Unit(benchmark::kMillisecond);

void BM_RawReadProject(benchmark::State& state) {
    auto& f = F();
    for (auto _ : state) {
        size_t sum = 0;
        ReadBare(f.projectPath, [&](std::string_view block) { sum += static_cast<unsigned char>(block.back()); });
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_RawReadProject)->Unit(benchmark::kMillisecond);

} // namespace
