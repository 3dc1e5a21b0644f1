#pragma once
// Calendar instants and lengths of time at 100-nanosecond resolution since 1601-01-01, with a
// validity status that propagates through arithmetic.
#include <cstddef>
#include <cstdint>

class IInStream;
class IOutStream;

enum class DateTimeStatus : int32_t { Valid = 0, Invalid = 1, Null = 2 };

struct DateTimeFields {
    int32_t year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    int32_t millisecond = 0, microsecond = 0, nanosecond = 0;
    int32_t dayOfYear = 0; // 1-366
    int32_t dayOfWeek = 0; // 1 = Sunday ... 7 = Saturday
};

constexpr int64_t kTicksPerSecond = 10'000'000;
constexpr int64_t kTicksPerDay = 864'000'000'000;

class DateTimeSpan {
public:
    DateTimeSpan() = default;
    DateTimeSpan(int32_t days, int32_t hours, int32_t minutes, int32_t seconds, int32_t milliseconds = 0,
                 int32_t microseconds = 0, int32_t nanoseconds = 0);
    static DateTimeSpan FromTicks(int64_t ticks, DateTimeStatus status = DateTimeStatus::Valid);

    DateTimeStatus status = DateTimeStatus::Valid;
    int64_t ticks = 0;

    int64_t TotalDays() const { return ticks / kTicksPerSecond / 86400; }
    int64_t TotalHours() const { return ticks / kTicksPerSecond / 3600; }
    int64_t TotalSeconds() const { return ticks / kTicksPerSecond; }

    bool operator==(const DateTimeSpan& other) const = default;
};

class DateTime {
public:
    DateTime() = default; // Valid, ticks 0 (1601-01-01 00:00)
    DateTime(int32_t year, int32_t month, int32_t day, int32_t hour = 0, int32_t minute = 0, int32_t second = 0) {
        SetDateTime(year, month, day, hour, minute, second, 0, 0, 0);
    }
    static DateTime FromTicks(int64_t ticks, DateTimeStatus status = DateTimeStatus::Valid);
    static DateTime Now();

    DateTimeStatus status = DateTimeStatus::Valid;
    int64_t ticks = 0;

    // Sets the value from calendar fields; rejected fields make it Invalid with the ticks kept.
    DateTime& SetDateTime(int32_t year, int32_t month, int32_t day, int32_t hour, int32_t minute, int32_t second,
                          int32_t millisecond, int32_t microsecond, int32_t nanosecond);
    bool SetDateTimeOk(int32_t year, int32_t month, int32_t day, int32_t hour, int32_t minute, int32_t second,
                       int32_t millisecond, int32_t microsecond, int32_t nanosecond);
    void Clear() { *this = DateTime(); }
    void SetToNow();
    void FromPlatformTime(int32_t value);
    int32_t ToPlatformTime() const;
    void RebaseTime();

    bool GetFields(DateTimeFields& fields) const; // false when not Valid
    int32_t Year() const;
    int32_t Month() const;
    int32_t Day() const;
    int32_t Hour() const;
    int32_t Minute() const;
    int32_t Second() const;
    int32_t Millisecond() const;
    int32_t DayOfWeek() const;
    int32_t DayOfYear() const;

    DateTime StartOfDay() const;
    DateTime EndOfDay() const;
    DateTime DayBefore() const;

    // strftime with six codes of our own (%s %#s %u %#u %n %#n: milli-, micro-, nanoseconds).
    // Returns buffer, or nullptr when nothing was written.
    char* Format(char* buffer, int32_t length, const char* format) const;
    // The platform's date text; `length` bounds the copy.
    char* FormatForDisplay(char* buffer, int32_t length, uint32_t flags) const;

    // 12-byte stored form: status then ticks. 0, or 4 (write) / 3 (read) as the project file reports.
    int Write(IOutStream& out) const;
    int Read(IInStream& in);

    DateTime& operator+=(const DateTimeSpan& span);

    bool operator<(const DateTime& o) const { return ticks < o.ticks; }
    bool operator<=(const DateTime& o) const { return ticks <= o.ticks; }
    bool operator>(const DateTime& o) const { return ticks > o.ticks; }
    bool operator>=(const DateTime& o) const { return ticks >= o.ticks; }
    bool operator==(const DateTime& o) const { return status == o.status && ticks == o.ticks; }
    bool operator!=(const DateTime& o) const { return !(*this == o); }
};

// 0 when equal, -1 when a < b, 1 otherwise (equal ticks with another status give 1).
int CompareDateTime(const DateTime& a, const DateTime& b);

DateTime operator+(const DateTime& a, const DateTimeSpan& b);
DateTime operator-(const DateTime& a, const DateTimeSpan& b);
DateTimeSpan operator-(const DateTime& a, const DateTime& b);
