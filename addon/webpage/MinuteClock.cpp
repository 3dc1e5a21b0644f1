#include "webpage/MinuteClock.h"

#include <cstdio>

namespace {

// 1970-01-01 00:00 in ticks since 1601-01-01.
constexpr int64_t kUnixEpochTicks = 116'444'736'000'000'000;
constexpr int64_t kTicksPerMinute = 60 * kTicksPerSecond;

} // namespace

DateTime DateTimeOfMinute(int64_t minute) { return DateTime::FromTicks(kUnixEpochTicks + minute * kTicksPerMinute); }

int64_t MinuteOf(const DateTime& moment) {
    const int64_t since = moment.ticks - kUnixEpochTicks;
    return since >= 0 ? since / kTicksPerMinute : -((-since + kTicksPerMinute - 1) / kTicksPerMinute);
}

std::string MinuteText(int64_t minute) {
    DateTimeFields f;
    if (!DateTimeOfMinute(minute).GetFields(f)) return {};
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d", f.year, f.month, f.day, f.hour, f.minute);
    return text;
}
