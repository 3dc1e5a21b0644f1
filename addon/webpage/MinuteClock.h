#pragma once
// The page counts time in whole minutes since 1970-01-01 00:00 of the schedule's dates.
#include "schedule/tasks/DateTime.h"

#include <cstdint>
#include <string>

DateTime DateTimeOfMinute(int64_t minute);
// The minute the moment falls in.
int64_t MinuteOf(const DateTime& moment);
// "YYYY-MM-DDTHH:MM".
std::string MinuteText(int64_t minute);
