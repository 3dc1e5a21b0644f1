#include "schedule/tasks/DateTime.h"

#include "basekit/BKTime.h"
#include "bytes/FixedText.h"
#include "schedule/tasks/ByteStream.h"
#include "schedule/tasks/ScheduleFileError.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>
#include <new>
#include <string>

namespace {

constexpr int32_t kCumulativeDays[13] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365};
constexpr int64_t kDayNumber1601 = 584754;
constexpr int64_t kDayNumber1970 = 719528;

bool IsLeapYear(int64_t y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

// Status of a result from two operands: Null wins over Invalid, Invalid over Valid.
DateTimeStatus Combine(DateTimeStatus a, DateTimeStatus b) {
    if (a == DateTimeStatus::Null || b == DateTimeStatus::Null) return DateTimeStatus::Null;
    if (a == DateTimeStatus::Invalid || b == DateTimeStatus::Invalid) return DateTimeStatus::Invalid;
    return DateTimeStatus::Valid;
}

bool FieldsFromTicks(int64_t ticks, DateTimeFields& f) {
    // Floor division keeps fields sensible for the (unused) instants before 1601.
    // Remainders first: multiplying the floored quotient back could leave the 64-bit range.
    int64_t sub = ticks % kTicksPerSecond;
    if (sub < 0) sub += kTicksPerSecond;
    int64_t seconds = FloorDiv(ticks, kTicksPerSecond);
    int64_t secondOfDay = seconds % 86400;
    if (secondOfDay < 0) secondOfDay += 86400;
    int64_t days = FloorDiv(seconds, 86400);
    int64_t n = days + kDayNumber1601;

    // Proleptic Gregorian date of day n (0 = 0000-01-01).
    int64_t z = n - kDayNumber1970 + 719468;
    int64_t era = FloorDiv(z, 146097);
    int64_t doe = z - era * 146097;
    int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    int64_t y = yoe + era * 400;
    int64_t doyMar = doe - (365 * yoe + yoe / 4 - yoe / 100);
    int64_t mp = (5 * doyMar + 2) / 153;
    int64_t d = doyMar - (153 * mp + 2) / 5 + 1;
    int64_t m = mp < 10 ? mp + 3 : mp - 9;
    if (m <= 2) ++y;
    if (y < INT32_MIN || y > INT32_MAX) return false;

    f.year = static_cast<int32_t>(y);
    f.month = static_cast<int32_t>(m);
    f.day = static_cast<int32_t>(d);
    f.dayOfYear = kCumulativeDays[m - 1] + f.day + ((m > 2 && IsLeapYear(y)) ? 1 : 0);
    f.dayOfWeek = static_cast<int32_t>(((n - 1) % 7 + 7) % 7) + 1;
    f.hour = static_cast<int32_t>(secondOfDay / 3600);
    f.minute = static_cast<int32_t>(secondOfDay / 60 % 60);
    f.second = static_cast<int32_t>(secondOfDay % 60);
    f.millisecond = static_cast<int32_t>(sub / 10000);
    f.microsecond = static_cast<int32_t>(sub / 10 % 1000);
    f.nanosecond = static_cast<int32_t>(sub % 10 * 100);
    return true;
}

// Replaces every occurrence of `code` by `number` when the whole result still fits `length`.
void ReplaceCode(std::string& text, const char* code, int number, bool padded, int32_t length) {
    size_t count = 0;
    for (size_t p = text.find(code); p != std::string::npos; p = text.find(code, p + 1)) ++count;
    if (count == 0) return;
    char num[16];
    std::snprintf(num, sizeof num, padded ? "%03d" : "%d", number);
    size_t codeLen = std::strlen(code), numLen = std::strlen(num);
    int64_t newLen = static_cast<int64_t>(text.size()) +
                     static_cast<int64_t>(count) * (static_cast<int64_t>(numLen) - static_cast<int64_t>(codeLen));
    if (newLen + 1 > length) return;
    std::string out;
    out.reserve(static_cast<size_t>(newLen));
    size_t pos = 0;
    for (size_t p = text.find(code); p != std::string::npos; p = text.find(code, pos)) {
        out.append(text, pos, p - pos);
        out.append(num);
        pos = p + codeLen;
    }
    out.append(text, pos);
    text = std::move(out);
}

// The platform's calendar record of a value; false when it is not Valid or has no such record.
bool PlatformRecord(const DateTime& d, BKTimeRecord& r) {
    DateTimeFields f;
    if (!d.GetFields(f) || f.year < 0 || f.year > 65535) return false;
    r.year = static_cast<uint16_t>(f.year);
    r.month = static_cast<uint16_t>(f.month);
    r.dayOfWeek = static_cast<uint16_t>(f.dayOfWeek - 1);
    r.day = static_cast<uint16_t>(f.day);
    r.hour = static_cast<uint16_t>(f.hour);
    r.minute = static_cast<uint16_t>(f.minute);
    r.second = static_cast<uint16_t>(f.second);
    r.millisecond = static_cast<uint16_t>(f.millisecond);
    return true;
}

} // namespace

