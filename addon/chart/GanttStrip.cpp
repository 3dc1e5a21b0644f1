#include "chart/GanttStrip.h"

#include "chart/ChartColours.h"
#include "chart/ChartDrawing.h"
#include "chart/ChartLayout.h"
#include "dialogkit/DGCanvas.h"
#include "schedule/tasks/TaskDB.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kDatePlace = 0.4;
constexpr int32_t kDialogTextPixels = 11;

int32_t Scaled(int32_t v, double k) { return static_cast<int32_t>(std::lround(v * k)); }

// The ops of a drawing made at 720p, at the frame's scale, their top at `top`.
void AppendScaled(const DGCanvas& from, double k, int32_t top, DGCanvas& to) {
    for (DGCanvasOp op : from.Ops()) {
        op.left = Scaled(op.left, k), op.right = Scaled(op.right, k), op.x = Scaled(op.x, k);
        op.top = Scaled(op.top, k) + top, op.bottom = Scaled(op.bottom, k) + top, op.y = Scaled(op.y, k) + top;
        for (DGPoint& p : op.points) p = {Scaled(p.x, k), Scaled(p.y, k) + top};
        op.width = std::max(1, Scaled(op.width, k));
        if (op.kind == DGCanvasOp::Kind::Text) op.textPixels = std::max(kDialogTextPixels, Scaled(kDialogTextPixels, k));
        to.Add(std::move(op));
    }
}

} // namespace

void DrawGanttStrip(const TaskDB& db, const ChartTexts& texts, int32_t width, int32_t height, double scale, int32_t top,
                    DGCanvas& canvas) {
    if (width < 1 || height < 1 || !(scale > 0)) return;
    int32_t baseWidth = std::max(1, static_cast<int32_t>(std::lround(width / scale)));
    int32_t baseHeight = std::max(1, static_cast<int32_t>(std::lround(height / scale)));
    const DateTime& date = db.CurrentDate();
    double day = static_cast<double>(DayOfTicks(date.ticks)) +
                 static_cast<double>(date.ticks - TicksOfDay(DayOfTicks(date.ticks))) / static_cast<double>(kTicksPerDay);

    ChartView view;
    ChartTimeScale unscrolled(ChartOriginDay(db), view.zoom, 0);
    view.scroll = unscrolled.X(day) - static_cast<int32_t>(baseWidth * kDatePlace);
    // The rows from the first one still running or to come, one before it for what just ended.
    const auto& tasks = db.Tasks();
    for (size_t i = 0; i < tasks.size(); ++i)
        if (tasks[i].IsValid() && date < tasks[i].finish) {
            view.firstRow = static_cast<int32_t>(i > 0 ? i - 1 : 0);
            break;
        }
    ChartGeometry g = LayOutChart(db, view, baseWidth, baseHeight, ConstructionTypeColours(), 0);
    DGCanvas strip(baseWidth, baseHeight);
    DrawChart(g, texts, strip);
    AppendScaled(strip, scale, top, canvas);
}
