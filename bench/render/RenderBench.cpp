// Milliseconds a frame at 1280 x 720: the host's render (scene and pixels) of the 3D window and
// the photo window, for the example house and for a model of 10,000 elements, and the label
// drawn onto a frame.
//
//   BM_House3D, BM_HousePhoto, BM_Estate3D, BM_EstatePhoto: one fixed view, scene built and
//       drawn every time (the shadow map may be reused, as the geometry stays).
//   BM_EstateGlass3D, BM_EstateGlassPhoto: the estate with its 2,400 windows of glass, blended
//       over the rooms and walls behind them (the example house has glass in its seven windows).
//   BM_HousePath3D, BM_HousePathPhoto: a different view every frame, the camera walking round
//       the house between its four path cameras (32 positions); counter "fps".
//   BM_PathPhotoThreads/N, BM_PathPhotoNewSun/N: the photo along the path drawn by a renderer
//       of N threads (same pixels whatever N); NewSun moves the sun a little every frame, so
//       the shadow map is built again each time, as when the date changes what stands.
//   BM_FloorFill: the floor of every frame above, the least any renderer must do: write each
//       of the 1280 x 720 pixels once (one thread). No scene, no depth, no shading.
// Times are wall-clock (UseRealTime); the CPU column is the whole process's processor time, every
// thread's: the renderer draws on every core.
#include "basekit/BKMemory.h"
#include "host/libparts/LabelDrawing.h"
#include "host/project/HostProjectFile.h"
#include "host/render/Renderer.h"
#include "host/render/WindowPictures.h"

#include <algorithm>

#include <benchmark/benchmark.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>