DateTimeSpan::DateTimeSpan(int32_t days, int32_t hours, int32_t minutes, int32_t seconds, int32_t milliseconds,
                           int32_t microseconds, int32_t nanoseconds) {
    int64_t ns = nanoseconds;
    int64_t hundreds = (ns >= 0 ? ns + 50 : ns - 50) / 100;
    __int128 t = static_cast<__int128>(days) * kTicksPerDay + static_cast<__int128>(hours) * 36'000'000'000 +
                 static_cast<__int128>(minutes) * 600'000'000 + static_cast<__int128>(seconds) * kTicksPerSecond +
                 static_cast<__int128>(milliseconds) * 10'000 + static_cast<__int128>(microseconds) * 10 + hundreds;
    if (t > INT64_MAX || t < INT64_MIN) {
        status = DateTimeStatus::Invalid;
        ticks = 0;
    } else {
        ticks = static_cast<int64_t>(t);
    }
}

DateTimeSpan DateTimeSpan::FromTicks(int64_t ticks, DateTimeStatus status) {
    DateTimeSpan s;
    s.ticks = ticks;
    s.status = status;
    return s;
}

DateTime DateTime::FromTicks(int64_t ticks, DateTimeStatus status) {
    DateTime d;
    d.ticks = ticks;
    d.status = status;
    return d;
}

DateTime DateTime::Now() {
    DateTime d;
    d.SetToNow();
    return d;
}

bool DateTime::SetDateTimeOk(int32_t year, int32_t month, int32_t day, int32_t hour, int32_t minute, int32_t second,
                             int32_t millisecond, int32_t microsecond, int32_t nanosecond) {
    if (year > 29000 || year < -29000 || month < 1 || month > 12 || day < 1) {
        status = DateTimeStatus::Invalid;
        return false;
    }
    int32_t monthLength = kCumulativeDays[month] - kCumulativeDays[month - 1] + (month == 2 && IsLeapYear(year));
    if (day > monthLength) {
        status = DateTimeStatus::Invalid;
        return false;
    }
    int64_t y = year;
    int64_t dayNumber = 365 * y + y / 4 - y / 100 + y / 400 + kCumulativeDays[month - 1] + day -
                        ((IsLeapYear(y) && month <= 2) ? 1 : 0) - kDayNumber1601;
    int64_t hundreds = (static_cast<int64_t>(nanosecond) + 50) / 100;
    // Carries of unranged fields are exact in 128 bits; a result past 64 bits is rejected.
    __int128 t = (static_cast<__int128>(dayNumber) * 86400 + static_cast<__int128>(hour) * 3600 +
                  static_cast<__int128>(minute) * 60 + second) *
                     kTicksPerSecond +
                 static_cast<__int128>(millisecond) * 10'000 + static_cast<__int128>(microsecond) * 10 + hundreds;
    if (t > INT64_MAX || t < INT64_MIN) {
        status = DateTimeStatus::Invalid;
        return false;
    }
    ticks = static_cast<int64_t>(t);
    status = DateTimeStatus::Valid;
    return true;
}

DateTime& DateTime::SetDateTime(int32_t year, int32_t month, int32_t day, int32_t hour, int32_t minute,
                                int32_t second, int32_t millisecond, int32_t microsecond, int32_t nanosecond) {
    SetDateTimeOk(year, month, day, hour, minute, second, millisecond, microsecond, nanosecond);
    return *this;
}

