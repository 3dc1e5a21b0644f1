// Milliseconds a movie frame takes at 1280 x 720, stage by stage and whole, for the example house
// and for a model of 10,000 elements.
//
// Every frame is a real, different frame: the schedule's date moves on (the building grows:
// twelve tasks, each element linked to one of them) and, for the camera-path frames, the camera
// steps along the example house's first camera path (32 positions round the house). No picture
// is repeated, so nothing can be served from a cache of the previous frame.
//
// Benchmarks (argument 0: the example house, 1: the estate of 10,000 elements):
//   BM_DisplayPass       the display pass at the next date (every linked element may change).
//   BM_Capture/3d|photo  the host's picture ("CIMG") of the next camera-path frame, camera placed
//                        by "CP3D"; no display pass.
//   BM_Label             the date label ("DLPM") drawn onto a copy of a clean frame, as the run
//                        does: the copy is part of the measured work.
//   BM_WriteQuickTime    handing a frame to the QuickTime writer; the frames are 32 different
//                        pictures of the camera path rendered beforehand.
//   BM_MovieFrame        one whole movie frame as the animation run makes it, without the movie
//                        writer: display pass at the next date, camera to the next position,
//                        capture, clean copy, label. Its counter "fps" is the frame rate target
//                        (photo window at least 15, 3D window at least 60).
//   BM_MovieFrameWritten the same with the QuickTime writer.
//   BM_FrameFloor        the least any frame must cost: a new 1280 x 720 32-bit picture with
//                        every pixel written once, its clean copy and its release. No geometry,
//                        no shading, no label; a memory-bandwidth floor for BM_MovieFrame.
// Times are wall-clock (UseRealTime); the CPU column is the whole process's processor time, every
// thread's: the renderer draws on every core.
#include "../StaggeredSchedule.h"
#include "MovieBenchModel.h"
#include "basekit/BKMemory.h"
#include "display/ElementHider.h"
#include "host/app/Host.h"
#include "host/project/HostProjectFile.h"
#include "hostapi/HostElementRecord.h"
#include "hostapi/HostLibPartRecord.h"
#include "hostapi/HostProjectionRecord.h"
#include "hostapi/HostSelectors.h"
#include "hostcalls/HostInterface.h"
#include "movie/LabelParts.h"
#include "movie/MOVCreator.h"
#include "pixkit/PXPixMap.h"
#include "schedule/tasks/AnimationSettings.h"
#include "schedule/tasks/TaskDB.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

namespace {

constexpr int kTasks = 12;
constexpr int kDays = 96; // the dates run over the whole schedule, then start again

struct Stage {
    std::unique_ptr<Host> host = std::make_unique<Host>();
    AnimationSettings settings;
    ElementHider hider;
    TaskDB db{settings, &hider};
    int day = 0;
    size_t position = 0;
    uint32_t positions = 0; // the camera path's positions, 224 bytes each
    std::array<uint8_t, HostLabelDraw::kSize> draw{};