namespace {

void SetWindows(HostModel& m) {
    m.windows.view3D.Set(1280, 720, {1, 1, 1});
    m.windows.photo.Set(1280, 720, {0.75, 0.85, 0.95});
}

std::unique_ptr<HostModel> House() {
    auto loaded = LoadHostProject(std::string(BV_SOURCE_DIR) + "/examples/house/house.qvp");
    if (!loaded.model) return nullptr;
    SetWindows(*loaded.model);
    return std::move(loaded.model);
}

// A housing estate: 400 houses of 25 elements each (walls, slabs, openings, furniture) on a grid;
// the windows of glass if asked.
std::unique_ptr<HostModel> Estate(bool glass = false) {
    auto m = std::make_unique<HostModel>();
    m->CreateAttribute(HostAttribute::Layer, MakeAttributeRecord(HostAttribute::Layer, "Layer"));
    for (int i = 0; i < 4; ++i) {
        auto r = MakeAttributeRecord(HostAttribute::Material, "M" + std::to_string(i));
        double c = 0.3 + 0.15 * i;
        uint64_t bits;
        std::memcpy(&bits, &c, 8);
        for (size_t off : {HostAttribute::kMatSurfaceRed, HostAttribute::kMatSurfaceGreen, HostAttribute::kMatSurfaceBlue})
            LE::Put<uint64_t>(r, off, bits);
        m->CreateAttribute(HostAttribute::Material, r);
    }
    int16_t glassMaterial = 0;
    if (glass) {
        auto r = MakeAttributeRecord(HostAttribute::Material, "Glass");
        double c = 0.8;
        uint64_t bits;
        std::memcpy(&bits, &c, 8);
        for (size_t off : {HostAttribute::kMatSurfaceRed, HostAttribute::kMatSurfaceGreen, HostAttribute::kMatSurfaceBlue})
            LE::Put<uint64_t>(r, off, bits);
        LE::Put<int16_t>(r, HostAttribute::kMatTransparency, 60);
        glassMaterial = m->CreateAttribute(HostAttribute::Material, r);
    }
    EnsureDefaultPens(*m);
    for (int h = 0; h < 400; ++h) {
        double x0 = (h % 20) * 14.0, y0 = (h / 20) * 14.0;
        for (int k = 0; k < 25; ++k) {
            Element e;
            int kind = k < 8 ? HostElement::Wall : k < 12 ? HostElement::Slab : k < 18 ? HostElement::Window : HostElement::Object;
            e.SetKind(kind);
            e.SetLayer(1);
            for (size_t off : {104, 108, 118, 120, 122}) LE::Put<int16_t>(e.Bytes(), off, static_cast<int16_t>(1 + (k + off) % 4));
            if (glassMaterial && kind == HostElement::Window) LE::Put<int16_t>(e.Bytes(), 108, glassMaterial);
            e.geometry.shape = Geometry::Shape::Box;
            double fx = x0 + (k % 5) * 2.0, fy = y0 + (k / 5) * 2.0, fz = (k % 3) * 3.0;
            e.geometry.min = {fx, fy, fz};
            e.geometry.max = {fx + 1.8, fy + 0.3 + (k % 2) * 1.5, fz + 2.8};
            m->AddElement(std::move(e));
        }
    }
    m->view.SetCamera({.eye = {-60, -60, 90}, .target = {140, 140, 0}, .up = {0, 0, 1}, .fov = 60});
    SetWindows(*m);
    return m;
}

void Render(benchmark::State& state, HostModel* model, RenderStyle style) {
    if (!model) {
        state.SkipWithError("no model");
        return;
    }
    for (auto _ : state) {
        Image image = RenderWindow(*model, style);
        benchmark::DoNotOptimize(image.pixels.data());
    }
    state.counters["elements"] = static_cast<double>(model->Elements().size());
}

void BM_House3D(benchmark::State& s) {
    auto m = House();
    Render(s, m.get(), RenderStyle::Window3D);
}
void BM_HousePhoto(benchmark::State& s) {
    auto m = House();
    Render(s, m.get(), RenderStyle::Photo);
}
void BM_Estate3D(benchmark::State& s) {
    auto m = Estate();
    Render(s, m.get(), RenderStyle::Window3D);
}
void BM_EstatePhoto(benchmark::State& s) {
    auto m = Estate();
    Render(s, m.get(), RenderStyle::Photo);
}
void BM_EstateGlass3D(benchmark::State& s) {
    auto m = Estate(true);
    Render(s, m.get(), RenderStyle::Window3D);
}
void BM_EstateGlassPhoto(benchmark::State& s) {
    auto m = Estate(true);
    Render(s, m.get(), RenderStyle::Photo);
}

// The house's first camera path: its four cameras, eight steps from one to the next, a loop.
std::vector<ViewCamera> HousePath(const HostModel& m) {
    ViewCamera base = m.view.Camera();
    std::vector<ViewCamera> corners;
    for (const Vec3& eye : {Vec3{-12, -14, 6}, Vec3{22, -14, 6}, Vec3{22, 22, 8}, Vec3{-12, 22, 8}})
        if (auto c = CameraOfElement({.eye = eye, .target = Vec3{5, 4, 3}, .fov = {}}, base)) corners.push_back(*c);
    std::vector<ViewCamera> path;
    for (size_t i = 0; i < corners.size(); ++i)
        for (int k = 0; k < 8; ++k) path.push_back(Between(corners[i], corners[(i + 1) % corners.size()], k / 8.0));
    return path;
}

void Fps(benchmark::State& state) {
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void RenderPath(benchmark::State& state, RenderStyle style) {
    auto m = House();
    if (!m) {
        state.SkipWithError("no model");
        return;
    }
    auto path = HousePath(*m);
    size_t i = 0;
    for (auto _ : state) {
        m->view.SetCamera(path[i++ % path.size()]);
        Image image = RenderWindow(*m, style);
        benchmark::DoNotOptimize(image.pixels.data());
    }
    Fps(state);
}
void BM_HousePath3D(benchmark::State& s) { RenderPath(s, RenderStyle::Window3D); }
void BM_HousePathPhoto(benchmark::State& s) { RenderPath(s, RenderStyle::Photo); }

void PathPhoto(benchmark::State& state, bool newSun) {
    auto m = House();
    if (!m) {
        state.SkipWithError("no model");
        return;
    }
    auto path = HousePath(*m);
    Renderer renderer(static_cast<int32_t>(state.range(0)));
    Scene scene = BuildScene(*m);
    Image image{1280, 720, std::vector<uint32_t>(1280u * 720u)};
    size_t i = 0;
    for (auto _ : state) {
        ViewCamera c = path[i % path.size()];
        if (newSun) c.sunAzimuth += static_cast<double>(i % 64) * 0.25;
        ++i;
        renderer.Render(scene, c, ViewOf(image), RenderStyle::Photo, {0.75f, 0.85f, 0.95f});
        benchmark::DoNotOptimize(image.pixels.data());
    }
    Fps(state);
}
void BM_PathPhotoThreads(benchmark::State& s) { PathPhoto(s, false); }
void BM_PathPhotoNewSun(benchmark::State& s) { PathPhoto(s, true); }

void BM_FloorFill(benchmark::State& state) {
    Image image{1280, 720, std::vector<uint32_t>(1280u * 720u)};
    uint32_t v = 0;
    for (auto _ : state) {
        std::fill(image.pixels.begin(), image.pixels.end(), ++v & 0xFFFFFFu);
        benchmark::DoNotOptimize(image.pixels.data());
    }
    Fps(state);
}

void BM_LabelOnFrame(benchmark::State& state) {
    std::ifstream in(std::string(BV_SOURCE_DIR) + "/addon/resources/labels/BV felirat.vtm", std::ios::binary);
    std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    LibPartRegistry parts;
    std::string error;
    int32_t index = parts.Register("bench", "BV felirat.vtm", bytes, error);
    if (index == 0) {
        state.SkipWithError(error.c_str());
        return;
    }
    auto params = MakeTextParam("qv_datestring", u"2009.03.02 10:30");
    auto proportion = MakeNumberParam("qv_sidepropotion", 720.0 / 1280.0);
    params.insert(params.end(), proportion.begin(), proportion.end());
    Image frame{1280, 720, std::vector<uint32_t>(1280u * 720u, 0xC0D0E0u)};
    for (auto _ : state) {
        Image copy = frame; // the run draws on a copy of the clean picture each frame
        DrawLabelPart(copy, *parts.ByIndex(index), params);
        benchmark::DoNotOptimize(copy.pixels.data());
    }
}

} // namespace

BENCHMARK(BM_House3D)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK(BM_HousePhoto)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK(BM_Estate3D)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK(BM_EstatePhoto)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK(BM_EstateGlass3D)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK(BM_EstateGlassPhoto)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK(BM_HousePath3D)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK(BM_HousePathPhoto)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK(BM_PathPhotoThreads)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK(BM_PathPhotoNewSun)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK(BM_FloorFill)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK(BM_LabelOnFrame)->Unit(benchmark::kMillisecond);
