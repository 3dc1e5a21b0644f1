#pragma once
// The chart's time axis: days as pixels at a zoom, and the two bands of its scale, each unit
// (year, month, week or day) as wide as the zoom gives it room.
#include "chart/ChartTexts.h"

#include <cstdint>
#include <string>
#include <vector>

enum class ChartUnit { Year, Month, Week, Day };

struct ChartScaleCell {
    int32_t left = 0, right = 0; // pixels
    std::string label;           // 8-bit
    bool weekend = false;
};

class ChartTimeScale {
public:
    static constexpr int kZoomLevels = 7;
    static constexpr int kDefaultZoom = 3;
    static double PixelsPerDay(int zoom);

    // `originDay`: the day (from 1601-01-01, a Monday) at pixel 0 before scrolling.
    ChartTimeScale(int64_t originDay, int zoom, int32_t scroll);

    int Zoom() const { return zoom_; }
    double PixelsPerDay() const { return pixelsPerDay_; }
    int32_t Scroll() const { return scroll_; }
    int64_t OriginDay() const { return originDay_; }
    // The pixel of a moment given in days (fractions are parts of a day).
    int32_t X(double day) const;
    // The day whose start is nearest to the pixel.
    int64_t NearestDay(int32_t x) const;
    // The first day any of the pixels 0 to width - 1 shows, and the day after the last.
    int64_t FirstDay() const;
    int64_t EndDay(int32_t width) const;

    ChartUnit Upper() const;
    ChartUnit Lower() const;
    // The cells of a band over the pixels 0 to width - 1.
    std::vector<ChartScaleCell> Band(ChartUnit unit, int32_t width, const ChartTexts& texts, bool upper) const;

private:
    int64_t originDay_;
    int zoom_;
    double pixelsPerDay_;
    int32_t scroll_;
};

// Days from 1601-01-01 and back, and the parts of a day.
int64_t DayOfTicks(int64_t ticks);
int64_t TicksOfDay(int64_t day);
