#pragma once
// Draws an S-curve on a DialogKit canvas: the percent grid, the planned line, the actual line up
// to the status date, and the status date's line.
#include "schedule/tasks/SCurve.h"

#include <cstdint>
#include <string>

class DGCanvas;

struct SCurveLegend {
    std::string planned, actual; // 8-bit
};

void DrawSCurve(const SCurve& curve, const SCurveLegend& legend, DGCanvas& canvas);

// The colours the lines are drawn in (0x00BBGGRR).
constexpr uint32_t kSCurvePlannedColour = 0xC06000;
constexpr uint32_t kSCurveActualColour = 0x0000D0;
constexpr uint32_t kSCurveStatusColour = 0x008000;
