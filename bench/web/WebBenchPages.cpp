// Writes the shared pages the page benchmark (pageBench.mjs) opens in a browser, each with a
// schedule linking every displayable element to one of its tasks in turn (StaggeredSchedule.h)
// and the benchmarks' looks (BenchLooks.h): ghosts to come, green growth under way.
//
//   bench_web_pages OUTDIR
//
//   house.html           the example house, 12 tasks
//   duplex-10k.html      copies of the duplex side by side until 10,000 elements stand, 40 tasks
//   multicom-100k.html   copies of MULTICOM-Prefab until 100,000 products stand, 40 tasks
// A page already there is kept. Prints each page's elements, size and the seconds it took to
// open the model and to write the page.
#include "AddonStage.h"
#include "BenchLooks.h"
#include "StaggeredSchedule.h"
#include "ifc/IfcCopiesGenerator.h"

#include "webpage/WebPageFile.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

struct Stage : AddonStage {
    bool Open(const fs::path& path) {
        std::string error;
        if (host->OpenProject(path.string(), error)) return true;
        std::fprintf(stderr, "%s does not open: %s\n", path.c_str(), error.c_str());
        return false;
    }

    bool Write(const fs::path& page, int tasks) {
        hider.LoadResources();
        db.InitTaskDB();
        LinkStaggeredSchedule(db, host->Model(), tasks);
        UseBenchLooks(hider);
        hider.Prepare(db);
        return WriteWebPage(hider, db, page.string(), nullptr).outcome == WebPageOutcome::Written;
    }
};

// The original's copies that reach `count` displayable elements, written beside the pages.
fs::path CopiesOf(const fs::path& original, size_t count, const fs::path& folder) {
    size_t each = 0;
    {
        Stage one;
        if (!one.Open(original)) return {};
        each = std::max<size_t>(1, Displayable(one.host->Model()));
    }
    const int copies = static_cast<int>((count + each - 1) / each);
    const fs::path path = folder / (original.stem().string() + "-x" + std::to_string(copies) + ".ifc");
    if (!fs::exists(path)) std::ofstream(path, std::ios::binary) << GenerateIfcCopies(ReadAll(original), {copies, 60});
    return path;
}

bool MakePage(const fs::path& model, const fs::path& page, int tasks) {
    if (fs::exists(page)) return true;
    if (model.empty()) return false;
    Stage stage;
    const Clock::time_point opening = Clock::now();
    if (!stage.Open(model)) return false;
    const double opened = SecondsSince(opening);
    const Clock::time_point writing = Clock::now();
    if (!stage.Write(page, tasks)) {
        std::fprintf(stderr, "%s was not written\n", page.c_str());
        return false;
    }
    std::printf("%-20s %8zu elements %8.1f MB  opened in %6.1f s  written in %6.1f s\n", page.filename().c_str(),
                Displayable(stage.host->Model()), static_cast<double>(fs::file_size(page)) / 1e6, opened,
                SecondsSince(writing));
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_web_pages OUTDIR\n");
        return 2;
    }
    const fs::path out = argv[1];
    fs::create_directories(out);
    const fs::path source = BV_SOURCE_DIR;
    const fs::path data = source / "tests/data/ifc";
    bool ok = MakePage(source / "examples/house/house.qvp", out / "house.html", 12);
    ok = MakePage(CopiesOf(data / "duplex.ifc", 10000, out), out / "duplex-10k.html", 40) && ok;
    ok = MakePage(CopiesOf(data / "MULTICOM-Prefab.ifc", 100000, out), out / "multicom-100k.html", 40) && ok;
    return ok ? 0 : 1;
}
