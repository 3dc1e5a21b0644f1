#include "basekit/BKTime.h"

#include <cstdio>
#include <ctime>
#include <mutex>

namespace {

std::mutex gClockLock;
std::optional<int32_t> gFixedClock;

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void CivilFromDays(int64_t z, int64_t& y, unsigned& m, unsigned& d) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    y = static_cast<int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y += m <= 2;
}

bool IsLeap(int64_t y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

} // namespace

int32_t BKGetCurrentTime() {
    {
        std::lock_guard guard(gClockLock);
        if (gFixedClock) return *gFixedClock;
    }
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    auto value = BKMakeTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min);
    return value.value_or(0);
}

void BKSetFixedClock(std::optional<int32_t> value) {
    std::lock_guard guard(gClockLock);
    gFixedClock = value;
}

std::optional<int32_t> BKMakeTime(int year, int month, int day, int hour, int minute) {
    if (month < 1 || month > 12 || day < 1 || hour < 0 || minute < 0) return std::nullopt;
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int len = kDays[month - 1] + (month == 2 && IsLeap(year) ? 1 : 0);
    if (day > len) return std::nullopt;
    int64_t minutes = DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) * 1440 +
                      static_cast<int64_t>(hour) * 60 + minute;
    if (minutes < INT32_MIN || minutes > INT32_MAX) return std::nullopt;
    return static_cast<int32_t>(minutes);
}

int32_t BKTimeToRecord(int32_t value, int mode, BKTimeRecord& record) {
    if (mode != 0 && mode != 1) return kBKTimeRangeErr;
    int64_t days = FloorDiv(value, 1440);
    int64_t minuteOfDay = static_cast<int64_t>(value) - days * 1440;
    int64_t y;
    unsigned m, d;
    CivilFromDays(days, y, m, d);
    if (y < 1 || y > 65535) return kBKTimeRangeErr;
    record = {};
    record.year = static_cast<uint16_t>(y);
    record.month = static_cast<uint16_t>(m);
    record.day = static_cast<uint16_t>(d);
    record.dayOfWeek = static_cast<uint16_t>(((days % 7) + 7 + 4) % 7); // 1970-01-01 was a Thursday
    record.hour = static_cast<uint16_t>(minuteOfDay / 60);
    record.minute = static_cast<uint16_t>(minuteOfDay % 60);
    return kBKTimeNoErr;
}

int32_t BKRecordToTime(const BKTimeRecord& record, int mode, int32_t& value) {
    if (mode != 0 && mode != 1) return kBKTimeRangeErr;
    if (record.hour > 23 || record.minute > 59) return kBKTimeRangeErr;
    auto v = BKMakeTime(record.year, record.month, record.day, record.hour, record.minute);
    if (!v) return kBKTimeRangeErr;
    value = *v;
    return kBKTimeNoErr;
}

std::string BKFormatDate(int32_t value, uint32_t flags) {
    BKTimeRecord r;
    if (BKTimeToRecord(value, 0, r) != kBKTimeNoErr) return {};
    char buf[48];
    if (flags & 0x100)
        std::snprintf(buf, sizeof buf, "%04u.%02u.%02u. %02u:%02u", r.year, r.month, r.day, r.hour, r.minute);
    else
        std::snprintf(buf, sizeof buf, "%04u.%02u.%02u.", r.year, r.month, r.day);
    return buf;
}
