// Milliseconds a frame at 1280 x 720: the host's render (scene and pixels) of the 3D window and
// the photo window, for the example house and for a model of 10,000 elements, and the label
// drawn onto a frame.
#include "basekit/BKMemory.h"
#include "host/libparts/LabelDrawing.h"
#include "host/project/HostProjectFile.h"
#include "host/render/GraphicsOperations.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>

namespace {

void SetWindows(HostModel& m) {
    m.windows = {{"3d", {{"width", 1280}, {"height", 720}, {"background", {1, 1, 1}}}},
                 {"photo", {{"width", 1280}, {"height", 720}, {"background", {0.75, 0.85, 0.95}}}}};
}

std::unique_ptr<HostModel> House() {
    auto loaded = LoadHostProject(std::string(BV_SOURCE_DIR) + "/examples/house/house.qvp");
    if (!loaded.model) return nullptr;
    SetWindows(*loaded.model);
    return std::move(loaded.model);
}

// A housing estate: 400 houses of 25 elements each (walls, slabs, openings, furniture) on a grid.
std::unique_ptr<HostModel> Estate() {
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
    EnsureDefaultPens(*m);
    for (int h = 0; h < 400; ++h) {
        double x0 = (h % 20) * 14.0, y0 = (h / 20) * 14.0;
        for (int k = 0; k < 25; ++k) {
            Element e;
            int kind = k < 8 ? HostElement::Wall : k < 12 ? HostElement::Slab : k < 18 ? HostElement::Window : HostElement::Object;
            e.SetKind(kind);
            e.SetLayer(1);
            for (size_t off : {104, 108, 118, 120, 122}) LE::Put<int16_t>(e.Bytes(), off, static_cast<int16_t>(1 + (k + off) % 4));
            e.geometry.shape = Geometry::Shape::Box;
            double fx = x0 + (k % 5) * 2.0, fy = y0 + (k / 5) * 2.0, fz = (k % 3) * 3.0;
            e.geometry.min = {fx, fy, fz};
            e.geometry.max = {fx + 1.8, fy + 0.3 + (k % 2) * 1.5, fz + 2.8};
            m->AddElement(std::move(e));
        }
    }
    m->view = {{"eye", {-60, -60, 90}}, {"target", {140, 140, 0}}, {"up", {0, 0, 1}}, {"fov", 60}};
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

BENCHMARK(BM_House3D)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HousePhoto)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Estate3D)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EstatePhoto)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LabelOnFrame)->Unit(benchmark::kMillisecond);
