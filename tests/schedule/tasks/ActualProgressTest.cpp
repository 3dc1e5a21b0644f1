#include "TestTasks.h"
#include "schedule/tasks/ActualProgress.h"
#include "schedule/tasks/ScheduleView.h"

#include <gtest/gtest.h>

namespace {

using enum ConstructionType;
using enum PlanStanding;

// Planned 2 to 10 March (finish exclusive), the status date 15 March at its end.
Task Planned() { return TestTask(1, Construction, DateTime(2009, 3, 2), DateTime(2009, 3, 11), "Falak"); }
const DateTime kStatus = DateTime(2009, 3, 16);

TaskPlan Actual(std::optional<DateTime> start, std::optional<DateTime> finish, uint8_t percent = TaskPlan::kNoPercent) {
    TaskPlan p;
    if (start) p.actualStart = *start;
    if (finish) p.actualFinish = *finish;
    p.percentComplete = percent;
    return p;
}

PlanStanding At(const TaskPlan& p, DateTime at) { return StandingAt(Planned(), &p, kStatus, at); }

TEST(ScheduleView, TextsBothWays) {
    for (ScheduleView v : {ScheduleView::Planned, ScheduleView::Actual, ScheduleView::Compare})
        EXPECT_EQ(ScheduleViewFromText(ScheduleViewText(v)), v);
    EXPECT_FALSE(ScheduleViewFromText("Planned"));
}

TEST(PlanStanding, OnTimeIsOnPlanThroughout) {
    const TaskPlan p = Actual(DateTime(2009, 3, 2), DateTime(2009, 3, 11), 100);
    for (DateTime at : {DateTime(2009, 3, 1), DateTime(2009, 3, 2, 12, 0, 0), DateTime(2009, 3, 11), DateTime(2009, 4, 1)})
        EXPECT_EQ(At(p, at), OnPlan);
}

TEST(PlanStanding, AnEarlyStartIsAheadUntilThePlanBegins) {
    const TaskPlan p = Actual(DateTime(2009, 2, 27), DateTime(2009, 3, 11), 100);
    EXPECT_EQ(At(p, DateTime(2009, 2, 27)), OnPlan); // at its very first moment not yet begun
    EXPECT_EQ(At(p, DateTime(2009, 2, 28)), Early);
    EXPECT_EQ(At(p, DateTime(2009, 3, 2)), Early); // the plan begins a second later
    EXPECT_EQ(At(p, DateTime(2009, 3, 3)), OnPlan);
}

TEST(PlanStanding, ALateFinishIsBehindUntilItHappens) {
    const TaskPlan p = Actual(DateTime(2009, 3, 2), DateTime(2009, 3, 13), 100);
    EXPECT_EQ(At(p, DateTime(2009, 3, 10)), OnPlan);
    EXPECT_EQ(At(p, DateTime(2009, 3, 11)), Late);
    EXPECT_EQ(At(p, DateTime(2009, 3, 12, 23, 0, 0)), Late);
    EXPECT_EQ(At(p, DateTime(2009, 3, 13)), OnPlan);
}

TEST(PlanStanding, NoActualDataIsLateBeforeTheStatusDateAndNotYetAfterIt) {
    const TaskPlan none;
    EXPECT_EQ(At(none, DateTime(2009, 3, 1)), OnPlan);
    EXPECT_EQ(At(none, DateTime(2009, 3, 5)), Late);
    EXPECT_EQ(At(none, DateTime(2009, 4, 1)), Late); // was due by the status date
    EXPECT_EQ(StandingAt(Planned(), nullptr, kStatus, DateTime(2009, 3, 5)), Late);
    // Planned after the status date: it has not happened yet, and that is the plan.
    const Task later = TestTask(2, Construction, DateTime(2009, 3, 20), DateTime(2009, 3, 25), "Tető");
    EXPECT_EQ(StandingAt(later, &none, kStatus, DateTime(2009, 3, 22)), OnPlan);
    EXPECT_EQ(StandingAt(later, &none, kStatus, DateTime(2009, 3, 30)), OnPlan);
    // Begun and not finished at the status date while the plan had it done: late ever after.
    const TaskPlan running = Actual(DateTime(2009, 3, 2), std::nullopt, 60);
    EXPECT_EQ(At(running, DateTime(2009, 3, 8)), OnPlan);
    EXPECT_EQ(At(running, DateTime(2009, 3, 12)), Late);
    EXPECT_EQ(At(running, DateTime(2009, 5, 1)), Late);
}

TEST(ActualTask, FollowsWhatHappened) {
    // Not begun: absent before and after the status date.
    const TaskPlan none;
    for (DateTime at : {DateTime(2009, 3, 5), DateTime(2009, 4, 1)}) {
        ActualTask a = ActualTaskAt(Planned(), &none, kStatus, at);
        EXPECT_EQ(a.task.appearance, Appearance::Absent);
        EXPECT_FALSE(a.task.inProgress);
    }
    EXPECT_EQ(ActualTaskAt(Planned(), nullptr, kStatus, DateTime(2009, 4, 1)).task.appearance, Appearance::Absent);
    // Done a day late, by its actual dates.
    const TaskPlan done = Actual(DateTime(2009, 3, 3), DateTime(2009, 3, 12));
    EXPECT_EQ(ActualTaskAt(Planned(), &done, kStatus, DateTime(2009, 3, 3)).task.appearance, Appearance::Absent);
    EXPECT_EQ(ActualTaskAt(Planned(), &done, kStatus, DateTime(2009, 3, 11, 12, 0, 0)).task.appearance, Appearance::UnderWork);
    ActualTask after = ActualTaskAt(Planned(), &done, kStatus, DateTime(2009, 3, 12));
    EXPECT_EQ(after.task.appearance, Appearance::Present);
    EXPECT_FALSE(after.progress);
}

TEST(ActualTask, UnderWayAtTheStatusDateGrowsToItsPercentAndStaysThere) {
    // Begun 6 March, 40 percent at the status date, ten days later.
    const TaskPlan p = Actual(DateTime(2009, 3, 6), std::nullopt, 40);
    ActualTask mid = ActualTaskAt(Planned(), &p, kStatus, DateTime(2009, 3, 11));
    EXPECT_EQ(mid.task.appearance, Appearance::UnderWork);
    ASSERT_TRUE(mid.progress);
    EXPECT_DOUBLE_EQ(*mid.progress, 0.2);
    EXPECT_EQ(mid.task.percentComplete, 20);
    for (DateTime at : {kStatus, DateTime(2009, 6, 1)}) {
        ActualTask a = ActualTaskAt(Planned(), &p, kStatus, at);
        EXPECT_TRUE(a.task.inProgress);
        EXPECT_DOUBLE_EQ(a.progress.value_or(-1), 0.4);
    }
    // Without a percent: the share of its planned nine days that passed, here all of them.
    const TaskPlan unsure = Actual(DateTime(2009, 3, 6), std::nullopt);
    EXPECT_DOUBLE_EQ(ActualTaskAt(Planned(), &unsure, kStatus, DateTime(2009, 3, 9)).progress.value_or(-1), 3.0 / 9.0);
    EXPECT_DOUBLE_EQ(ActualTaskAt(Planned(), &unsure, kStatus, DateTime(2009, 4, 9)).progress.value_or(-1), 1.0);
}

} // namespace
