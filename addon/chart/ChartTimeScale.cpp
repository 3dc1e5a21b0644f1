#include "chart/ChartTimeScale.h"

#include "schedule/tasks/DateTime.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPixelsPerDay[ChartTimeScale::kZoomLevels] = {0.5, 1, 2, 4, 8, 16, 32};

DateTimeFields FieldsOfDay(int64_t day) {
    DateTimeFields f;
    DateTime::FromTicks(TicksOfDay(day)).GetFields(f);
    return f;
}

int64_t DayOfDate(int32_t year, int32_t month, int32_t day) { return DayOfTicks(DateTime(year, month, day).ticks); }

// The first day of the unit that holds `day`, and the first day of the next.
int64_t UnitStart(ChartUnit unit, int64_t day) {
    DateTimeFields f = FieldsOfDay(day);
    switch (unit) {
    case ChartUnit::Year: return DayOfDate(f.year, 1, 1);
    case ChartUnit::Month: return DayOfDate(f.year, f.month, 1);
    case ChartUnit::Week: return day - ((day % 7) + 7) % 7;
    case ChartUnit::Day: return day;
    }
    return day;
}

int64_t NextUnit(ChartUnit unit, int64_t start) {
    DateTimeFields f = FieldsOfDay(start);
    switch (unit) {
    case ChartUnit::Year: return DayOfDate(f.year + 1, 1, 1);
    case ChartUnit::Month: return f.month == 12 ? DayOfDate(f.year + 1, 1, 1) : DayOfDate(f.year, f.month + 1, 1);
    case ChartUnit::Week: return start + 7;
    case ChartUnit::Day: return start + 1;
    }
    return start + 1;
}

// The ISO week number of the week starting on Monday `monday`: the week of its Thursday.
int32_t IsoWeek(int64_t monday) { return (FieldsOfDay(monday + 3).dayOfYear - 1) / 7 + 1; }

std::string Label(ChartUnit unit, int64_t start, bool upper, double pixelsPerDay, const ChartTexts& texts) {
    DateTimeFields f = FieldsOfDay(start);
    const auto month = static_cast<size_t>(std::clamp(f.month, 1, 12) - 1);
    switch (unit) {
    case ChartUnit::Year: return std::to_string(f.year);
    case ChartUnit::Month:
        if (upper) return std::to_string(f.year) + ". " + texts.months[month];
        return pixelsPerDay >= 1.5 ? texts.months[month] : texts.monthsShort[month];
    case ChartUnit::Week:
        if (upper) return std::to_string(f.year) + ". " + texts.monthsShort[month] + " " + std::to_string(f.day) + ". (" +
                          texts.Week(IsoWeek(start)) + ")";
        return std::to_string(f.day);
    case ChartUnit::Day: {
        std::string name = texts.days[static_cast<size_t>(((start % 7) + 7) % 7)];
        return pixelsPerDay >= 24 ? name + " " + std::to_string(f.day) : std::to_string(f.day);
    }
    }
    return {};
}

} // namespace

int64_t DayOfTicks(int64_t ticks) { return ticks >= 0 ? ticks / kTicksPerDay : -((-ticks + kTicksPerDay - 1) / kTicksPerDay); }
int64_t TicksOfDay(int64_t day) { return day * kTicksPerDay; }

double ChartTimeScale::PixelsPerDay(int zoom) { return kPixelsPerDay[std::clamp(zoom, 0, kZoomLevels - 1)]; }

ChartTimeScale::ChartTimeScale(int64_t originDay, int zoom, int32_t scroll)
    : originDay_(originDay), zoom_(std::clamp(zoom, 0, kZoomLevels - 1)), pixelsPerDay_(PixelsPerDay(zoom)),
      scroll_(scroll) {}

int32_t ChartTimeScale::X(double day) const {
    double x = (day - static_cast<double>(originDay_)) * pixelsPerDay_ - scroll_;
    return static_cast<int32_t>(std::lround(std::clamp(x, -1e8, 1e8)));
}

int64_t ChartTimeScale::NearestDay(int32_t x) const {
    return originDay_ + std::llround((x + scroll_) / pixelsPerDay_);
}

int64_t ChartTimeScale::FirstDay() const {
    return originDay_ + static_cast<int64_t>(std::floor(scroll_ / pixelsPerDay_));
}

int64_t ChartTimeScale::EndDay(int32_t width) const {
    return originDay_ + static_cast<int64_t>(std::ceil((scroll_ + width) / pixelsPerDay_)) + 1;
}

ChartUnit ChartTimeScale::Upper() const {
    return pixelsPerDay_ < 2 ? ChartUnit::Year : pixelsPerDay_ < 8 ? ChartUnit::Month : ChartUnit::Week;
}

ChartUnit ChartTimeScale::Lower() const {
    return pixelsPerDay_ < 2 ? ChartUnit::Month : pixelsPerDay_ < 8 ? ChartUnit::Week : ChartUnit::Day;
}

std::vector<ChartScaleCell> ChartTimeScale::Band(ChartUnit unit, int32_t width, const ChartTexts& texts, bool upper) const {
    std::vector<ChartScaleCell> cells;
    int64_t end = EndDay(width);
    for (int64_t day = UnitStart(unit, FirstDay()); day < end; day = NextUnit(unit, day)) {
        ChartScaleCell cell;
        cell.left = X(static_cast<double>(day));
        cell.right = X(static_cast<double>(NextUnit(unit, day)));
        cell.label = Label(unit, day, upper, pixelsPerDay_, texts);
        cell.weekend = unit == ChartUnit::Day && ((day % 7) + 7) % 7 >= 5;
        cells.push_back(std::move(cell));
    }
    return cells;
}
