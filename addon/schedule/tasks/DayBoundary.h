#pragma once
// StartOfDay and EndOfDay for dates read from files: a day is a whole number of ticks, so for the
// years the calendar accepts the midnights are plain arithmetic, and the results are exactly
// those of DateTime's own operations. Instants before 1601, which the calendar leaves open (and
// which no schedule holds), come out invalid rather than guessed.
#include "schedule/tasks/DateTime.h"

DateTime StartOfDayOf(const DateTime& value);
DateTime EndOfDayOf(const DateTime& value);
