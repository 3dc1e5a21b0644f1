#include "schedule/tasks/DayBoundary.h"

namespace {

// Ticks of 29001-01-01 00:00: past it the calendar refuses the year.
int64_t CalendarLimit() {
    static const int64_t limit = DateTime(29000, 12, 31).ticks + kTicksPerDay;
    return limit;
}

bool IsPlainDay(const DateTime& value) { return value.status == DateTimeStatus::Valid && value.ticks >= 0 && value.ticks < CalendarLimit(); }

} // namespace

DateTime StartOfDayOf(const DateTime& value) {
    if (value.status == DateTimeStatus::Valid && value.ticks < 0) return DateTime::FromTicks(value.ticks, DateTimeStatus::Invalid);
    if (!IsPlainDay(value)) return value.StartOfDay();
    return DateTime::FromTicks(value.ticks - value.ticks % kTicksPerDay);
}

DateTime EndOfDayOf(const DateTime& value) {
    if (value.status == DateTimeStatus::Valid && value.ticks < 0) return DateTime::FromTicks(value.ticks, DateTimeStatus::Invalid);
    if (!IsPlainDay(value)) return value.EndOfDay();
    return DateTime::FromTicks(value.ticks - value.ticks % kTicksPerDay + kTicksPerDay);
}
