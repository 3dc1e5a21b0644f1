#include "TestSupport.h"
#include "schedule/tasks/AnimationSettings.h"
#include "schedule/tasks/Exceptions.h"
#include "schedule/tasks/TaskDB.h"

#include <string>

namespace {

using enum ConstructionType;

class TaskDBTest : public FixedClockTest {
protected:
    void SetUp() override {
        FixedClockTest::SetUp();
        db.InitTaskDB();
    }
    Task MakeTask(int32_t id, ConstructionType type, DateTime start, DateTime finish, const char* name = "t") {
        Task t;
        t.id = id;
        t.type = type;
        t.start = start;
        t.finish = finish;
        t.SetName(name);
        return t;
    }
    AnimationSettings settings;
    TaskDB db{settings, nullptr};
};

struct StateAt {
    DateTime at;
    int32_t appearance;
    int32_t percent;
    uint8_t inProgress;
};

TEST_F(TaskDBTest, StateRuleFollowsTheConstructionType) {
    DateTime start(2009, 3, 2), finish(2009, 3, 4);
    DateTime beforeStart(2009, 3, 1, 12), atStart(2009, 3, 2), oneSecond(2009, 3, 2, 0, 0, 1),
        half(2009, 3, 3), atFinish(2009, 3, 4);
    struct Case {
        ConstructionType type;
        int32_t before, during, after;
    } cases[] = {{Construction, 0, 1, 2}, {Demolition, 2, 1, 0}, {Renovation, 2, 1, 2}, {Fixed, 2, 1, 2},
                 {Temporary, 0, 1, 0}, {static_cast<ConstructionType>(5), 2, 2, 2}};
    for (const auto& c : cases) {
        db.AppendLoadedTask(MakeTask(1, c.type, start, finish));
        const std::vector<StateAt> expected = {
            {beforeStart, c.before, 0, 0}, {atStart, c.before, 0, 0}, {oneSecond, c.during, 0, 1},
            {half, c.during, 50, 1},       {atFinish, c.after, 100, 0}};
        for (const auto& e : expected) {
            db.SetCurrentDate(e.at, false);
            const Task& t = db.Tasks().back();
            EXPECT_EQ(static_cast<int32_t>(t.appearance), e.appearance) << "type " << ConstructionTypeValue(c.type);
            EXPECT_EQ(t.percentComplete, e.percent) << "type " << ConstructionTypeValue(c.type);
            EXPECT_EQ(t.inProgress, e.inProgress) << "type " << ConstructionTypeValue(c.type);
        }
        db.Tasks().clear();
    }
}

TEST_F(TaskDBTest, ReversedAndInvalidTasks) {
    // Finish before start: never in progress, a started task shows its finished code at once.
    db.AppendLoadedTask(MakeTask(1, Construction, DateTime(2009, 3, 4), DateTime(2009, 3, 2)));
    db.AppendLoadedTask(MakeTask(0, Construction, DateTime(2009, 3, 1), DateTime(2009, 3, 9)));
    Task badDate = MakeTask(3, Construction, DateTime(2009, 3, 1), DateTime(2009, 3, 9));
    badDate.finish.status = DateTimeStatus::Invalid;
    db.AppendLoadedTask(badDate);
    db.SetCurrentDate(DateTime(2009, 3, 5), false);
    EXPECT_EQ(db.Tasks()[0].inProgress, 0);
    EXPECT_EQ(db.Tasks()[0].appearance, Appearance::Present);
    EXPECT_EQ(db.Tasks()[0].percentComplete, 100);
    EXPECT_EQ(db.Tasks()[1].percentComplete, 0); // id 0 is not a usable task
    EXPECT_EQ(db.Tasks()[2].percentComplete, 0);
}

TEST_F(TaskDBTest, NewTaskLastsToday) {
    size_t i = db.NewTask();
    EXPECT_EQ(i, 0u);
    Task t;
    db.GetTaskAt(i, t);
    EXPECT_EQ(t.id, 1);
    EXPECT_EQ(t.Name(), "");
    EXPECT_EQ(t.start, DateTime(2009, 3, 2));
    EXPECT_EQ(t.finish, DateTime(2009, 3, 3));
    EXPECT_TRUE(db.IsDirty());
    db.TaskById(1).id = 41;
    EXPECT_EQ(db.Tasks()[db.NewTask()].id, 42);
}

TEST_F(TaskDBTest, NewTaskNeverGetsAnIdBelowOne) {
    db.AppendLoadedTask(MakeTask(2147483647, Construction, DateTime(2009, 1, 1), DateTime(2009, 1, 2)));
    db.AppendLoadedTask(MakeTask(1, Construction, DateTime(2009, 1, 1), DateTime(2009, 1, 2)));
    db.AppendLoadedTask(MakeTask(2, Construction, DateTime(2009, 1, 1), DateTime(2009, 1, 2)));
    db.AppendLoadedTask(MakeTask(2, Construction, DateTime(2009, 1, 1), DateTime(2009, 1, 2)));
    db.AppendLoadedTask(MakeTask(-4, Construction, DateTime(2009, 1, 1), DateTime(2009, 1, 2)));
    // The largest id is taken: the smallest free positive id follows, then the next free one.
    EXPECT_EQ(db.Tasks()[db.NewTask()].id, 3);
    EXPECT_EQ(db.Tasks()[db.NewTask()].id, 4);
}

TEST_F(TaskDBTest, LookupsActOnTheFirstOfEqualIds) {
    db.AppendLoadedTask(MakeTask(-5, Construction, DateTime(2009, 1, 1), DateTime(2009, 1, 2), "neg"));
    EXPECT_EQ(db.MaxId(), 0);
    db.AppendLoadedTask(MakeTask(7, Construction, DateTime(2009, 1, 1), DateTime(2009, 1, 2), "first"));
    db.AppendLoadedTask(MakeTask(7, Demolition, DateTime(2009, 1, 1), DateTime(2009, 1, 2), "second"));
    EXPECT_FALSE(db.IsDirty());
    EXPECT_EQ(db.IndexOfId(7), 1u);
    EXPECT_EQ(db.TaskById(7).Name(), "first");
    Task copy;
    db.CopyTaskById(7, copy);
    EXPECT_EQ(copy.Name(), "first");
    db.DeleteTask(7);
    EXPECT_TRUE(db.IsDirty());
    EXPECT_EQ(db.TaskById(7).Name(), "second");
    EXPECT_THROW(db.IndexOfId(99), ETaskNotFound);
    EXPECT_THROW(db.DeleteTask(99), ETaskNotFound);
    EXPECT_EQ(db.TaskCount(), 2u);
    try {
        db.TaskById(99);
        FAIL();
    } catch (const ETaskNotFound& e) {
        EXPECT_STREQ(e.what(), "ETaskNotFound");
        EXPECT_STREQ(e.SourceName(), "DB");
        EXPECT_STREQ(e.Message(), "");
    }
}

TEST_F(TaskDBTest, SetTaskAtDirtiesOnlyForStoredFields) {
    db.AppendLoadedTask(MakeTask(1, Construction, DateTime(2009, 1, 1), DateTime(2009, 1, 2), "Falazas"));
    Task t;
    db.GetTaskAt(0, t);
    t.flags = LinkedToSelection;
    t.percentComplete = 77;
    t.appearance = Appearance::Present;
    db.SetTaskAt(0, t);
    EXPECT_FALSE(db.IsDirty());
    EXPECT_EQ(db.Tasks()[0].flags, LinkedToSelection);
    t.SetName("falazas");
    db.SetTaskAt(0, t);
    EXPECT_TRUE(db.IsDirty());
    EXPECT_THROW(db.SetTaskAt(1, t), ETaskNotFound);

    for (auto change : {+[](Task& x) { x.start.status = DateTimeStatus::Invalid; }, +[](Task& x) { x.finish.ticks += 1; },
                        +[](Task& x) { x.type = Fixed; }, +[](Task& x) { x.id = 9; }}) {
        db.SetDirty(false);
        db.GetTaskAt(0, t);
        change(t);
        db.SetTaskAt(0, t);
        EXPECT_TRUE(db.IsDirty());
    }
}

TEST_F(TaskDBTest, EmptyScheduleAnswersWithDefaults) {
    Task t;
    db.GetTaskAt(5, t);
    EXPECT_EQ(t.id, -1);
    EXPECT_EQ(t.start, DateTime(2009, 3, 2, 10, 30));
    EXPECT_EQ(db.EarliestStart(), DateTime(2009, 3, 2, 10, 30));
    EXPECT_EQ(db.LatestFinish(), DateTime(2009, 3, 2, 10, 30));
}

TEST_F(TaskDBTest, EarliestStartAndLatestFinish) {
    Task first = MakeTask(1, Construction, DateTime(2009, 5, 1), DateTime(2009, 5, 3));
    first.start.status = DateTimeStatus::Invalid;
    db.AppendLoadedTask(first);
    Task later = MakeTask(2, Construction, DateTime(2009, 6, 1), DateTime(2009, 6, 3));
    db.AppendLoadedTask(later);
    // No later start is earlier: the first start comes back unchanged, status included.
    EXPECT_EQ(db.EarliestStart(), first.start);
    EXPECT_EQ(db.EarliestStart().status, DateTimeStatus::Invalid);
    EXPECT_EQ(db.LatestFinish(), DateTime(2009, 6, 3));
    db.AppendLoadedTask(MakeTask(3, Construction, DateTime(2009, 4, 1), DateTime(2009, 4, 3)));
    EXPECT_EQ(db.EarliestStart(), DateTime(2009, 4, 1));
}

TEST_F(TaskDBTest, CurrentDateAtEndOfDayCountsThatDayAsDone) {
    db.AppendLoadedTask(MakeTask(1, Construction, DateTime(2009, 3, 2), DateTime(2009, 3, 4)));
    db.SetCurrentDate(DateTime(2009, 3, 3, 9), true);
    EXPECT_EQ(db.CurrentDate(), DateTime(2009, 3, 4));
    EXPECT_EQ(db.Tasks()[0].appearance, Appearance::Present);
}

TEST_F(TaskDBTest, ClearScheduleResetsTheFileIdentity) {
    db.NewTask();
    settings.SetProjectFilePath("/tmp/x.csp");
    settings.projectFileKind = 1;
    settings.untitled = false;
    settings.movieKind = VideoForWindows;
    db.ClearSchedule();
    EXPECT_EQ(db.TaskCount(), 0u);
    EXPECT_FALSE(db.IsDirty());
    EXPECT_EQ(settings.projectFileKind, 0);
    EXPECT_TRUE(settings.untitled);
    EXPECT_EQ(std::string(settings.projectFilePath), Cp("Új terv.txt"));
    EXPECT_EQ(std::string(settings.movieFilePath), Cp("Új terv.avi"));
    EXPECT_EQ(settings.movieKind, VideoForWindows);
    EXPECT_EQ(db.CurrentDate(), DateTime(2009, 3, 3));
}

TEST_F(TaskDBTest, LongNamesAreCut) {
    Task t;
    t.SetName(std::string(400, 'x'));
    EXPECT_EQ(t.Name().size(), 255u);
    db.AppendLoadedTask(t);
    EXPECT_EQ(db.Tasks()[0].Name().size(), 255u);
}

TEST_F(TaskDBTest, SuccessionTable) {
    EXPECT_FALSE(db.IsSuccessionAllowed(Construction, Construction));
    EXPECT_TRUE(db.IsSuccessionAllowed(Construction, Demolition));
    EXPECT_TRUE(db.IsSuccessionAllowed(Demolition, Construction));
    EXPECT_TRUE(db.IsSuccessionAllowed(Temporary, Temporary));
    EXPECT_FALSE(db.IsSuccessionAllowed(Temporary, Fixed));
    EXPECT_FALSE(db.IsSuccessionAllowed(static_cast<ConstructionType>(5), Construction));
    EXPECT_FALSE(db.IsSuccessionAllowed(Construction, static_cast<ConstructionType>(5)));
    EXPECT_EQ(db.ColumnNames()[0], "ID_v1");
    EXPECT_EQ(db.ColumnNames()[3], "Finish_Date");
}

} // namespace
