#pragma once
// Where everything of the chart lies, worked out from the schedule and the chart's view: the
// time scale, one row a palette row that no collapsed summary hides, each with its bar, its part
// done, its actual dates and its dependencies, and the lines of today and of the current date.
// Drawing, the mouse and `print chart` all read this one geometry.
#include "chart/ChartTimeScale.h"
#include "schedule/tasks/TaskPlan.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

class TaskDB;

// What the user chose to see: zoom, scroll in time (pixels) and in rows, collapsed summaries.
struct ChartView {
    int zoom = ChartTimeScale::kDefaultZoom;
    int32_t scroll = 0;
    int32_t firstRow = 0;          // rows scrolled off the top
    std::set<int32_t> collapsed;   // task ids of collapsed summary rows
};

// A bar being dragged, drawn where the drag would put it.
struct ChartBarPreview {
    enum class Part { None, Move, Start, Finish };
    int32_t row = 0;
    int32_t lastRow = 0; // a summary moves the rows under it with it; 0: the row alone
    Part part = Part::None;
    int32_t days = 0;
    bool Covers(int32_t r) const { return row != 0 && r >= row && r <= std::max(row, lastRow); }
};

struct ChartDependencyLine {
    int32_t fromRow = 0; // palette rows
    DependencyType type = DependencyType::FinishToStart;
};

struct ChartRowGeometry {
    int32_t row = 0;       // palette row (from 1)
    int32_t taskId = 0;
    std::string name;      // 8-bit
    bool summary = false, milestone = false, valid = false;
    bool hasChildren = false, collapsed = false;
    uint16_t level = 0;
    int32_t top = 0;       // pixel of the row's top
    int32_t left = 0, right = 0, doneRight = 0; // the bar; a milestone's diamond centres on left
    int32_t percent = 0;
    bool hasActual = false;
    int32_t actualLeft = 0, actualRight = 0;
    bool late = false;     // behind its plan at the status date (only once one is set)
    bool hasBaseline = false; // the last baseline kept holds the task: its dates then
    int32_t baselineLeft = 0, baselineRight = 0;
    uint32_t colour = 0;   // 0x00BBGGRR
    std::vector<ChartDependencyLine> predecessors;
};

struct ChartGeometry {
    static constexpr int32_t kScaleHeight = 40; // two bands of 20
    static constexpr int32_t kRowHeight = 20;
    static constexpr int32_t kBarTop = 4, kBarBottom = 14, kActualTop = 15, kActualBottom = 18;
    static constexpr int32_t kOutlineIndent = 10; // the outline boxes' step by level

    int32_t width = 0, height = 0;
    ChartTimeScale scale{0, ChartTimeScale::kDefaultZoom, 0};
    std::vector<ChartRowGeometry> rows; // shown rows, top to bottom, from the view's first row
    int32_t shownRowCount = 0;          // rows no collapsed summary hides, scrolled off or not
    int32_t currentX = 0, todayX = 0;
    int64_t currentDay = 0, todayDay = 0;
    bool hasStatus = false;             // a status date is set: its line, and late work marked
    int32_t statusX = 0;
    int64_t statusDay = 0;              // the status date's own day
    int64_t firstDay = 0, endDay = 0;   // the schedule's span: first start, day after the last finish
    int32_t selectedRow = 0;
    bool planned = false;

    const ChartRowGeometry* RowAt(int32_t y) const;
    const ChartRowGeometry* Row(int32_t paletteRow) const;
};

ChartGeometry LayOutChart(const TaskDB& db, const ChartView& view, int32_t width, int32_t height,
                          const std::array<uint32_t, 5>& typeColours, int32_t selectedRow,
                          const ChartBarPreview& preview = {});

// The day the chart starts on: a week before the Monday of the schedule's first start.
int64_t ChartOriginDay(const TaskDB& db);
