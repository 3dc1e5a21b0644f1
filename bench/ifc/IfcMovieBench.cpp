// Movie frames of IFC buildings at 1280 x 720 in the 3D window, each as the animation run makes
// it: the display pass at the next date (the building grows through twelve tasks, every element
// linked to one), the camera a step further round the building from the view the open fitted,
// the window's picture, and the QuickTime writer taking it. No two frames are alike. Counter
// `fps`: the movie's frame rate (target at least 10).
//
//   BM_IfcMovieFrame/0   IfcOpenHouse (35 elements)
//   BM_IfcMovieFrame/1   the generated 10,000 walls in 5 storeys (IfcWallsGenerator.h)
// Times are wall-clock; the CPU column is the whole process's, every thread's.
#include "IfcWallsGenerator.h"

#include "StaggeredSchedule.h"
#include "basekit/BKMemory.h"
#include "display/ElementHider.h"
#include "host/app/Host.h"
#include "host/render/ViewCamera.h"
#include "hostapi/HostSelectors.h"
#include "hostcalls/HostInterface.h"
#include "movie/MOVCreator.h"
#include "schedule/tasks/AnimationSettings.h"
#include "schedule/tasks/IElementDisplay.h"
#include "schedule/tasks/TaskDB.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <unistd.h>

namespace {

constexpr int kTasks = 12;
constexpr int kDays = 96;
constexpr int kSteps = 64; // camera positions round the building

struct Stage {
    std::unique_ptr<Host> host = std::make_unique<Host>();
    AnimationSettings settings;
    ElementHider hider;
    TaskDB db{settings, &hider};
    ViewCamera fitted;
    int day = 0, step = 0;
    bool opened = false;

    explicit Stage(const std::string& path) {
        Host::SetCurrent(host.get());
        AddonRegistration& reg = host->AddAddon("Bauvista");
        SetImportedFuncAddrs(host->Table().data());
        SetAddonToken(reg.token);
        std::string error;
        host->NewProject();
        host->Model().windows.view3D.Set(1280, 720, {1, 1, 1});
        opened = host->OpenProject(path, error);
        if (!opened) return;
        host->Model().windows.view3D.Set(1280, 720, {1, 1, 1});
        fitted = host->Model().view.Camera();
        hider.LoadResources();
        db.InitTaskDB();
        LinkStaggeredSchedule(db, host->Model(), kTasks);
        hider.Prepare(db);
        uint8_t on = 1;
        HostGraphics(kHostSelCaptureMode, &on, nullptr);
    }
    ~Stage() {
        ForgetHostTableForTests();
        Host::SetCurrent(nullptr);
    }
    Stage(const Stage&) = delete;
    Stage& operator=(const Stage&) = delete;
    void Frame(MOVCreator& writer) {
        day = (day + 1) % kDays;
        db.SetCurrentDate(DateTime(2009, 3, 1) + DateTimeSpan(day, 0, 0, 0), true);
        hider.BeginPass();
        hider.ShowAtCurrentDate(db, 1);
        hider.EndPass();
        // Round the building at the fitted distance and height.
        step = (step + 1) % kSteps;
        double angle = step * 2 * 3.14159265358979 / kSteps;
        ViewCamera c = fitted;
        double dx = fitted.eye[0] - fitted.target[0], dy = fitted.eye[1] - fitted.target[1];
        c.eye[0] = fitted.target[0] + dx * std::cos(angle) - dy * std::sin(angle);
        c.eye[1] = fitted.target[1] + dx * std::sin(angle) + dy * std::cos(angle);
        host->Model().view.SetCamera(c);
        uint8_t options[2] = {1, 0};
        uint32_t picture = 0;
        HostGraphics(kHostSelWindowCapture, &picture, options);
        writer.AddFrame(picture);
        BKDisposeHandle(picture);
    }
};

// Made once for each building, as the benchmark library calls a benchmark more than once, and
// left to the end of the process: their teardown would run after the kits' own statics are gone.
Stage& TheStage(bool walls) {
    static Stage* stages[2] = {nullptr, nullptr};
    Stage*& s = stages[walls ? 1 : 0];
    if (!s) {
        if (walls) {
            auto path = std::filesystem::temp_directory_path() / ("bv-bench-movie-walls-" + std::to_string(getpid()) + ".ifc");
            std::ofstream(path, std::ios::binary) << GenerateIfcWalls({10000, 5});
            s = new Stage(path.string());
            std::filesystem::remove(path);
        } else {
            s = new Stage(std::string(BV_SOURCE_DIR) + "/tests/data/ifc/IfcOpenHouse.ifc");
        }
    }
    Host::SetCurrent(s->host.get());
    SetImportedFuncAddrs(s->host->Table().data());
    SetAddonToken(s->host->Addons().front()->token);
    return *s;
}

void BM_IfcMovieFrame(benchmark::State& state) {
    Stage& stage = TheStage(state.range(0) != 0);
    if (!stage.opened) {
        state.SkipWithError("the IFC file did not open");
        return;
    }
    auto movie = std::filesystem::temp_directory_path() / ("bv-bench-ifc-" + std::to_string(getpid()) + ".mov");
    {
        MOVCreator writer(movie.string(), 32, 1280, 720, 1000000, 10);
        for (auto _ : state) stage.Frame(writer);
    }
    std::filesystem::remove(movie);
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["elements"] = static_cast<double>(stage.host->Model().Elements().size());
}

} // namespace

BENCHMARK(BM_IfcMovieFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
