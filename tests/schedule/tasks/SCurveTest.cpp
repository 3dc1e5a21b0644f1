#include "TestSupport.h"
#include "TestTasks.h"
#include "schedule/tasks/AnimationSettings.h"
#include "schedule/tasks/SCurve.h"
#include "schedule/tasks/TaskDB.h"

#include <gtest/gtest.h>

namespace {

using enum ConstructionType;

class SCurveTest : public FixedClockTest {
protected:
    void SetUp() override {
        FixedClockTest::SetUp();
        db.InitTaskDB();
    }
    void Add(int32_t id, DateTime start, DateTime finish, TaskPlan plan = {}) {
        db.AppendLoadedTask(TestTask(id, Construction, start, finish, "t"), plan);
    }
    AnimationSettings settings;
    TaskDB db{settings, nullptr};
};

// Worked by hand: A, two days from 2 March, weighs 1 and took three; B, four days from 4 March,
// weighs 3, began on 5 March and was half done at the status date, the end of 6 March.
TEST_F(SCurveTest, APlanAndWhatHappenedDayByDay) {
    TaskPlan a, b;
    a.actualStart = DateTime(2009, 3, 2);
    a.actualFinish = DateTime(2009, 3, 5);
    b.actualStart = DateTime(2009, 3, 5);
    b.percentComplete = 50;
    Add(1, DateTime(2009, 3, 2), DateTime(2009, 3, 4), a);
    Add(2, DateTime(2009, 3, 4), DateTime(2009, 3, 8), b);
    TaskPlan heading;
    heading.summary = true;
    Add(3, DateTime(2009, 2, 1), DateTime(2009, 4, 1), heading); // no work of its own
    Add(4, DateTime(2009, 1, 1), DateTime(2009, 5, 1));            // weighs nothing: no days of its own
    db.SetStatusDate(DateTime(2009, 3, 7));
    const double weights[] = {1, 3, 50, 0};
    const SCurve c = ComputeSCurve(db, weights);
    EXPECT_EQ(c.total, 4);
    const double planned[] = {12.5, 25, 43.75, 62.5, 81.25, 100};
    const double actual[] = {100.0 / 12, 100.0 / 6, 25, 43.75, 62.5};
    ASSERT_EQ(c.points.size(), 6u);
    for (size_t i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(c.points[i].day, DateTime(2009, 3, static_cast<int32_t>(2 + i)));
        EXPECT_DOUBLE_EQ(c.points[i].planned, planned[i]);
        if (i < 5) EXPECT_DOUBLE_EQ(c.points[i].actual.value_or(-1), actual[i]);
        else EXPECT_FALSE(c.points[i].actual); // after the status date
    }
}

TEST_F(SCurveTest, WithoutWeightsEachTaskWeighsTheSame) {
    Add(1, DateTime(2009, 3, 2), DateTime(2009, 3, 3));
    Add(2, DateTime(2009, 3, 3), DateTime(2009, 3, 4));
    db.SetStatusDate(DateTime(2009, 3, 4));
    const SCurve c = ComputeSCurve(db, {});
    ASSERT_EQ(c.points.size(), 2u);
    EXPECT_DOUBLE_EQ(c.points[0].planned, 50);
    EXPECT_DOUBLE_EQ(c.points[1].planned, 100);
    EXPECT_DOUBLE_EQ(c.points[1].actual.value_or(-1), 0); // nothing reported done
    db.ClearSchedule();
    EXPECT_TRUE(ComputeSCurve(db, {}).points.empty());
}

} // namespace
