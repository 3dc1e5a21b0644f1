#pragma once
// The platform's time services. A platform time value is a signed 32-bit count of minutes
// since 1970-01-01 00:00 of the wall clock; there is only one mode, so modes 0 and 1 agree.
#include <cstdint>
#include <optional>
#include <string>

struct BKTimeRecord {
    uint16_t year = 0;
    uint16_t month = 0;     // 1-12
    uint16_t dayOfWeek = 0; // 0 = Sunday
    uint16_t day = 0;
    uint16_t hour = 0;
    uint16_t minute = 0;
    uint16_t second = 0;
    uint16_t millisecond = 0;
};

constexpr int32_t kBKTimeNoErr = 0;
constexpr int32_t kBKTimeRangeErr = -1;

// The current wall-clock time, or the fixed time while one is set.
int32_t BKGetCurrentTime();
// Fixes the clock (for reproducible runs and tests); nullopt goes back to the real clock.
void BKSetFixedClock(std::optional<int32_t> value);

// Value to calendar record; fails only for an unknown mode.
int32_t BKTimeToRecord(int32_t value, int mode, BKTimeRecord& record);
// Calendar record to value; seconds and milliseconds are dropped. Fails for a month or day out of
// range or a date outside the value's range. The day of week is not read.
int32_t BKRecordToTime(const BKTimeRecord& record, int mode, int32_t& value);
// Minutes from calendar fields (for callers outside the add-on, e.g. the host's --now option).
std::optional<int32_t> BKMakeTime(int year, int month, int day, int hour, int minute);

// The platform's short numeric date text with a four-digit year ("2009.03.02."); flags bit 0x100
// adds the time of day (" 14:05").
std::string BKFormatDate(int32_t value, uint32_t flags);