void DateTime::SetToNow() {
    BKTimeRecord r;
    if (BKTimeToRecord(BKGetCurrentTime(), 0, r) != kBKTimeNoErr) return;
    SetDateTime(r.year, r.month, r.day, r.hour, r.minute, r.second, r.millisecond, 0, 0);
}

void DateTime::FromPlatformTime(int32_t value) {
    BKTimeRecord r;
    if (BKTimeToRecord(value, 0, r) != kBKTimeNoErr) return;
    SetDateTime(r.year, r.month, r.day, r.hour, r.minute, r.second, r.millisecond, 0, 0);
}

int32_t DateTime::ToPlatformTime() const {
    BKTimeRecord r;
    int32_t value = 0;
    if (!PlatformRecord(*this, r) || BKRecordToTime(r, 0, value) != kBKTimeNoErr) return 0;
    return value;
}

void DateTime::RebaseTime() {
    BKTimeRecord r;
    int32_t value = 0;
    if (!PlatformRecord(*this, r) || BKRecordToTime(r, 1, value) != kBKTimeNoErr) return;
    BKTimeRecord back;
    if (BKTimeToRecord(value, 0, back) != kBKTimeNoErr) return;
    // The platform value has whole minutes; the seconds come from the original fields.
    SetDateTime(back.year, back.month, back.day, back.hour, back.minute, r.second, r.millisecond, 0, 0);
}

bool DateTime::GetFields(DateTimeFields& fields) const {
    if (status != DateTimeStatus::Valid) return false;
    return FieldsFromTicks(ticks, fields);
}

#define BV_FIELD_GETTER(Name, member)                                                                              \
    int32_t DateTime::Name() const {                                                                               \
        DateTimeFields f;                                                                                          \
        return GetFields(f) ? f.member : -1;                                                                       \
    }
BV_FIELD_GETTER(Year, year)
BV_FIELD_GETTER(Month, month)
BV_FIELD_GETTER(Day, day)
BV_FIELD_GETTER(Hour, hour)
BV_FIELD_GETTER(Minute, minute)
BV_FIELD_GETTER(Second, second)
BV_FIELD_GETTER(Millisecond, millisecond)
BV_FIELD_GETTER(DayOfWeek, dayOfWeek)
BV_FIELD_GETTER(DayOfYear, dayOfYear)
#undef BV_FIELD_GETTER

namespace {

// The same day at `hour` o'clock (24: the midnight after it); Invalid when the date has no day.
DateTime AtHourOfDay(const DateTime& date, int32_t hour) {
    DateTime r = date;
    DateTimeFields f;
    if (!date.GetFields(f)) {
        r.status = DateTimeStatus::Invalid;
        return r;
    }
    r.SetDateTime(f.year, f.month, f.day, hour, 0, 0, 0, 0, 0);
    return r;
}

} // namespace

DateTime DateTime::StartOfDay() const { return AtHourOfDay(*this, 0); }

DateTime DateTime::EndOfDay() const { return AtHourOfDay(*this, 24); }

DateTime DateTime::DayBefore() const { return *this - DateTimeSpan::FromTicks(kTicksPerDay); }

char* DateTime::Format(char* buffer, int32_t length, const char* format) const {
    if (buffer == nullptr) return nullptr;
    if (status == DateTimeStatus::Null || length <= 0) return nullptr;
    DateTimeFields f;
    if (status == DateTimeStatus::Invalid || !GetFields(f)) {
        BKCopyText(buffer, static_cast<size_t>(length), "Invalid datetime");
        return buffer;
    }
    size_t scratchSize = std::max<size_t>(static_cast<size_t>(length) + 1, 10);
    std::unique_ptr<char[]> scratch(new (std::nothrow) char[scratchSize]);
    if (!scratch) return buffer;

    std::string text = format ? format : "";
    if (text.size() > static_cast<size_t>(length) - 1) text.resize(static_cast<size_t>(length) - 1);
    ReplaceCode(text, "%s", f.millisecond, true, length);
    ReplaceCode(text, "%#s", f.millisecond, false, length);
    ReplaceCode(text, "%u", f.microsecond, true, length);
    ReplaceCode(text, "%#u", f.microsecond, false, length);
    ReplaceCode(text, "%n", f.nanosecond, true, length);
    ReplaceCode(text, "%#n", f.nanosecond, false, length);
    BKCopyText(scratch.get(), scratchSize, text);

    std::tm tm{};
    tm.tm_year = f.year - 1900;
    tm.tm_mon = f.month - 1;
    tm.tm_mday = f.day;
    tm.tm_hour = f.hour;
    tm.tm_min = f.minute;
    tm.tm_sec = f.second;
    tm.tm_wday = f.dayOfWeek - 1;
    tm.tm_yday = f.dayOfYear - 1;
    tm.tm_isdst = 0;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    size_t written = std::strftime(buffer, static_cast<size_t>(length), scratch.get(), &tm);
#pragma GCC diagnostic pop
    if (written == 0) buffer[0] = 0; // did not fit, or nothing to write
    return buffer;
}

