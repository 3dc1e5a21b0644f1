#include "webpage/MinuteClock.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace {

// 1970-01-01 00:00 in ticks since 1601-01-01.
constexpr int64_t kUnixEpochTicks = 116'444'736'000'000'000;
constexpr int64_t kTicksPerMinute = 60 * kTicksPerSecond;

// Minutes this far either side of 1970 stay within the ticks' range: past any date a schedule holds.
constexpr int64_t kFarthestMinute = (INT64_MAX - kUnixEpochTicks) / kTicksPerMinute;

} // namespace

DateTime DateTimeOfMinute(int64_t minute) {
    return DateTime::FromTicks(kUnixEpochTicks + std::clamp(minute, -kFarthestMinute, kFarthestMinute) * kTicksPerMinute);
}

int64_t MinuteOf(const DateTime& moment) {
    if (moment.ticks < INT64_MIN + kUnixEpochTicks) return -kFarthestMinute;
    const int64_t since = moment.ticks - kUnixEpochTicks;
    return since / kTicksPerMinute - (since % kTicksPerMinute < 0 ? 1 : 0);
}

std::string MinuteText(int64_t minute) {
    DateTimeFields f;
    if (!DateTimeOfMinute(minute).GetFields(f)) return {};
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d", f.year, f.month, f.day, f.hour, f.minute);
    return text;
}
