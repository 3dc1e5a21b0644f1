// One redraw of the schedule chart as the desktop makes it, in a 1280 x 720 window: the layout
// of every task (the rows scrolled off are laid out too: the arrows and the schedule's span need
// them), the drawing calls on the toolkit's canvas, and QPainter painting them on a picture.
//   BM_ChartRedraw/N   N tasks: a summary over every 20 rows, a milestone closing each, each task
//                      after the one before it (an arrow a row), names of 30 characters
//   BM_ChartRedraw/N, zoom in days or months: the same at the scale's two ends
// Counters: `ms` (a redraw, mean; the target is under 20 ms for 2,000 tasks), `ops` (canvas
// calls), `shown_rows`.
#include "DisplayWorld.h"
#include "chart/ChartColours.h"
#include "chart/ChartDrawing.h"
#include "chart/ChartLayout.h"
#include "chart/ChartTimeScale.h"
#include "desk/dialogs/CanvasPainter.h"
#include "dialogkit/DGCanvas.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <string>

namespace {

// The add-on's host with no elements, and a schedule of `tasks` rows.
struct ChartWorld : DisplayWorld {
    ChartTexts texts;

    explicit ChartWorld(int32_t tasks) : DisplayWorld(0, 0) {
        texts = ChartTexts::Load();
        DateTime day(2009, 3, 2);
        for (int32_t id = 1; id <= tasks; ++id) {
            Task t;
            t.id = id;
            t.type = static_cast<ConstructionType>(id % 5);
            TaskPlan plan;
            plan.uid = id;
            const int32_t inGroup = (id - 1) % 20;
            plan.summary = inGroup == 0;
            plan.milestone = inGroup == 19;
            plan.outlineLevel = plan.summary ? 1 : 2;
            t.start = day;
            t.finish = plan.milestone ? day : day + DateTimeSpan(3, 0, 0, 0);
            if (plan.summary) t.finish = day + DateTimeSpan(3 * 19, 0, 0, 0);
            else day = t.finish;
            if (inGroup > 1) plan.predecessors.push_back({id - 1, DependencyType::FinishToStart, 0, 7});
            t.percentComplete = id % 101;
            t.SetName("Feladat " + std::to_string(id) + " - falazas es vakolas");
            db.AppendLoadedTask(t, plan);
        }
        db.SetCurrentDate(DateTime(2009, 6, 1).EndOfDay(), false);
    }
};

void BM_ChartRedraw(benchmark::State& state) {
    const int32_t tasks = static_cast<int32_t>(state.range(0));
    ChartWorld w(tasks);
    ChartView view;
    view.zoom = static_cast<int>(state.range(1));
    view.firstRow = tasks / 2; // the middle: rows above and below are off the screen
    const std::array<uint32_t, 5> colours = ConstructionTypeColours();
    // Scrolled in time to the rows shown, as the planner would look at them.
    ChartGeometry first = LayOutChart(w.db, view, 1280, 720, colours, 0);
    if (!first.rows.empty()) view.scroll = first.rows.front().left - 200;
    QImage picture(1280, 720, QImage::Format_RGB32);
    size_t ops = 0, rows = 0;
    double total = 0;
    for (auto _ : state) {
        auto begin = std::chrono::steady_clock::now();
        ChartGeometry g = LayOutChart(w.db, view, 1280, 720, colours, view.firstRow + 3);
        DGCanvas canvas(1280, 720);
        DrawChart(g, w.texts, canvas);
        picture.fill(Qt::white);
        QPainter painter(&picture);
        PaintCanvas(canvas, painter);
        painter.end();
        total += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin).count();
        ops = canvas.Ops().size();
        rows = g.rows.size();
        benchmark::DoNotOptimize(picture.constBits());
    }
    state.counters["ms"] = total / static_cast<double>(state.iterations());
    state.counters["ops"] = static_cast<double>(ops);
    state.counters["shown_rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_ChartRedraw)
    ->ArgsProduct({{200, 2000, 20000}, {ChartTimeScale::kDefaultZoom}})
    ->Args({2000, 0})
    ->Args({2000, ChartTimeScale::kZoomLevels - 1})
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