    explicit Stage(bool estate) {
        Host::SetCurrent(host.get());
        AddonRegistration& reg = host->AddAddon("Bauvista");
        SetImportedFuncAddrs(host->Table().data());
        SetAddonToken(reg.token);
        std::unique_ptr<HostModel> model = MovieBenchModel(estate ? MovieBenchScene::Boxes : MovieBenchScene::House);
        if (estate) {
            // The house's camera path, scaled up to look over the estate.
            for (int c = 1; c <= 4; ++c) {
                Element cam;
                cam.SetKind(HostElement::Camera);
                cam.SetIndex(c);
                LE::Put<int32_t>(cam.Bytes(), HostElement::kCameraPathIndex, 1);
                LE::Put<int32_t>(cam.Bytes(), HostElement::kCameraNextIndex, c < 4 ? c + 1 : 0);
                double ex = c == 1 || c == 4 ? -60 : 360, ey = c <= 2 ? -60 : 360;
                cam.camera.eye = Vec3{ex, ey, 80};
                cam.camera.target = Vec3{150, 150, 0};
                model->AddElement(std::move(cam));
            }
            Element path;
            path.SetKind(HostElement::CameraPath);
            path.SetIndex(1);
            LE::Put<int32_t>(path.Bytes(), HostElement::kPathFirstCamera, 1);
            LE::Put<int32_t>(path.Bytes(), HostElement::kPathCameraFrames, 8);
            model->AddElement(std::move(path));
        }
        model->windows.view3D.Set(1280, 720, {1, 1, 1});
        model->windows.photo.Set(1280, 720, {0.75, 0.85, 0.95});
        host->ReplaceModel(std::move(model));
        hider.LoadResources();
        db.InitTaskDB();
        RegisterLabelParts();
        // Twelve tasks of five days, one after the other: the building grows over the dates.
        LinkStaggeredSchedule(db, host->Model(), kTasks);
        hider.Prepare(db);
        uint8_t on = 1;
        HostGraphics(kHostSelCaptureMode, &on, nullptr);
        std::vector<uint8_t> wrapper(HostCameraPathWrapper::kSize, 0);
        LE::Put<int32_t>(wrapper, HostCameraPathWrapper::kPathIndex, 1);
        wrapper[HostCameraPathWrapper::kOk] = 1;
        HostGraphics(kHostSelCameraPathPositions, wrapper.data(), &positions);

        std::array<uint8_t, HostLibPart::kSize> part{};
        std::u16string name = u"BV felirat";
        for (size_t i = 0; i < name.size(); ++i) LE::Put<uint16_t>(part, HostLibPart::kName + 2 * i, name[i]);
        HostLibPartSearch(part.data());
        BKDisposeHandle(LE::Get<uint32_t>(part, HostLibPart::kLocation));
        LE::Put<int32_t>(draw, HostLabelDraw::kLibPart, LE::Get<int32_t>(part, HostLibPart::kIndex));
        LE::Put<int32_t>(draw, HostLabelDraw::kFrame, 1);
        LE::Put<int32_t>(draw, HostLabelDraw::kFirstFrame, 1);
        LE::Put<int32_t>(draw, HostLabelDraw::kLastFrame, kDays);
    }
    ~Stage() {
        BKDisposeHandle(positions);
        ForgetHostTableForTests();
        Host::SetCurrent(nullptr);
    }
    size_t PositionCount() const { return BKHandleSize(positions) / HostCameraPosition::kSize; }
    // The display at the next date.
    void Pass() {
        day = (day + 1) % kDays;
        db.SetCurrentDate(DateTime(2009, 3, 1) + DateTimeSpan(day, 0, 0, 0), true);
        hider.BeginPass();
        hider.ShowAtCurrentDate(db, 1);
        hider.EndPass();
    }
    // The camera at the next position of the path.
    bool NextCamera() {
        size_t count = PositionCount();
        if (count == 0) return false;
        position = (position + 1) % count;
        std::array<uint8_t, HostProjection::kSize> projection{};
        projection[HostProjection::kPerspective] = 1;
        std::memcpy(projection.data() + HostProjection::kCamera, BKHandleData(positions) + position * HostCameraPosition::kSize,
                    HostCameraPosition::kSize);
        uint8_t zero = 0;
        return HostEnvironmentGet(kHostSelProjectionChange, projection.data(), &zero) == kHostNoError;
    }
    BKHandle Capture(bool use3D) {
        uint8_t bytes[2] = {static_cast<uint8_t>(use3D ? 1 : 0), 0};
        uint32_t picture = 0;
        HostGraphics(kHostSelWindowCapture, &picture, bytes);
        return picture;
    }
    void Label(BKHandle picture) {
        uint32_t handle = picture;
        HostGraphics(kHostSelLibPartDraw, &handle, draw.data());
    }
};

Stage& TheStage(bool estate) {
    static Stage* house = nullptr;
    static Stage* many = nullptr;
    Stage*& s = estate ? many : house;
    if (!s) s = new Stage(estate);
    Host::SetCurrent(s->host.get());
    SetImportedFuncAddrs(s->host->Table().data());
    SetAddonToken(s->host->Addons().front()->token);
    return *s;
}

BKHandle CopyPicture(BKHandle picture) {
    size_t size = BKHandleSize(picture);
    BKHandle copy = BKNewHandle(size);
    if (copy) std::memcpy(BKHandleData(copy), BKHandleData(picture), size);
    return copy;
}

void Fps(benchmark::State& state) {
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_DisplayPass(benchmark::State& state) {
    Stage& s = TheStage(state.range(0) != 0);
    for (auto _ : state) s.Pass();
}

void Capture(benchmark::State& state, bool use3D) {
    Stage& s = TheStage(state.range(0) != 0);
    for (auto _ : state) {
        if (!s.NextCamera()) {
            state.SkipWithError("no camera path");
            break;
        }
        BKDisposeHandle(s.Capture(use3D));
    }
    Fps(state);
}
void BM_Capture3D(benchmark::State& state) { Capture(state, true); }
void BM_CapturePhoto(benchmark::State& state) { Capture(state, false); }

void BM_Label(benchmark::State& state) {
    Stage& s = TheStage(state.range(0) != 0);
    s.NextCamera();
    BKHandle clean = s.Capture(true);
    for (auto _ : state) {
        BKHandle picture = CopyPicture(clean);
        s.Label(picture);
        BKDisposeHandle(picture);
    }
    BKDisposeHandle(clean);
}

void BM_WriteQuickTime(benchmark::State& state) {
    Stage& s = TheStage(state.range(0) != 0);
    std::vector<BKHandle> frames;
    for (size_t i = 0; i < s.PositionCount(); ++i) {
        s.Pass();
        s.NextCamera();
        frames.push_back(s.Capture(false));
    }
    if (frames.empty()) {
        state.SkipWithError("no camera path");
        return;
    }
    auto path = std::filesystem::temp_directory_path() / "bv-bench-frames.mov";
    {
        MOVCreator writer(path.string(), 32, 1280, 720, 1000000, 10);
        size_t i = 0;
        for (auto _ : state) writer.AddFrame(frames[i++ % frames.size()]);
    }
    std::filesystem::remove(path);
    for (BKHandle h : frames) BKDisposeHandle(h);
    Fps(state);
}

void MovieFrame(benchmark::State& state, bool use3D, MOVCreator* writer) {
    Stage& s = TheStage(state.range(0) != 0);
    for (auto _ : state) {
        s.Pass();
        if (!s.NextCamera()) {
            state.SkipWithError("no camera path");
            break;
        }
        BKHandle picture = s.Capture(use3D);
        BKHandle clean = CopyPicture(picture);
        s.Label(picture);
        if (writer) writer->AddFrame(picture);
        benchmark::DoNotOptimize(BKHandleData(picture));
        BKDisposeHandle(picture);
        BKDisposeHandle(clean);
    }
    Fps(state);
}
void BM_MovieFrame3D(benchmark::State& state) { MovieFrame(state, true, nullptr); }
void BM_MovieFramePhoto(benchmark::State& state) { MovieFrame(state, false, nullptr); }

void MovieFrameWritten(benchmark::State& state, bool use3D) {
    auto path = std::filesystem::temp_directory_path() / "bv-bench-movie.mov";
    {
        MOVCreator writer(path.string(), 32, 1280, 720, 1000000, 10);
        MovieFrame(state, use3D, &writer);
    }
    std::filesystem::remove(path);
}
void BM_MovieFrameWritten3D(benchmark::State& state) { MovieFrameWritten(state, true); }
void BM_MovieFrameWrittenPhoto(benchmark::State& state) { MovieFrameWritten(state, false); }

void BM_FrameFloor(benchmark::State& state) {
    uint32_t value = 0;
    for (auto _ : state) {
        BKHandle picture = PXNewPixMap(1280, 720, PXPixelFormat::Rgb32);
        auto info = PXReadPixMapInfo(picture);
        auto* pixels = reinterpret_cast<uint32_t*>(BKHandleData(picture) + info->pixelOffset);
        std::fill_n(pixels, 1280 * 720, ++value & 0xFFFFFFu);
        BKHandle clean = CopyPicture(picture);
        benchmark::DoNotOptimize(BKHandleData(clean));
        BKDisposeHandle(picture);
        BKDisposeHandle(clean);
    }
    Fps(state);
}

} // namespace

BENCHMARK(BM_DisplayPass)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Capture3D)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK(BM_CapturePhoto)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK(BM_Label)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK(BM_WriteQuickTime)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK(BM_MovieFrame3D)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK(BM_MovieFramePhoto)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK(BM_MovieFrameWritten3D)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK(BM_MovieFrameWrittenPhoto)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK(BM_FrameFloor)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
