#include "TestSupport.h"
#include "schedule/tasks/ByteStream.h"
#include "schedule/tasks/DateTime.h"

#include <cstring>
#include <random>

namespace {

DateTime Make(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0, int us = 0, int ns = 0) {
    DateTime t;
    t.SetDateTime(y, mo, d, h, mi, s, ms, us, ns);
    return t;
}

using DateTimeTest = FixedClockTest;

TEST_F(DateTimeTest, KnownInstantsHaveKnownTicks) {
    EXPECT_EQ(Make(1601, 1, 1).ticks, 0);
    EXPECT_EQ(Make(1601, 1, 1).status, DateTimeStatus::Valid);
    EXPECT_EQ(Make(2009, 3, 1).ticks, 128'803'392'000'000'000LL);
    DateTime cleared = Make(2009, 3, 1);
    cleared.Clear();
    EXPECT_EQ(cleared.status, DateTimeStatus::Valid);
    EXPECT_EQ(cleared.ticks, 0);
}

TEST_F(DateTimeTest, CarriesOfUnrangedFields) {
    DateTime t = Make(2008, 1, 31, 24);
    ASSERT_EQ(t.status, DateTimeStatus::Valid);
    EXPECT_EQ(t.Year(), 2008);
    EXPECT_EQ(t.Month(), 2);
    EXPECT_EQ(t.Day(), 1);
    EXPECT_EQ(t.Hour(), 0);
    EXPECT_EQ(t.DayOfYear(), 32);
    EXPECT_EQ(t.DayOfWeek(), 6); // Friday

    DateTime m = Make(2010, 6, 1, 0, 90);
    EXPECT_EQ(m.Hour(), 1);
    EXPECT_EQ(m.Minute(), 30);
    // 31 December plus 24 hours is the next year.
    DateTime y = Make(2011, 12, 31, 24);
    EXPECT_EQ(y.Year(), 2012);
    EXPECT_EQ(y.Month(), 1);
    EXPECT_EQ(y.Day(), 1);
}

TEST_F(DateTimeTest, CalendarRejectionsKeepTheTicks) {
    EXPECT_EQ(Make(2007, 2, 29).status, DateTimeStatus::Invalid);
    EXPECT_EQ(Make(1900, 2, 29).status, DateTimeStatus::Invalid);
    EXPECT_EQ(Make(2008, 2, 29).status, DateTimeStatus::Valid);
    EXPECT_EQ(Make(2000, 2, 29).status, DateTimeStatus::Valid);
    EXPECT_EQ(Make(2009, 4, 31).status, DateTimeStatus::Invalid);
    EXPECT_EQ(Make(2009, 1, 0).status, DateTimeStatus::Invalid);
    EXPECT_EQ(Make(2009, 13, 1).status, DateTimeStatus::Invalid);
    EXPECT_EQ(Make(2009, 0, 1).status, DateTimeStatus::Invalid);
    EXPECT_EQ(Make(29001, 1, 1).status, DateTimeStatus::Invalid);

    DateTime t = Make(2009, 3, 1);
    EXPECT_FALSE(t.SetDateTimeOk(2009, 2, 30, 0, 0, 0, 0, 0, 0));
    EXPECT_EQ(t.status, DateTimeStatus::Invalid);
    EXPECT_EQ(t.ticks, 128'803'392'000'000'000LL);
    EXPECT_EQ(t.Year(), -1);
    EXPECT_EQ(t.DayOfWeek(), -1);
}

TEST_F(DateTimeTest, NanosecondsRoundToHundreds) {
    DateTime base = Make(2009, 3, 1);
    EXPECT_EQ(Make(2009, 3, 1, 0, 0, 0, 0, 0, 949).ticks - base.ticks, 9);
    EXPECT_EQ(Make(2009, 3, 1, 0, 0, 0, 0, 0, 950).ticks - base.ticks, 10);
    EXPECT_EQ(Make(2009, 3, 1, 0, 0, 0, 0, 0, 999).ticks - base.ticks, 10);
    DateTimeFields f;
    ASSERT_TRUE(Make(2009, 3, 1, 0, 0, 0, 1, 2, 949).GetFields(f));
    EXPECT_EQ(f.millisecond, 1);
    EXPECT_EQ(f.microsecond, 2);
    EXPECT_EQ(f.nanosecond, 900);
}

TEST_F(DateTimeTest, FieldsRoundTripThroughTicks) {
    std::mt19937_64 rng(42);
    DateTime last = Make(9999, 12, 31, 23, 59, 59, 999, 999, 900);
    std::uniform_int_distribution<int64_t> pick(0, last.ticks);
    for (int i = 0; i < 20000; ++i) {
        int64_t ticks = i == 0 ? last.ticks : pick(rng);
        DateTimeFields f;
        ASSERT_TRUE(DateTime::FromTicks(ticks).GetFields(f));
        DateTime back = Make(f.year, f.month, f.day, f.hour, f.minute, f.second, f.millisecond, f.microsecond,
                             f.nanosecond);
        ASSERT_EQ(back.ticks, ticks) << f.year << "-" << f.month << "-" << f.day;
        ASSERT_EQ(back.DayOfYear(), f.dayOfYear);
    }
    // The last instant of a day stays on that day.
    DateTime lastOfDay = Make(2009, 3, 1).EndOfDay() - DateTimeSpan::FromTicks(1);
    EXPECT_EQ(lastOfDay.Day(), 1);
    EXPECT_EQ(lastOfDay.Hour(), 23);
    EXPECT_EQ(lastOfDay.Second(), 59);
    EXPECT_EQ(lastOfDay.Millisecond(), 999);
}

TEST_F(DateTimeTest, ExtremeTicksBreakDownWithoutOverflow) {
    DateTimeFields f;
    for (int64_t t : {INT64_MIN, INT64_MIN + 1, INT64_MAX}) {
        EXPECT_TRUE(DateTime::FromTicks(t).GetFields(f)) << t;
        EXPECT_GE(f.hour, 0);
        EXPECT_LT(f.hour, 24);
    }
}

TEST_F(DateTimeTest, DayBoundaries) {
    DateTime t = Make(2009, 3, 2, 15, 45, 12);
    EXPECT_EQ(t.StartOfDay(), Make(2009, 3, 2));
    EXPECT_EQ(t.EndOfDay(), Make(2009, 3, 3));
    EXPECT_EQ(t.EndOfDay().DayBefore(), t.StartOfDay());
    EXPECT_EQ(Make(2008, 2, 28, 12).EndOfDay(), Make(2008, 2, 29));
    DateTime before = t.DayBefore();
    EXPECT_EQ(t.Day(), 2); // unchanged
    EXPECT_EQ(before.Day(), 1);
    EXPECT_EQ(DateTime::FromTicks(5, DateTimeStatus::Null).StartOfDay().status, DateTimeStatus::Invalid);
}

TEST_F(DateTimeTest, StatusPropagatesThroughArithmetic) {
    DateTime valid = Make(2009, 3, 1);
    DateTime invalid = DateTime::FromTicks(77, DateTimeStatus::Invalid);
    DateTime null = DateTime::FromTicks(99, DateTimeStatus::Null);
    DateTimeSpan s = invalid - null;
    EXPECT_EQ(s.status, DateTimeStatus::Null);
    EXPECT_EQ(s.ticks, 0);
    DateTimeSpan v = valid - invalid;
    EXPECT_EQ(v.status, DateTimeStatus::Invalid);
    EXPECT_EQ(v.ticks, 0);
    DateTime shifted = valid + DateTimeSpan(1, 2, 0, 0);
    EXPECT_EQ(shifted, Make(2009, 3, 2, 2));
    DateTime nullSum = valid + DateTimeSpan::FromTicks(3, DateTimeStatus::Null);
    EXPECT_EQ(nullSum.status, DateTimeStatus::Null);
    // Overflowing tick arithmetic is not a value.
    EXPECT_EQ((DateTime::FromTicks(INT64_MAX) + DateTimeSpan::FromTicks(1)).status, DateTimeStatus::Invalid);
    DateTime acc = valid;
    acc += DateTimeSpan(0, 0, 30, 0);
    EXPECT_EQ(acc.Minute(), 30);
}

TEST_F(DateTimeTest, SpanTotalsTruncateTowardZero) {
    DateTimeSpan day(1, 0, 0, 0);
    EXPECT_EQ(day.ticks, kTicksPerDay);
    DateTimeSpan mixed(0, 25, 0, 0, 0, 0, -150);
    EXPECT_EQ(mixed.TotalDays(), 1);
    EXPECT_EQ(mixed.TotalHours(), 24); // 25 h less 200 ns
    DateTimeSpan negative = DateTimeSpan::FromTicks(-(kTicksPerDay + 1));
    EXPECT_EQ(negative.TotalDays(), -1);
    EXPECT_EQ(DateTimeSpan(0, 0, 0, 0, 0, 0, 50).ticks, 1);
    EXPECT_EQ(DateTimeSpan(0, 0, 0, 0, 0, 0, -50).ticks, -1);
}

TEST_F(DateTimeTest, ComparisonIgnoresStatusExceptForEquality) {
    DateTime a = DateTime::FromTicks(100, DateTimeStatus::Valid);
    DateTime b = DateTime::FromTicks(100, DateTimeStatus::Invalid);
    EXPECT_FALSE(a < b);
    EXPECT_FALSE(a > b);
    EXPECT_TRUE(a <= b);
    EXPECT_FALSE(a == b);
    EXPECT_EQ(CompareDateTime(a, b), 1);
    EXPECT_EQ(CompareDateTime(b, a), 1);
    EXPECT_EQ(CompareDateTime(a, a), 0);
    EXPECT_EQ(CompareDateTime(a, DateTime::FromTicks(101)), -1);
}

TEST_F(DateTimeTest, FormatHonoursTheBuffer) {
    char buf[32];
    std::memset(buf, 'Z', sizeof buf);
    DateTime invalid = DateTime::FromTicks(0, DateTimeStatus::Invalid);
    EXPECT_EQ(invalid.Format(buf, 10, "%x"), buf);
    EXPECT_STREQ(buf, "Invalid d");
    EXPECT_EQ(buf[10], 'Z');

    std::memset(buf, 'Z', sizeof buf);
    EXPECT_EQ(DateTime::FromTicks(0, DateTimeStatus::Null).Format(buf, 10, "%x"), nullptr);
    EXPECT_EQ(buf[0], 'Z');
    EXPECT_EQ(Make(2009, 3, 1).Format(buf, 0, "%x"), nullptr);
    EXPECT_EQ(Make(2009, 3, 1).Format(nullptr, 10, "%x"), nullptr);

    DateTime noon = Make(2009, 3, 1, 12, 0, 0, 7);
    EXPECT_STREQ(noon.Format(buf, sizeof buf, "%#s"), "7");
    EXPECT_STREQ(noon.Format(buf, sizeof buf, "%s"), "007");
    EXPECT_STREQ(noon.Format(buf, sizeof buf, "%H:%M:%S.%s"), "12:00:00.007");
    EXPECT_STREQ(Make(2009, 3, 1, 0, 0, 0, 1, 2, 300).Format(buf, sizeof buf, "%s %u %n %#u"), "001 002 300 2");
    EXPECT_STREQ(noon.Format(buf, sizeof buf, "%Y-%m-%d"), "2009-03-01");
    // "%s" would grow the text past a 4-byte buffer: it stays, and strftime then cannot fit it.
    char small[4];
    noon.Format(small, sizeof small, "%s");
    EXPECT_LT(std::strlen(small), sizeof small);
}

TEST_F(DateTimeTest, StoredFormIsTwelveLittleEndianBytes) {
    MemoryOutStream out;
    DateTime t = Make(2009, 3, 1);
    ASSERT_EQ(t.Write(out), 0);
    ASSERT_EQ(out.bytes.size(), 12u);
    EXPECT_EQ(out.bytes[0], 0);
    uint64_t ticks = 0;
    for (int i = 0; i < 8; ++i) ticks |= static_cast<uint64_t>(out.bytes[4 + i]) << (8 * i);
    EXPECT_EQ(ticks, static_cast<uint64_t>(t.ticks));

    MemoryInStream in(out.bytes);
    DateTime back;
    ASSERT_EQ(back.Read(in), 0);
    EXPECT_EQ(back, t);

    // A short read puts the previous value back.
    MemoryInStream shortIn(out.bytes.data(), 9);
    DateTime keep = Make(2020, 1, 1);
    EXPECT_EQ(keep.Read(shortIn), 3);
    EXPECT_EQ(keep, Make(2020, 1, 1));
}

TEST_F(DateTimeTest, PlatformTimeRoundTripsBeyond2038) {
    DateTime t = Make(2045, 7, 15, 8, 30);
    int32_t v = t.ToPlatformTime();
    DateTime back;
    back.FromPlatformTime(v);
    EXPECT_EQ(back, t);
    EXPECT_EQ(DateTime::FromTicks(0, DateTimeStatus::Invalid).ToPlatformTime(), 0);
    // The platform keeps whole minutes; rebasing changes nothing else.
    DateTime r = Make(1999, 12, 31, 23, 59, 30);
    r.RebaseTime();
    EXPECT_EQ(r, Make(1999, 12, 31, 23, 59, 30));
    DateTime now = DateTime::Now();
    EXPECT_EQ(now, Make(2009, 3, 2, 10, 30));
    char buf[64];
    EXPECT_STREQ(now.FormatForDisplay(buf, sizeof buf, 0x810), "2009.03.02.");
}

} // namespace
