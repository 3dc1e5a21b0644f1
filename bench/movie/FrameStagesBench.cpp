// Milliseconds a movie frame takes at 1280 x 720, stage by stage, for the example house and for a
// model of 10,000 elements: the display pass (every linked element changes), the capture of the
// 3D window, the date label, and the writing of the frame (QuickTime Animation).
#include "basekit/BKMemory.h"
#include "display/ElementHider.h"
#include "host/ops/Host.h"
#include "host/project/HostProjectFile.h"
#include "hostapi/HostLibPartRecord.h"
#include "hostapi/HostSelectors.h"
#include "hostcalls/HostInterface.h"
#include "movie/LabelParts.h"
#include "movie/MOVCreator.h"
#include "schedule/AnimationSettings.h"
#include "schedule/TaskDB.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

namespace {

struct Stage {
    std::unique_ptr<Host> host = std::make_unique<Host>();
    AnimationSettings settings;
    ElementHider hider;
    TaskDB db{settings, &hider};
    bool underWork = false;

    explicit Stage(bool estate) {
        Host::SetCurrent(host.get());
        AddonRegistration& reg = host->AddAddon("Bauvista");
        SetImportedFuncAddrs(host->Table().data());
        SetAddonToken(reg.token);
        std::unique_ptr<HostModel> model;
        if (!estate) {
            model = std::move(LoadHostProject(std::string(BV_SOURCE_DIR) + "/examples/house/house.qvp").model);
        } else {
            model = std::make_unique<HostModel>();
            model->CreateAttribute(HostAttribute::Layer, MakeAttributeRecord(HostAttribute::Layer, "Alap"));
            model->CreateAttribute(HostAttribute::Material, MakeAttributeRecord(HostAttribute::Material, "Beton"));
            EnsureDefaultPens(*model);
            for (int i = 0; i < 10000; ++i) {
                Element e;
                e.SetKind(i % 5 == 0 ? HostElement::Slab : HostElement::Wall);
                e.SetLayer(1);
                e.SetIdText("E-" + std::to_string(i));
                LE::Put<int16_t>(e.Bytes(), 104, 3);
                LE::Put<int16_t>(e.Bytes(), 118, 1);
                double x = (i % 100) * 3.0, y = (i / 100) * 3.0;
                e.geometry.shape = Geometry::Shape::Box;
                e.geometry.min = {x, y, 0};
                e.geometry.max = {x + 2.5, y + 0.3, 3};
                model->AddElement(std::move(e));
            }
            model->view = {{"eye", {-60, -60, 80}}, {"target", {150, 150, 0}}, {"up", {0, 0, 1}}, {"fov", 60}};
        }
        model->windows = {{"3d", {{"width", 1280}, {"height", 720}, {"background", {1, 1, 1}}}},
                          {"photo", {{"width", 1280}, {"height", 720}, {"background", {0.75, 0.85, 0.95}}}}};
        host->ReplaceModel(std::move(model));
        hider.LoadResources();
        db.InitTaskDB();
        RegisterLabelParts();
        Task t;
        t.id = 1;
        t.start = DateTime(2009, 3, 1);
        t.finish = DateTime(2009, 3, 30);
        db.AppendLoadedTask(t);
        ElementLinkRecord link;
        link.SetSlot(0, 1);
        for (const auto& e : host->Model().Elements())
            if (IElementDisplay::IsDisplayableKind(e->Kind()))
                e->userData["Bauvista"] = UserDataBlock{103, 0x5757, {link.bytes.begin(), link.bytes.end()}};
        hider.Prepare(db);
    }
    ~Stage() {
        ForgetHostTableForTests();
        Host::SetCurrent(nullptr);
    }
    void Pass() {
        underWork = !underWork;
        db.SetCurrentDate(underWork ? DateTime(2009, 3, 10) : DateTime(2009, 4, 10), true);
        hider.BeginPass();
        hider.ShowAtCurrentDate(db, 1);
        hider.EndPass();
    }
    BKHandle Capture() {
        uint8_t bytes[2] = {1, 1};
        uint32_t picture = 0;
        HostGraphics(kHostSelWindowCapture, &picture, bytes);
        return picture;
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

void BM_DisplayPass(benchmark::State& state) {
    Stage& s = TheStage(state.range(0) != 0);
    for (auto _ : state) s.Pass();
}

void BM_Capture(benchmark::State& state) {
    Stage& s = TheStage(state.range(0) != 0);
    for (auto _ : state) BKDisposeHandle(s.Capture());
}

void BM_Label(benchmark::State& state) {
    Stage& s = TheStage(state.range(0) != 0);
    BKHandle picture = s.Capture();
    std::array<uint8_t, HostLibPart::kSize> part{};
    std::u16string name = u"BV felirat";
    for (size_t i = 0; i < name.size(); ++i) LE::Put<uint16_t>(part, HostLibPart::kName + 2 * i, name[i]);
    HostLibPartSearch(part.data());
    BKDisposeHandle(LE::Get<uint32_t>(part, HostLibPart::kLocation));
    std::array<uint8_t, HostLabelDraw::kSize> draw{};
    LE::Put<int32_t>(draw, HostLabelDraw::kLibPart, LE::Get<int32_t>(part, HostLibPart::kIndex));
    LE::Put<int32_t>(draw, HostLabelDraw::kFrame, 1);
    LE::Put<int32_t>(draw, HostLabelDraw::kFirstFrame, 1);
    LE::Put<int32_t>(draw, HostLabelDraw::kLastFrame, 10);
    for (auto _ : state) {
        uint32_t handle = picture;
        HostGraphics(kHostSelLibPartDraw, &handle, draw.data());
    }
    BKDisposeHandle(picture);
}

void BM_WriteQuickTime(benchmark::State& state) {
    Stage& s = TheStage(state.range(0) != 0);
    BKHandle picture = s.Capture();
    auto path = std::filesystem::temp_directory_path() / "bv-bench-frames.mov";
    {
        MOVCreator writer(path.string(), 32, 1280, 720, 1000000, 10);
        for (auto _ : state) writer.AddFrame(picture);
    }
    std::filesystem::remove(path);
    BKDisposeHandle(picture);
}

BENCHMARK(BM_DisplayPass)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Capture)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Label)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteQuickTime)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