char* DateTime::FormatForDisplay(char* buffer, int32_t length, uint32_t flags) const {
    if (buffer == nullptr || length <= 0) return buffer;
    if (status != DateTimeStatus::Valid) {
        buffer[0] = 0;
        return buffer;
    }
    BKCopyText(buffer, static_cast<size_t>(length), BKFormatDate(ToPlatformTime(), flags));
    return buffer;
}

int DateTime::Write(IOutStream& out) const {
    uint8_t bytes[12];
    auto s = static_cast<uint32_t>(status);
    auto t = static_cast<uint64_t>(ticks);
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<uint8_t>(s >> (8 * i));
    for (int i = 0; i < 8; ++i) bytes[4 + i] = static_cast<uint8_t>(t >> (8 * i));
    if (!out.WriteBytes(bytes, 4)) return kScheduleFileWriteFailed;
    if (!out.WriteBytes(bytes + 4, 8)) return kScheduleFileWriteFailed;
    return kScheduleFileOk;
}

int DateTime::Read(IInStream& in) {
    uint8_t bytes[12];
    if (!in.ReadBytes(bytes, 4)) return kScheduleFileReadFailed;
    if (!in.ReadBytes(bytes + 4, 8)) return kScheduleFileReadFailed; // the previous value stays
    uint32_t s = 0;
    uint64_t t = 0;
    for (int i = 0; i < 4; ++i) s |= static_cast<uint32_t>(bytes[i]) << (8 * i);
    for (int i = 0; i < 8; ++i) t |= static_cast<uint64_t>(bytes[4 + i]) << (8 * i);
    status = static_cast<DateTimeStatus>(static_cast<int32_t>(s));
    ticks = static_cast<int64_t>(t);
    return kScheduleFileOk;
}

DateTime& DateTime::operator+=(const DateTimeSpan& span) {
    *this = *this + span;
    return *this;
}

int CompareDateTime(const DateTime& a, const DateTime& b) {
    if (a == b) return 0;
    if (a < b) return -1;
    return 1;
}

DateTime operator+(const DateTime& a, const DateTimeSpan& b) {
    DateTimeStatus s = Combine(a.status, b.status);
    int64_t sum = 0;
    if (s == DateTimeStatus::Valid && __builtin_add_overflow(a.ticks, b.ticks, &sum)) s = DateTimeStatus::Invalid;
    return DateTime::FromTicks(s == DateTimeStatus::Valid ? sum : 0, s);
}

DateTime operator-(const DateTime& a, const DateTimeSpan& b) {
    DateTimeStatus s = Combine(a.status, b.status);
    int64_t diff = 0;
    if (s == DateTimeStatus::Valid && __builtin_sub_overflow(a.ticks, b.ticks, &diff)) s = DateTimeStatus::Invalid;
    return DateTime::FromTicks(s == DateTimeStatus::Valid ? diff : 0, s);
}

DateTimeSpan operator-(const DateTime& a, const DateTime& b) {
    DateTimeStatus s = Combine(a.status, b.status);
    int64_t diff = 0;
    if (s == DateTimeStatus::Valid && __builtin_sub_overflow(a.ticks, b.ticks, &diff)) s = DateTimeStatus::Invalid;
    return DateTimeSpan::FromTicks(s == DateTimeStatus::Valid ? diff : 0, s);
}
