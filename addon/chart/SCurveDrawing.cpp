#include "chart/SCurveDrawing.h"

#include "dialogkit/DGCanvas.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace {

constexpr uint32_t kBackground = 0xFFFFFF, kGrid = 0xE0E0E0, kAxis = 0x404040, kText = 0x202020;
constexpr int32_t kLeft = 44, kRight = 12, kTop = 24, kBottom = 24;

// "2009-03-02".
std::string DayText(const DateTime& day) {
    DateTimeFields f;
    if (!day.GetFields(f)) return {};
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", f.year, f.month, f.day);
    return text;
}

} // namespace

void DrawSCurve(const SCurve& curve, const SCurveLegend& legend, DGCanvas& c) {
    const int32_t w = c.Width(), h = c.Height();
    c.FillRect(0, 0, w, h, kBackground);
    const int32_t x0 = kLeft, x1 = std::max(x0 + 1, w - kRight), y0 = std::max(kTop + 1, h - kBottom), y1 = kTop;
    for (int percent = 0; percent <= 100; percent += 25) {
        const int32_t y = y0 - (y0 - y1) * percent / 100;
        c.Line(x0, y, x1, y, percent == 0 ? kAxis : kGrid);
        c.DrawTextLeft(4, y - 6, std::to_string(percent) + "%", 0, 0, x0, h, kText);
    }
    c.Line(x0, y1, x0, y0, kAxis);
    // The legend, top right.
    int32_t lx = std::max(x0, x1 - DGCanvas::TextWidth(legend.planned) - DGCanvas::TextWidth(legend.actual) - 60);
    c.Line(lx, 10, lx + 16, 10, kSCurvePlannedColour, 2);
    c.DrawTextLeft(lx + 20, 4, legend.planned, 0, 0, w, kTop, kText);
    lx += 30 + DGCanvas::TextWidth(legend.planned);
    c.Line(lx, 10, lx + 16, 10, kSCurveActualColour, 2);
    c.DrawTextLeft(lx + 20, 4, legend.actual, 0, 0, w, kTop, kText);
    const size_t n = curve.points.size();
    if (n == 0) return;
    // Each day a step right, the curve through the days' ends.
    auto x = [&](double day) { return x0 + static_cast<int32_t>(std::lround(day * (x1 - x0) / static_cast<double>(n))); };
    auto y = [&](double percent) { return y0 - static_cast<int32_t>(std::lround(std::clamp(percent, 0.0, 100.0) * (y0 - y1) / 100.0)); };
    int32_t px = x(0), py = y(0), ax = px, ay = py;
    bool actualOn = true;
    for (size_t i = 0; i < n; ++i) {
        const SCurvePoint& p = curve.points[i];
        const int32_t nx = x(static_cast<double>(i + 1));
        const int32_t ny = y(p.planned);
        c.Line(px, py, nx, ny, kSCurvePlannedColour, 2);
        px = nx, py = ny;
        if (p.actual && actualOn) {
            const int32_t my = y(*p.actual);
            c.Line(ax, ay, nx, my, kSCurveActualColour, 2);
            ax = nx, ay = my;
        } else {
            actualOn = false;
        }
    }
    // The dates under the axis: the first day, the status date, the end of the last day.
    const int32_t textY = y0 + 5;
    c.DrawTextLeft(x0, textY, DayText(curve.points.front().day), 0, y0, w, h, kText);
    const std::string end = DayText(DateTime::FromTicks(curve.points.back().day.ticks + kTicksPerDay));
    c.DrawTextLeft(x1 - DGCanvas::TextWidth(end), textY, end, 0, y0, w, h, kText);
    // The status date: after the last day it knows, dashed.
    const int64_t days = (curve.status - curve.points.front().day).ticks / kTicksPerDay;
    if (days >= 0 && days <= static_cast<int64_t>(n)) {
        const int32_t sx = x(static_cast<double>(days));
        for (int32_t yy = y1; yy < y0; yy += 8) c.Line(sx, yy, sx, std::min(yy + 4, y0), kSCurveStatusColour, 2);
        // Named by its own day (it ends at the midnight after), beside the line's top.
        const std::string status = DayText(DateTime::FromTicks(curve.status.ticks - 1));
        c.DrawTextLeft(sx + 4, y1 + 2, status, x0, y1, w, y0, kSCurveStatusColour);
    }
}
