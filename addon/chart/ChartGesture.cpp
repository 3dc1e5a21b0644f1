#include "chart/ChartGesture.h"

#include "chart/ChartTimeScale.h"
#include "schedule/tasks/DateTime.h"

#include <cstdio>
#include <cstdlib>

namespace {

bool ParseDay(const std::string& text, int64_t& day) {
    int y = 0, m = 0, d = 0;
    char rest = 0;
    if (text.size() != 10 || std::sscanf(text.c_str(), "%4d-%2d-%2d%c", &y, &m, &d, &rest) != 3) return false;
    DateTime date;
    if (!date.SetDateTimeOk(y, m, d, 0, 0, 0, 0, 0, 0)) return false;
    day = DayOfTicks(date.ticks);
    return true;
}

bool ParseNumber(const std::string& text, int64_t lo, int64_t hi, int64_t& out) {
    if (text.empty() || text.size() > 12) return false;
    char* end = nullptr;
    long long v = std::strtoll(text.c_str(), &end, 10);
    if (!end || *end != 0 || v < lo || v > hi) return false;
    out = v;
    return true;
}

} // namespace

std::optional<ChartGesture> ParseChartGesture(const std::vector<std::string>& a, std::string& error) {
    if (a.empty()) return std::nullopt;
    const std::string& verb = a[0];
    ChartGesture g;
    int64_t n = 0;
    if (verb == "click" || verb == "dblclick" || verb == "toggle") {
        if (a.size() != 2 || !ParseNumber(a[1], 1, INT32_MAX, n)) return std::nullopt;
        g.kind = verb == "click" ? ChartGesture::Kind::Click : verb == "dblclick" ? ChartGesture::Kind::DoubleClick : ChartGesture::Kind::Toggle;
        g.row = static_cast<int32_t>(n);
        g.rowText = a[1];
        return g;
    }
    if (verb == "drag-date") {
        if ((a.size() != 2 && a.size() != 3) || !ParseDay(a[1], g.day) || (a.size() == 3 && !ParseNumber(a[2], 0, 100000, g.steps)))
            return std::nullopt;
        g.kind = ChartGesture::Kind::DragDate;
        return g;
    }
    if (verb == "status-date") {
        if (a.size() != 2 || !ParseDay(a[1], g.day)) return std::nullopt;
        g.kind = ChartGesture::Kind::StatusDate;
        return g;
    }
    if (verb == "drag-bar") {
        if (a.size() != 4 || !ParseNumber(a[1], 1, INT32_MAX, n) || !ParseNumber(a[3], -100000, 100000, g.days) ||
            (a[2] != "start" && a[2] != "finish" && a[2] != "move"))
            return std::nullopt;
        g.kind = ChartGesture::Kind::DragBar;
        g.row = static_cast<int32_t>(n);
        g.rowText = a[1];
        g.part = a[2] == "start" ? ChartGesture::BarPart::Start : a[2] == "finish" ? ChartGesture::BarPart::Finish : ChartGesture::BarPart::Move;
        return g;
    }
    if (verb == "key") {
        if (a.size() < 2 || a.size() > 3 || (a[1] != "left" && a[1] != "right" && a[1] != "space") ||
            (a.size() == 3 && a[2] != "shift"))
            return std::nullopt;
        g.kind = ChartGesture::Kind::Key;
        g.key = a[1] == "left" ? DGKey::Left : a[1] == "right" ? DGKey::Right : DGKey::Space;
        g.shift = a.size() == 3;
        return g;
    }
    if (verb == "undo") {
        if (a.size() != 1) return std::nullopt;
        g.kind = ChartGesture::Kind::Undo;
        return g;
    }
    if (verb == "zoom") {
        if (a.size() != 2 || (a[1] != "in" && a[1] != "out")) return std::nullopt;
        g.kind = ChartGesture::Kind::Zoom;
        g.zoomBy = a[1] == "in" ? 1 : -1;
        return g;
    }
    if (verb == "play") {
        int64_t speed = 0;
        if (a.size() != 4 || !ParseDay(a[1], g.day) || !ParseDay(a[2], g.lastDay) || !ParseNumber(a[3], 1, 30, speed) ||
            (speed != 1 && speed != 7 && speed != 30) || g.lastDay <= g.day)
            return std::nullopt;
        g.kind = ChartGesture::Kind::Play;
        g.daysPerSecond = static_cast<int32_t>(speed);
        return g;
    }
    error = "unknown chart gesture " + verb;
    return std::nullopt;
}
