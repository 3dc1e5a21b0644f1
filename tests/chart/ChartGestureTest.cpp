// A script's chart gestures: what each names, and the line between a gesture of a wrong form
// (the command's usage) and one the chart does not know (its own refusal).
#include "chart/ChartGesture.h"
#include "chart/ChartTimeScale.h"
#include "schedule/tasks/DateTime.h"

#include <gtest/gtest.h>

namespace {

std::optional<ChartGesture> Parse(std::vector<std::string> args, std::string* errorOut = nullptr) {
    std::string error;
    auto g = ParseChartGesture(args, error);
    if (errorOut) *errorOut = error;
    else EXPECT_EQ(error, "");
    return g;
}

int64_t Day(int y, int m, int d) { return DayOfTicks(DateTime(y, m, d).ticks); }

} // namespace

TEST(ChartGesture, ReadsWhatEachGestureNames) {
    auto g = Parse({"dblclick", "07"});
    ASSERT_TRUE(g);
    EXPECT_EQ(g->kind, ChartGesture::Kind::DoubleClick);
    EXPECT_EQ(g->row, 7);
    EXPECT_EQ(g->rowText, "07");
    g = Parse({"drag-bar", "3", "finish", "-2"});
    ASSERT_TRUE(g);
    EXPECT_EQ(g->part, ChartGesture::BarPart::Finish);
    EXPECT_EQ(g->days, -2);
    g = Parse({"drag-date", "2009-03-10", "4"});
    ASSERT_TRUE(g);
    EXPECT_EQ(g->day, Day(2009, 3, 10));
    EXPECT_EQ(g->steps, 4);
    g = Parse({"key", "space", "shift"});
    ASSERT_TRUE(g);
    EXPECT_EQ(g->key, DGKey::Space);
    EXPECT_TRUE(g->shift);
    g = Parse({"play", "2009-03-02", "2009-04-01", "7"});
    ASSERT_TRUE(g);
    EXPECT_EQ(g->lastDay - g->day, 30);
    EXPECT_EQ(g->daysPerSecond, 7);
    EXPECT_EQ(Parse({"zoom", "out"})->zoomBy, -1);
}

TEST(ChartGesture, AWrongFormIsUsageAnUnknownGestureARefusal) {
    for (std::vector<std::string> args : std::vector<std::vector<std::string>>{
             {}, {"click"}, {"click", "0"}, {"toggle", "x"}, {"drag-bar", "1", "middle", "2"}, {"drag-date", "2009-02-30"},
             {"key", "up"}, {"key", "left", "ctrl"}, {"undo", "1"}, {"zoom"}, {"play", "2009-03-02", "2009-03-02", "1"},
             {"play", "2009-03-02", "2009-03-09", "2"}})
        EXPECT_FALSE(Parse(args)) << (args.empty() ? "" : args[0]);
    std::string error;
    EXPECT_FALSE(Parse({"wiggle", "1"}, &error));
    EXPECT_EQ(error, "unknown chart gesture wiggle");
}
