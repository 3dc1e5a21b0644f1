#pragma once
// StartOfDay and EndOfDay without the calendar: a day is a whole number of ticks, so for the
// years the calendar accepts the midnights are plain arithmetic. Readers of large schedules call
// these per date; the results are exactly those of DateTime's own operations.
#include "schedule/DateTime.h"

DateTime StartOfDayOf(const DateTime& value);
DateTime EndOfDayOf(const DateTime& value);
