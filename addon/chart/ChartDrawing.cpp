#include "chart/ChartDrawing.h"

#include "chart/ChartColours.h"
#include "dialogkit/DGCanvas.h"

#include <algorithm>

namespace {

constexpr uint32_t kBackground = 0xFFFFFF;
constexpr uint32_t kGrid = 0xE0E0E0;
constexpr uint32_t kScaleBackground = 0xF4F0F0;
constexpr uint32_t kScaleLine = 0xA0A0A0;
constexpr uint32_t kWeekend = 0xF4F4F4;
constexpr uint32_t kSelected = 0xFFE8CC;
constexpr uint32_t kText = 0x000000;

void DrawBand(const std::vector<ChartScaleCell>& cells, int32_t top, const ChartGeometry& g, DGCanvas& c) {
    const int32_t bottom = top + ChartGeometry::kScaleHeight / 2;
    for (const ChartScaleCell& cell : cells) {
        if (cell.weekend) c.FillRect(cell.left, top, cell.right, g.height, kWeekend);
        c.Line(cell.left, top, cell.left, bottom - 1, kScaleLine);
        c.DrawTextLeft(std::max(cell.left, 0) + 3, top + 3, cell.label, cell.left + 1, top, cell.right, bottom, kText);
    }
    c.Line(0, bottom - 1, g.width - 1, bottom - 1, kScaleLine);
}

int32_t Middle(const ChartRowGeometry& r) { return r.top + (ChartGeometry::kBarTop + ChartGeometry::kBarBottom) / 2; }

void DrawArrow(const ChartRowGeometry& from, const ChartRowGeometry& to, DependencyType type, DGCanvas& c) {
    const bool fromFinish = type == DependencyType::FinishToStart || type == DependencyType::FinishToFinish;
    const bool toStart = type == DependencyType::FinishToStart || type == DependencyType::StartToStart;
    int32_t x1 = fromFinish ? from.right : from.left, y1 = Middle(from);
    int32_t x2 = toStart ? to.left : to.right, y2 = Middle(to);
    int32_t xm = fromFinish ? x1 + 6 : x1 - 6;
    int32_t xe = toStart ? x2 - 6 : x2 + 6; // where the arrow turns into its row
    c.Line(x1, y1, xm, y1, kChartArrowColour);
    if ((toStart && xe >= xm) || (!toStart && xe <= xm)) {
        c.Line(xm, y1, xm, y2, kChartArrowColour);
        c.Line(xm, y2, x2, y2, kChartArrowColour);
    } else { // the target lies behind the source: round it between the rows
        int32_t yb = y2 > y1 ? to.top : to.top + ChartGeometry::kRowHeight;
        c.Line(xm, y1, xm, yb, kChartArrowColour);
        c.Line(xm, yb, xe, yb, kChartArrowColour);
        c.Line(xe, yb, xe, y2, kChartArrowColour);
        c.Line(xe, y2, x2, y2, kChartArrowColour);
    }
    int32_t d = toStart ? -4 : 4;
    c.Polygon({{x2, y2}, {x2 + d, y2 - 3}, {x2 + d, y2 + 3}}, kChartArrowColour);
}

void DrawRow(const ChartRowGeometry& r, const ChartGeometry& g, DGCanvas& c) {
    const int32_t bottom = r.top + ChartGeometry::kRowHeight;
    if (r.row == g.selectedRow) c.FillRect(0, r.top, g.width, bottom, kSelected);
    c.Line(0, bottom - 1, g.width - 1, bottom - 1, kGrid);
    if (r.hasChildren) {
        int32_t x = 2 + (r.level > 0 ? r.level - 1 : 0) * ChartGeometry::kOutlineIndent, y = r.top + 5;
        c.FillRect(x, y, x + 9, y + 9, kBackground);
        c.FrameRect(x, y, x + 9, y + 9, kScaleLine);
        c.Line(x + 2, y + 4, x + 6, y + 4, kText);
        if (r.collapsed) c.Line(x + 4, y + 2, x + 4, y + 6, kText);
    }
    if (!r.valid) return;
    int32_t nameX = r.right + 6;
    if (r.milestone) {
        int32_t y = Middle(r);
        c.Polygon({{r.left, y - 6}, {r.left + 6, y}, {r.left, y + 6}, {r.left - 6, y}}, r.colour);
        nameX = r.left + 10;
    } else if (r.summary) {
        int32_t t = r.top + ChartGeometry::kBarTop + 1;
        c.FillRect(r.left, t, r.right, t + 5, r.colour);
        c.Polygon({{r.left, t + 5}, {r.left + 5, t + 5}, {r.left, t + 10}}, r.colour);
        c.Polygon({{r.right - 1, t + 5}, {r.right - 6, t + 5}, {r.right - 1, t + 10}}, r.colour);
    } else {
        int32_t t = r.top + ChartGeometry::kBarTop, b = r.top + ChartGeometry::kBarBottom;
        c.FillRect(r.left, t, r.right, b, Lighter(r.colour, 0.65));
        if (r.doneRight > r.left) c.FillRect(r.left, t, r.doneRight, b, r.colour);
        c.FrameRect(r.left, t, r.right, b, Darker(r.colour, 0.45));
    }
    if (r.hasBaseline)
        c.FillRect(r.baselineLeft, r.top + ChartGeometry::kActualTop, r.baselineRight, r.top + ChartGeometry::kActualBottom,
                   kChartBaselineColour);
    if (r.hasActual)
        c.FillRect(r.actualLeft, r.top + ChartGeometry::kActualTop, std::max(r.actualRight, r.actualLeft + 1),
                   r.top + ChartGeometry::kActualBottom, Darker(r.colour == 0 ? 0x808080 : r.colour, 0.35));
    if (r.late) {
        // A red flag past the bar's finish: behind plan at the status date.
        const int32_t x = r.right + 2, y = r.top + ChartGeometry::kBarTop;
        c.Polygon({{x, y}, {x + 7, y + 5}, {x, y + 10}}, kChartLateColour);
        nameX += 9;
    }
    c.DrawTextLeft(nameX, r.top + 3, r.name, nameX, r.top, g.width, bottom, kText);
}

} // namespace

