#include "TestSupport.h"
#include "TestTasks.h"
#include "schedule/projectfile/BaselineRecord.h"
#include "schedule/tasks/AnimationSettings.h"
#include "schedule/tasks/Exceptions.h"
#include "schedule/tasks/TaskDB.h"

#include <gtest/gtest.h>

namespace {

using enum ConstructionType;

class BaselineTest : public FixedClockTest {
protected:
    void SetUp() override {
        FixedClockTest::SetUp();
        db.InitTaskDB();
        db.AppendLoadedTask(TestTask(1, Construction, DateTime(2009, 3, 2), DateTime(2009, 3, 6), "Alap"));
        db.AppendLoadedTask(TestTask(2, Construction, DateTime(2009, 3, 6), DateTime(2009, 3, 13), "Falak"));
        db.AppendLoadedTask(TestTask(3, Construction, DateTime(2009, 3, 13), DateTime(2009, 3, 20), "Tető"));
        db.AppendLoadedTask(TestTask(4, Fixed, DateTime(2009, 3, 20), DateTime(2009, 3, 21), "Átadás"));
    }
    void Move(size_t i, int startDays, int finishDays) {
        Task& t = db.Tasks()[i];
        t.start.ticks += startDays * 86400 * kTicksPerSecond;
        t.finish.ticks += finishDays * 86400 * kTicksPerSecond;
    }
    AnimationSettings settings;
    TaskDB db{settings, nullptr};
};

TEST_F(BaselineTest, SlipsAreWholeDaysWorstFirst) {
    ASSERT_TRUE(db.KeepBaseline(Cp("Szerződéses")));
    EXPECT_TRUE(db.IsDirty());
    const Baseline& b = db.Baselines().at(0);
    EXPECT_EQ(b.kept, DateTime(2009, 3, 2, 10, 30, 0));
    ASSERT_EQ(b.tasks.size(), 4u);
    EXPECT_EQ(b.tasks[1], (BaselineTask{2, DateTime(2009, 3, 6), DateTime(2009, 3, 13)}));
    Move(0, 0, 2);   // finishes two days late
    Move(1, 2, 5);   // pushed: five days late
    Move(2, -1, -1); // a day early
    db.AppendLoadedTask(TestTask(5, Fixed, DateTime(2009, 4, 1), DateTime(2009, 4, 2), "Új")); // not in the baseline
    db.Tasks()[3].start.ticks += 3600 * kTicksPerSecond; // an hour is no day
    const std::vector<TaskSlip> slips = SlipsAgainst(db.Tasks(), db.Baselines()[0]);
    EXPECT_EQ(slips, (std::vector<TaskSlip>{{1, 2, 5}, {0, 0, 2}, {2, -1, -1}}));
    // Equal in size, the later finish first.
    Move(2, -1, -1);
    EXPECT_EQ(SlipsAgainst(db.Tasks(), db.Baselines()[0])[1], (TaskSlip{0, 0, 2}));
}

TEST_F(BaselineTest, SeveralKeptByNameAndStored) {
    ASSERT_TRUE(db.KeepBaseline("A"));
    Move(0, 1, 1);
    ASSERT_TRUE(db.KeepBaseline("B"));
    Move(0, 1, 1);
    ASSERT_TRUE(db.KeepBaseline("A")); // replaces, keeps its place
    EXPECT_FALSE(db.KeepBaseline(""));
    ASSERT_EQ(db.Baselines().size(), 2u);
    EXPECT_EQ(db.Baselines()[0].name, "A");
    EXPECT_EQ(db.Baselines()[0].tasks[0].start, DateTime(2009, 3, 4));
    EXPECT_EQ(db.Baselines()[1].tasks[0].start, DateTime(2009, 3, 3));

    std::vector<Baseline> back;
    const std::vector<uint8_t> bytes = BaselineBytes(db.Baselines());
    EXPECT_EQ(bytes.size(), 2 + 2 * (2 + 1 + 12 + 4 + 4 * 28));
    ASSERT_TRUE(ReadBaselineBytes(bytes, back));
    EXPECT_EQ(back, db.Baselines());
    // Refused whole: cut short, a byte more, a name twice, none at all, a count beyond the body.
    std::vector<uint8_t> cut(bytes.begin(), bytes.end() - 1), more = bytes, twice = bytes, none = {0, 0}, huge = bytes;
    more.push_back(0);
    twice[2 + 2] = 'B';
    huge[2 + 3 + 12] = 0xFF;
    for (const auto& bad : {cut, more, twice, none, huge}) EXPECT_FALSE(ReadBaselineBytes(bad, back));
    db.ClearSchedule();
    EXPECT_TRUE(db.Baselines().empty());
}

TEST_F(BaselineTest, MarkDoneFollowsThePlanToTheStatusDate) {
    db.SetStatusDate(DateTime(2009, 3, 10)); // the end of 9 March
    EXPECT_TRUE(db.MarkDoneToStatusDate(0));
    ASSERT_NE(db.PlanAt(0), nullptr);
    EXPECT_EQ(db.PlanAt(0)->actualStart, DateTime(2009, 3, 2));
    EXPECT_EQ(db.PlanAt(0)->actualFinish, DateTime(2009, 3, 6));
    EXPECT_EQ(db.PlanAt(0)->percentComplete, 100);
    EXPECT_TRUE(db.MarkDoneToStatusDate(1)); // four days of seven
    EXPECT_EQ(db.PlanAt(1)->actualStart, DateTime(2009, 3, 6));
    EXPECT_EQ(db.PlanAt(1)->actualFinish.status, DateTimeStatus::Null);
    EXPECT_EQ(db.PlanAt(1)->percentComplete, 57);
    EXPECT_FALSE(db.MarkDoneToStatusDate(2)); // not begun by then
    EXPECT_EQ(db.PlanAt(2), nullptr);
    // An actual start already entered stays.
    db.SetProgress(1, DateTime(2009, 3, 7), DateTime::FromTicks(0, DateTimeStatus::Null), 10);
    EXPECT_TRUE(db.MarkDoneToStatusDate(1));
    EXPECT_EQ(db.PlanAt(1)->actualStart, DateTime(2009, 3, 7));
    EXPECT_THROW(db.MarkDoneToStatusDate(9), ETaskNotFound);
}

} // namespace
