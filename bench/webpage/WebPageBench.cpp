// The shared page's size and the time to write it: the example house with its schedule, copies
// of the duplex to 10,000 elements and copies of MULTICOM-Prefab to 100,000 products
// (IfcCopiesGenerator.h), each element of the copies linked to one of 40 staggered tasks.
// Targets: the house at most 1 MB, the duplex copies 40 MB, the 100,000 products 250 MB.
//
//   bench_webpage [--products N,N] [--growing] [--keep DIR]
//
// --products  the duplex's and MULTICOM's sizes (default 10000,100000; 0 leaves one out)
// --growing   construction in a look that grows storey by storey in a fading colour over a ghost
//             (default: the types' own profiles)
// --keep      where the generated models and pages are left (default: a temporary folder, removed)
#include "IfcCopiesGenerator.h"
#include "StaggeredSchedule.h"

#include "basekit/BKText.h"
#include "display/ElementHider.h"
#include "host/app/Host.h"
#include "hostcalls/HostInterface.h"
#include "schedule/tasks/AnimationSettings.h"
#include "webpage/WebPageFile.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr int kTasks = 40;

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

double Since(std::chrono::steady_clock::time_point t) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count();
}

// One model opened, its schedule in place, its page written and measured.
void Measure(const std::string& label, const fs::path& model, const fs::path& page, const fs::path* scheduleText,
             double targetMb, bool growing) {
    auto host = std::make_unique<Host>();
    Host::SetCurrent(host.get());
    AddonRegistration& reg = host->AddAddon("Bauvista");
    SetImportedFuncAddrs(host->Table().data());
    SetAddonToken(reg.token);
    AnimationSettings settings;
    ElementHider hider;
    TaskDB db{settings, &hider};
    host->NewProject();
    std::string error;
    auto start = std::chrono::steady_clock::now();
    if (!host->OpenProject(model.string(), error)) {
        std::printf("%-24s does not open: %s\n", label.c_str(), error.c_str());
        return;
    }
    const double open = Since(start);
    hider.LoadResources();
    db.InitTaskDB();
    if (scheduleText) db.ImportScheduleText(scheduleText->string());
    else LinkStaggeredSchedule(db, host->Model(), kTasks);
    if (growing) {
        AppearanceProfile storeys = DefaultProfile(ConstructionType::Construction);
        storeys.name = BKFromUtf8("Szintenként"); // profile names are 8-bit, as task names
        storeys.before = PhaseLook::Coloured({180, 200, 255}, 70);
        storeys.during = PhaseLook::Coloured({255, 160, 0}, 40, 0);
        storeys.grow = GrowDirection::PlusZ;
        storeys.stagger = true;
        hider.Profiles().Put(storeys);
        hider.Profiles().ChooseForType(ConstructionType::Construction, storeys.name);
    }
    db.SetCurrentDate(db.EarliestStart(), true);
    start = std::chrono::steady_clock::now();
    const WebPageResult result = WriteWebPage(hider, db, page.string(), {});
    const double write = Since(start);
    const double mb = static_cast<double>(result.bytes) / 1e6;
    std::printf("%-24s %9zu %8.1f %9.2f %9.2f  %s\n", label.c_str(), host->Model().Elements().size(), open, write, mb,
                result.outcome != WebPageOutcome::Written ? "NOT WRITTEN" : mb <= targetMb ? "within target" : "OVER TARGET");
    std::fflush(stdout);
    ForgetHostTableForTests();
    Host::SetCurrent(nullptr);
}

// The elements one copy brings: the original opened.
size_t ElementsOf(const fs::path& model) {
    Host host;
    Host::SetCurrent(&host);
    std::string error;
    const size_t n = host.OpenProject(model.string(), error) ? host.Model().Elements().size() : 0;
    Host::SetCurrent(nullptr);
    return n;
}

} // namespace

int main(int argc, char** argv) {
    const fs::path source = BV_SOURCE_DIR;
    int duplexProducts = 10000, multicomProducts = 100000;
    std::optional<fs::path> keep;
    bool growing = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--products" && i + 1 < argc) {
            const std::string v = argv[++i];
            const size_t comma = v.find(',');
            duplexProducts = std::stoi(v.substr(0, comma));
            multicomProducts = comma == std::string::npos ? 0 : std::stoi(v.substr(comma + 1));
        } else if (a == "--growing") {
            growing = true;
        } else if (a == "--keep" && i + 1 < argc) {
            keep = fs::path(argv[++i]);
        } else {
            std::cerr << "usage: bench_webpage [--products N,N] [--growing] [--keep DIR]\n";
            return 2;
        }
    }
    const fs::path folder = keep ? *keep : fs::temp_directory_path() / ("bv-webpage-" + std::to_string(getpid()));
    fs::create_directories(folder);
    std::printf("%-24s %9s %8s %9s %9s\n", "model", "elements", "open s", "write s", "page MB");
    const fs::path houseSchedule = source / "examples/house/schedule.txt";
    Measure("example house", source / "examples/house/house.qvp", folder / "house.html", &houseSchedule, 1, growing);
    const struct {
        const char* file;
        int products;
        double targetMb;
    } copies[] = {{"duplex.ifc", duplexProducts, 40}, {"MULTICOM-Prefab.ifc", multicomProducts, 250}};
    for (const auto& c : copies) {
        if (c.products <= 0) continue;
        const auto perCopy = static_cast<int>(ElementsOf(source / "tests/data/ifc" / c.file));
        if (perCopy <= 0) continue;
        const int n = (c.products + perCopy - 1) / perCopy;
        const fs::path model = folder / (fs::path(c.file).stem().string() + "-x" + std::to_string(n) + ".ifc");
        if (!fs::exists(model)) std::ofstream(model, std::ios::binary) << GenerateIfcCopies(ReadAll(source / "tests/data/ifc" / c.file), {n, 60});
        Measure(fs::path(c.file).stem().string() + " x" + std::to_string(n), model,
                folder / (model.stem().string() + ".html"), nullptr, c.targetMb, growing);
    }
    if (!keep) fs::remove_all(folder);
    return 0;
}