void DrawChart(const ChartGeometry& g, const ChartTexts& texts, DGCanvas& c) {
    c.FillRect(0, 0, g.width, g.height, kBackground);
    c.FillRect(0, 0, g.width, ChartGeometry::kScaleHeight, kScaleBackground);
    DrawBand(g.scale.Band(g.scale.Upper(), g.width, texts, true), 0, g, c);
    DrawBand(g.scale.Band(g.scale.Lower(), g.width, texts, false), ChartGeometry::kScaleHeight / 2, g, c);
    for (const ChartRowGeometry& r : g.rows) DrawRow(r, g, c);
    for (const ChartRowGeometry& r : g.rows)
        for (const ChartDependencyLine& d : r.predecessors)
            if (const ChartRowGeometry* from = g.Row(d.fromRow); from && from->valid && r.valid) DrawArrow(*from, r, d.type, c);
    c.Line(g.todayX, ChartGeometry::kScaleHeight, g.todayX, g.height - 1, kChartTodayColour);
    if (g.hasStatus) {
        // The status date: dashed, so it reads apart from today's line.
        for (int32_t y = ChartGeometry::kScaleHeight; y < g.height; y += 8)
            c.Line(g.statusX, y, g.statusX, std::min(y + 4, g.height - 1), kChartStatusDateColour, 2);
        c.Polygon({{g.statusX - 5, ChartGeometry::kScaleHeight}, {g.statusX + 5, ChartGeometry::kScaleHeight},
                   {g.statusX, ChartGeometry::kScaleHeight + 7}}, kChartStatusDateColour);
    }
    c.Line(g.currentX, 0, g.currentX, g.height - 1, kChartCurrentDateColour, 3);
    c.Polygon({{g.currentX - 6, 0}, {g.currentX + 6, 0}, {g.currentX, 8}}, kChartCurrentDateColour);
}
