#pragma once
// What the movie takes from the chart, which stands above it: the chart's bars drawn as a strip
// of a frame, and the colours of the construction types' bars. The shell hands them over; a
// movie without them draws no strip and gives each type the colour 0.
#include <array>
#include <cstdint>
#include <functional>

class DGCanvas;
class TaskDB;

struct MovieChartParts {
    // The strip `width` by `height` of a frame `scale` times 720p, its top at `top`.
    std::function<void(const TaskDB& db, int32_t width, int32_t height, double scale, int32_t top, DGCanvas& canvas)>
        drawStrip;
    std::array<uint32_t, 5> typeColours{}; // 0x00BBGGRR, by construction type
};
