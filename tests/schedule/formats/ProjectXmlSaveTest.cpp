#include "schedule/ScheduleFileFixture.h"

#include "schedule/formats/PrimaveraXml.h"
#include "schedule/formats/ProjectXml.h"
#include "schedule/formats/ProjectXmlDocument.h"
#include "schedule/formats/ProjectXmlSave.h"

namespace {

using enum ConstructionType;

class ProjectXmlSaveTest : public ScheduleFileTest {
protected:
    struct Snapshot {
        std::vector<Task> tasks;
        std::vector<TaskPlan> plans;
    };
    Snapshot Take() const {
        Snapshot s{db.Tasks(), {}};
        for (size_t i = 0; i < db.TaskCount(); ++i) s.plans.push_back(db.PlanAt(i) ? *db.PlanAt(i) : TaskPlan());
        return s;
    }
    static void ExpectSame(const Snapshot& a, const Snapshot& b) {
        ASSERT_EQ(a.tasks.size(), b.tasks.size());
        for (size_t i = 0; i < a.tasks.size(); ++i) {
            SCOPED_TRACE(a.tasks[i].Name());
            EXPECT_EQ(a.tasks[i].Name(), b.tasks[i].Name());
            EXPECT_EQ(a.tasks[i].id, b.tasks[i].id);
            EXPECT_EQ(a.tasks[i].type, b.tasks[i].type);
            EXPECT_EQ(a.tasks[i].start, b.tasks[i].start);
            EXPECT_EQ(a.tasks[i].finish, b.tasks[i].finish);
            EXPECT_EQ(a.plans[i], b.plans[i]);
        }
    }
    // Saves the schedule as Microsoft Project's XML and reads that back.
    void RoundTrip() {
        std::string out = PathOf("vissza.xml");
        ASSERT_TRUE(SaveProjectXml(db, out));
        // Read as a schedule of its own, not as an update of the one it came from.
        db.ClearSchedule();
        ASSERT_TRUE(ImportProjectXml(db, out));
    }
};

// Every plan the add-on reads goes out and comes back whole: tasks, outline, milestones of no
// length, summary rows, progress, actual dates, dependencies of every kind and the unique ids.
TEST_F(ProjectXmlSaveTest, APlanReadComesBackAsItWas) {
    for (const char* name : {"mspdi_plan.xml", "mspdi_house.xml"}) {
        SCOPED_TRACE(name);
        std::string in = PathOf(name);
        WriteBytes(in, DataFile(name));
        db.ClearSchedule();
        ASSERT_TRUE(ImportProjectXml(db, in));
        Snapshot before = Take();
        RoundTrip();
        ExpectSame(before, Take());
    }
    // A P6 plan too: its lags in hours and its finish milestones.
    std::string in = PathOf("p6.xml");
    WriteBytes(in, DataFile("p6_two_projects.xml"));
    DGQueueDialogAnswer({"32508", {{"project", "1"}}, 1});
    db.ClearSchedule();
    ASSERT_TRUE(ImportPrimaveraXml(db, in));
    Snapshot before = Take();
    ASSERT_EQ(before.tasks.size(), 11u);
    RoundTrip();
    // P6's WBS rows had no unique id: each gets one of its own, above the activities'.
    Snapshot after = Take();
    ASSERT_EQ(after.plans.size(), before.plans.size());
    for (size_t i = 0; i < after.plans.size(); ++i) {
        if (before.plans[i].uid != 0) continue;
        EXPECT_GT(after.plans[i].uid, 5007);
        after.plans[i].uid = 0;
    }
    ExpectSame(before, after);
}

TEST_F(ProjectXmlSaveTest, ASchedulesOwnTasksGetUniqueIdsAndTheirTypes) {
    db.AppendLoadedTask(MakeTask(3, Demolition, DateTime(2009, 3, 7), DateTime(2009, 3, 9), "Hétvégi bontás"));
    db.AppendLoadedTask(MakeTask(1, Temporary, DateTime(2009, 3, 2), DateTime(2009, 3, 21), "Állvány & <daru>"));
    db.AppendLoadedTask(MakeTask(2, Renovation, DateTime(2009, 3, 2), DateTime(2009, 3, 2), "Semeddig"));
    Snapshot before = Take();
    std::string text = ProjectXmlDocument(db.Tasks(), {}, "h\xC3\xA1z");
    EXPECT_NE(text.find("<Project xmlns=\"http://schemas.microsoft.com/project\">"), std::string::npos);
    EXPECT_NE(text.find("<Alias>T\xC3\xADpus</Alias>"), std::string::npos);
    EXPECT_NE(text.find("<Name>Standard</Name>"), std::string::npos);
    EXPECT_NE(text.find("<Name>\xC3\x81llv\xC3\xA1ny &amp; &lt;daru&gt;</Name>"), std::string::npos);
    // A task over a weekend alone still has a length, or Microsoft Project takes it for a milestone.
    EXPECT_NE(text.find("<Start>2009-03-07T08:00:00</Start>\n      <Finish>2009-03-08T17:00:00</Finish>\n      <Duration>PT8H0M0S</Duration>"),
              std::string::npos);
    EXPECT_NE(text.find("<Duration>PT120H0M0S</Duration>"), std::string::npos); // three weeks' work days

    RoundTrip();
    Snapshot after = Take();
    ASSERT_EQ(after.tasks.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(after.tasks[i].Name(), before.tasks[i].Name());
        EXPECT_EQ(after.tasks[i].id, before.tasks[i].id);
        EXPECT_EQ(after.tasks[i].type, before.tasks[i].type);
        EXPECT_EQ(after.tasks[i].start, before.tasks[i].start);
        EXPECT_EQ(after.tasks[i].finish, before.tasks[i].finish);
        EXPECT_EQ(after.plans[i].uid, static_cast<int32_t>(i + 1));
        EXPECT_FALSE(after.plans[i].milestone);
    }
}

TEST_F(ProjectXmlSaveTest, UniqueIdsAreKeptAndNeverGivenTwice) {
    TaskPlan a, b;
    a.uid = 7;
    b.uid = 7;
    std::vector<Task> tasks(3, MakeTask(1, Construction, DateTime(2009, 3, 2), DateTime(2009, 3, 3), "X"));
    std::string text = ProjectXmlDocument(tasks, {a, b, TaskPlan()}, "x");
    size_t first = text.find("<UID>7</UID>");
    ASSERT_NE(first, std::string::npos);
    EXPECT_EQ(text.find("<UID>7</UID>", first + 1), std::string::npos);
    EXPECT_NE(text.find("<UID>8</UID>"), std::string::npos);
    EXPECT_NE(text.find("<UID>9</UID>"), std::string::npos);
}

TEST_F(ProjectXmlSaveTest, SaveAsOffersItAndKeepsTheKind) {
    db.AppendLoadedTask(MakeTask(1, Construction, DateTime(2009, 3, 2), DateTime(2009, 3, 3), "Alap"));
    std::string path = PathOf("terv.xml");
    FKQueueFileDialogAnswer({false, NativeOf(path), 2});
    ASSERT_TRUE(db.Save(true));
    EXPECT_EQ(settings.projectFileKind, 2);
    EXPECT_NE(ReadBytes(path).find("<Name>Alap</Name>"), std::string::npos);
    // Saved again without asking, as the same kind.
    db.NewTask();
    ASSERT_TRUE(db.Save(false));
    EXPECT_TRUE(FKShownFileDialogs().size() == 1u);
    ASSERT_TRUE(ImportProjectXml(db, path));
    EXPECT_EQ(db.TaskCount(), 1u); // the new task has no name, and Microsoft Project keeps no such row
}

TEST_F(ProjectXmlSaveTest, AFailedSaveIsReported) {
    db.AppendLoadedTask(MakeTask(1, Construction, DateTime(2009, 3, 2), DateTime(2009, 3, 3), "Alap"));
    EXPECT_FALSE(SaveProjectXml(db, PathOf("nincs/terv.xml")));
    EXPECT_FALSE(SaveProjectXml(db, ""));
}

} // namespace
