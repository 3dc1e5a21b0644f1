#pragma once
// Draws the chart's geometry on a DialogKit canvas: the scale, the rows' bars, milestones and
// names, the dependency arrows, late work, and the lines of today, of the status date and of the current
// date.
#include "chart/ChartLayout.h"

class DGCanvas;

void DrawChart(const ChartGeometry& geometry, const ChartTexts& texts, DGCanvas& canvas);

// The colours the lines are drawn in (0x00BBGGRR).
constexpr uint32_t kChartCurrentDateColour = 0x0000D0;
constexpr uint32_t kChartTodayColour = 0xFF8000;
constexpr uint32_t kChartStatusDateColour = 0x008000;
constexpr uint32_t kChartLateColour = 0x0000FF;
constexpr uint32_t kChartBaselineColour = 0xB0B0B0;
constexpr uint32_t kChartArrowColour = 0x804000;
