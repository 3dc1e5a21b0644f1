#include "TestSupport.h"
#include "schedule/tasks/AnimationSettings.h"
#include "schedule/tasks/TaskDB.h"
#include "schedule/tasks/TaskLess.h"

#include <string>

namespace {

using enum ConstructionType;

class TaskPlanTest : public FixedClockTest {
protected:
    void SetUp() override {
        FixedClockTest::SetUp();
        db.InitTaskDB();
    }
    void Add(int32_t id, const char* name, int32_t uid, bool summary = false) {
        Task t;
        t.id = id;
        t.start = DateTime(2009, 3, id);
        t.finish = DateTime(2009, 3, id + 1);
        t.SetName(name);
        TaskPlan plan;
        plan.uid = uid;
        plan.summary = summary;
        db.AppendLoadedTask(t, plan);
    }
    int32_t UidAt(size_t i) const { return db.PlanAt(i) ? db.PlanAt(i)->uid : 0; }
    AnimationSettings settings;
    TaskDB db{settings, nullptr};
};

TEST_F(TaskPlanTest, APlainScheduleHasNone) {
    Task t;
    t.id = 1;
    db.AppendLoadedTask(t);
    db.NewTask();
    EXPECT_FALSE(db.HasPlan());
    EXPECT_EQ(db.PlanAt(0), nullptr);
    EXPECT_FALSE(db.IsMarkerAt(1));
    // A plan that holds nothing is no plan.
    db.AppendLoadedTask(t, TaskPlan{});
    EXPECT_FALSE(db.HasPlan());
}

TEST_F(TaskPlanTest, PlansFollowTheirTasks) {
    Add(3, "c", 30);
    Task plain;
    plain.id = 9;
    db.AppendLoadedTask(plain); // no plan of its own among tasks that have one
    Add(1, "a", 10, true);
    ASSERT_TRUE(db.HasPlan());
    EXPECT_EQ(db.PlanAt(1), nullptr);

    db.SortTasks(TaskLess(false, TaskLess::ByName));
    EXPECT_EQ(db.Tasks()[0].Name(), "");
    EXPECT_EQ(UidAt(0), 0);
    EXPECT_EQ(db.Tasks()[1].Name(), "a");
    EXPECT_EQ(UidAt(1), 10);
    EXPECT_TRUE(db.IsMarkerAt(1));
    EXPECT_EQ(UidAt(2), 30);
    EXPECT_EQ(db.IndexOfId(3), 2u); // the id index follows the sort too

    size_t added = db.NewTask();
    EXPECT_EQ(db.PlanAt(added), nullptr);
    db.DeleteTask(1);
    EXPECT_EQ(UidAt(1), 30);
    EXPECT_FALSE(db.IsMarkerAt(1));
    EXPECT_FALSE(db.IsMarker(db.Tasks()[1]));

    db.ClearSchedule();
    EXPECT_FALSE(db.HasPlan());
}

TEST_F(TaskPlanTest, ReachedByReference) {
    Add(1, "a", 10, true);
    Add(2, "b", 20);
    EXPECT_TRUE(db.IsMarker(db.TaskById(1)));
    EXPECT_FALSE(db.IsMarker(db.TaskById(2)));
    Task copy = db.Tasks()[0];
    EXPECT_FALSE(db.IsMarker(copy)); // not the schedule's own record
}

TEST_F(TaskPlanTest, AListChangedBehindTheScheduleHoldsNoPlan) {
    Add(1, "a", 10, true);
    Add(2, "b", 20);
    db.Tasks().pop_back();
    EXPECT_FALSE(db.HasPlan());
    EXPECT_EQ(db.PlanAt(0), nullptr);
    EXPECT_FALSE(db.IsMarkerAt(0));
}

TEST_F(TaskPlanTest, SortingWithAndWithoutPlansAgrees) {
    // The date keys are no strict weak order; both paths must still give the same order.
    TaskDB plain{settings, nullptr};
    const int32_t days[] = {5, 3, 5, 1, 3, 5, 2};
    for (int32_t i = 0; i < 7; ++i) {
        Task t;
        t.id = i + 1;
        t.start = DateTime(2009, 4, days[i]);
        if (i == 2) t.start.status = DateTimeStatus::Invalid;
        t.finish = t.start;
        TaskPlan plan;
        plan.uid = 100 + i;
        db.AppendLoadedTask(t, plan);
        plain.AppendLoadedTask(t);
    }
    TaskLess byStart(true, TaskLess::ByStart);
    db.SortTasks(byStart);
    plain.SortTasks(byStart);
    for (size_t i = 0; i < 7; ++i) {
        EXPECT_EQ(db.Tasks()[i].id, plain.Tasks()[i].id);
        EXPECT_EQ(UidAt(i), 99 + db.Tasks()[i].id);
    }
}

TEST(DependencyTypeTest, MicrosoftProjectNumbering) {
    EXPECT_EQ(DependencyTypeText(static_cast<DependencyType>(0)), "FF");
    EXPECT_EQ(DependencyTypeText(static_cast<DependencyType>(1)), "FS");
    EXPECT_EQ(DependencyTypeText(static_cast<DependencyType>(2)), "SF");
    EXPECT_EQ(DependencyTypeText(static_cast<DependencyType>(3)), "SS");
}

} // namespace
