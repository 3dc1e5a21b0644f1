#pragma once
// The orders in which a schedule text may write the day, month and year of a date, and the
// reading of such dates.
#include "schedule/tasks/DateTime.h"

#include <array>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>

enum DateOrder : int32_t { YearMonthDay = 0, DayMonthYear = 1, MonthDayYear = 2 };

using DateOrderSet = std::set<DateOrder>;

inline DateOrderSet AllDateOrders() { return {YearMonthDay, DayMonthYear, MonthDayYear}; }

// The three numbers of a date text ("Mon 3/15/09" gives 3, 15, 9; a time after the date is
// ignored); none when the text does not hold two separators. Numbers too large saturate.
std::optional<std::array<int64_t, 3>> ParseDateNumbers(std::string_view text);
// Midnight of the day the text names in the given order; none when it names no valid day.
// Two-digit years below 70 are 20xx, other years below 1900 are 19xx.
std::optional<DateTime> ParseDate(std::string_view text, DateOrder order);
// Tries each candidate in ascending order and drops those that cannot read the text. Returns
// the date read by the last candidate tried, or none when that one failed too.
// A cache, when given, answers for ParseDate; `byOrder`, when given, receives what each order
// tried read.
class DateParseCache;
std::optional<DateTime> NarrowDateOrders(DateOrderSet& candidates, std::string_view text,
                                         DateParseCache* cache = nullptr,
                                         std::array<std::optional<DateTime>, 3>* byOrder = nullptr);
// 31 January 2000 written in the order, as the date-order dialog shows it ("00/01/31").
std::string DateOrderSample(DateOrder order);
