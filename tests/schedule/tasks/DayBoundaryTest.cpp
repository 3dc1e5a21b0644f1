#include "schedule/tasks/DayBoundary.h"

#include <gtest/gtest.h>

#include <random>

namespace {

TEST(DayBoundary, AgreesWithTheCalendarEverywhere) {
    const int64_t limit = DateTime(29000, 12, 31).ticks + kTicksPerDay;
    std::vector<DateTime> values = {DateTime::FromTicks(0),
                                    DateTime::FromTicks(1),
                                    DateTime::FromTicks(kTicksPerDay - 1),
                                    DateTime(2009, 3, 2, 10, 30),
                                    DateTime(2008, 2, 29, 23, 59, 59),
                                    DateTime::FromTicks(limit - 1),
                                    DateTime::FromTicks(limit),
                                    DateTime::FromTicks(limit + kTicksPerDay / 2),
                                    DateTime::FromTicks(INT64_MAX),
                                    DateTime::FromTicks(12345, DateTimeStatus::Invalid),
                                    DateTime::FromTicks(12345, DateTimeStatus::Null),
                                    DateTime::FromTicks(12345, static_cast<DateTimeStatus>(77))};
    std::mt19937_64 rng(5);
    for (int i = 0; i < 20000; ++i) values.push_back(DateTime::FromTicks(static_cast<int64_t>(rng() % static_cast<uint64_t>(limit + kTicksPerDay))));
    for (const DateTime& v : values) {
        DateTime start = v.StartOfDay(), end = v.EndOfDay();
        DateTime fastStart = StartOfDayOf(v), fastEnd = EndOfDayOf(v);
        EXPECT_EQ(fastStart.status, start.status) << v.ticks;
        EXPECT_EQ(fastEnd.status, end.status) << v.ticks;
        if (start.status == DateTimeStatus::Valid) {
            EXPECT_EQ(fastStart.ticks, start.ticks) << v.ticks;
        }
        if (end.status == DateTimeStatus::Valid) {
            EXPECT_EQ(fastEnd.ticks, end.ticks) << v.ticks;
        }
    }
}

TEST(DayBoundary, InstantsBefore1601AreInvalid) {
    for (int64_t ticks : {int64_t{-1}, -kTicksPerDay, INT64_MIN}) {
        EXPECT_EQ(StartOfDayOf(DateTime::FromTicks(ticks)), DateTime::FromTicks(ticks, DateTimeStatus::Invalid));
        EXPECT_EQ(EndOfDayOf(DateTime::FromTicks(ticks)), DateTime::FromTicks(ticks, DateTimeStatus::Invalid));
    }
}

} // namespace
