// Frames a second while the user orbits the example house in a 1280 x 720 3D window: each
// iteration is one mouse step, the camera moved and the widget painted (the coarse picture
// drawn while the mouse moves, and the full one it settles to).
#include "desk/views/ModelView.h"
#include "host/app/Host.h"

#include <QApplication>
#include <QMouseEvent>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

struct Window {
    Window() {
        Host::SetCurrent(&host);
        std::string error;
        host.OpenProject(BV_SOURCE_DIR "/examples/house/house.qvp", error);
        view = std::make_unique<ModelView>(host, RenderStyle::Window3D, nullptr);
        view->resize(1280, 720);
    }
    ~Window() { Host::SetCurrent(nullptr); }
    Host host;
    std::unique_ptr<ModelView> view;
};

void Orbit(benchmark::State& state, bool whileMoving) {
    Window w;
    QPoint at(640, 360);
    if (whileMoving) {
        QMouseEvent press(QEvent::MouseButtonPress, at, at, Qt::RightButton, Qt::RightButton, Qt::NoModifier);
        QApplication::sendEvent(w.view.get(), &press);
    }
    for (auto _ : state) {
        if (whileMoving) {
            at += QPoint(6, 0);
            QMouseEvent move(QEvent::MouseMove, at, at, Qt::NoButton, Qt::RightButton, Qt::NoModifier);
            QApplication::sendEvent(w.view.get(), &move);
        } else {
            w.view->OrbitBy(2, 0);
        }
        benchmark::DoNotOptimize(w.view->grab());
    }
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_OrbitWhileDragging(benchmark::State& state) { Orbit(state, true); }
void BM_OrbitFullPicture(benchmark::State& state) { Orbit(state, false); }
BENCHMARK(BM_OrbitWhileDragging)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_OrbitFullPicture)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
