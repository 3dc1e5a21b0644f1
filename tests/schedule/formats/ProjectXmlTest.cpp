#include "schedule/ScheduleFileFixture.h"

#include "schedule/formats/ProjectXml.h"

#include <clocale>

namespace {

using enum ConstructionType;

class ProjectXmlTest : public ScheduleFileTest {
protected:
    bool Read(const std::string& xml) {
        path = PathOf("terv.xml");
        WriteBytes(path, xml);
        return ImportProjectXml(db, path);
    }
    static std::string Plan(const std::string& tasks) {
        return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Project xmlns=\"http://schemas.microsoft.com/project\"><Tasks>" +
               tasks + "</Tasks></Project>";
    }
    void KeepSomething() { db.AppendLoadedTask(MakeTask(77, Fixed, DateTime(2008, 1, 1), DateTime(2008, 2, 1), "Régi")); }
    std::vector<int16_t> Alerts() const { return AlertIds(); }
    std::string path;
};

TEST_F(ProjectXmlTest, ReadsTheWorkOfAPlan) {
    path = PathOf("ház.xml");
    WriteBytes(path, DataFile("mspdi_house.xml"));
    ASSERT_TRUE(ImportProjectXml(db, path));
    EXPECT_TRUE(DGShownAlerts().empty());
    // The plan's own row and the blank row are left out; the summary task is a summary row.
    ASSERT_EQ(db.TaskCount(), 5u);
    EXPECT_EQ(db.Tasks()[0].Name(), "Szerkezet");
    EXPECT_TRUE(db.IsMarkerAt(0));
    const Task* t = db.Tasks().data() + 1;
    EXPECT_EQ(t[0].id, 2);
    EXPECT_EQ(t[0].Name(), Cp("Régi fészer bontása"));
    EXPECT_EQ(t[0].type, Demolition); // a field of another alias does not count
    EXPECT_EQ(t[0].start, DateTime(2009, 3, 2));
    EXPECT_EQ(t[0].finish, DateTime(2009, 3, 5));
    EXPECT_EQ(t[1].id, 3); // the row number, not the unique id
    EXPECT_EQ(t[1].type, Construction);
    EXPECT_EQ(t[1].Name(), Cp("Alapozás és födém"));
    EXPECT_EQ(t[2].type, Temporary); // by the type's name in the "Típus" field
    EXPECT_EQ(t[2].start, DateTime(2009, 11, 30));
    EXPECT_EQ(t[2].finish, DateTime(2010, 1, 16));
    EXPECT_EQ(t[3].Name(), Cp("Műszaki átadás"));
    EXPECT_EQ(t[3].type, Fixed); // by its letter, in any case
    EXPECT_EQ(t[3].start, DateTime(2009, 12, 18));
    EXPECT_EQ(t[3].finish, DateTime(2009, 12, 19)); // a milestone marks its day
}

TEST_F(ProjectXmlTest, KeepsThePlansLogic) {
    path = PathOf("plan.xml");
    WriteBytes(path, DataFile("mspdi_plan.xml"));
    ASSERT_TRUE(ImportProjectXml(db, path));
    EXPECT_TRUE(DGShownAlerts().empty());
    ASSERT_EQ(db.TaskCount(), 9u);
    ASSERT_TRUE(db.HasPlan());
    auto plan = [&](size_t i) { return *db.PlanAt(i); };
    // Section headings written as tasks of no length are milestones, flagged or not, with or
    // without a length element; a flagged one with a length too. Summary rows are none.
    for (size_t i : {0u, 4u, 7u, 8u}) EXPECT_TRUE(plan(i).milestone) << db.Tasks()[i].Name();
    for (size_t i : {1u, 2u, 3u, 5u, 6u}) EXPECT_FALSE(plan(i).milestone) << db.Tasks()[i].Name();
    EXPECT_EQ(db.Tasks()[0].Name(), "UITVOERING");
    EXPECT_EQ(db.Tasks()[0].finish, DateTime(2009, 3, 3));
    EXPECT_TRUE(plan(1).summary);
    EXPECT_TRUE(db.IsMarkerAt(1));
    EXPECT_FALSE(db.IsMarkerAt(2));
    EXPECT_EQ(plan(1).outlineLevel, 1);
    EXPECT_EQ(plan(2).outlineLevel, 2);
    EXPECT_EQ(plan(2).wbs, "1.1.1");
    EXPECT_EQ(plan(3).wbs, "1.1.2"); // the outline number where no code is given
    EXPECT_EQ(plan(7).uid, 9);
    EXPECT_EQ(db.Tasks()[7].id, 8);
    EXPECT_EQ(plan(1).percentComplete, 40);
    EXPECT_EQ(plan(2).percentComplete, 100);
    EXPECT_EQ(plan(5).percentComplete, TaskPlan::kNoPercent);
    EXPECT_EQ(plan(2).actualStart, DateTime(2009, 3, 2, 8, 0, 0));
    EXPECT_EQ(plan(2).actualFinish, DateTime(2009, 3, 6, 16, 30, 0));
    EXPECT_EQ(plan(3).actualFinish.status, DateTimeStatus::Null);

    using D = Dependency;
    using enum DependencyType;
    EXPECT_EQ(plan(2).predecessors, (std::vector<D>{{1, FinishToStart, 0, 7}}));
    // One on a task not in the plan and one on itself are dropped.
    EXPECT_EQ(plan(3).predecessors, (std::vector<D>{{3, FinishToStart, 9600, 7}}));
    EXPECT_EQ(plan(5).predecessors, (std::vector<D>{{4, StartToStart, -4800, 7}, {4, FinishToFinish, 50, 19}}));
    EXPECT_EQ(plan(6).predecessors, (std::vector<D>{{6, StartToFinish, 0, 7}}));
    EXPECT_EQ(plan(7).predecessors, (std::vector<D>{{7, FinishToStart, 0, 7}})); // the defaults
    EXPECT_EQ(db.Tasks()[5].type, Temporary);
}

TEST_F(ProjectXmlTest, AHeadingOfNoLengthIsNoWork) {
    ASSERT_TRUE(Read(Plan("<Task><UID>1</UID><ID>1</ID><Name>DAK</Name><Start>2009-04-06T08:00:00</Start>"
                          "<Finish>2009-04-06T08:00:00</Finish><Duration>P0DT0H0M0S</Duration></Task>"
                          "<Task><UID>2</UID><ID>2</ID><Name>Dakpannen</Name><Start>2009-04-06T08:00:00</Start>"
                          "<Finish>2009-04-06T17:00:00</Finish><Duration>PT8H0M0S</Duration></Task>"
                          "<Task><UID>3</UID><ID>3</ID><Name>Goot</Name><Start>2009-04-07T08:00:00</Start>"
                          "<Finish>2009-04-07T08:00:00</Finish><Duration>PT0H0M10S</Duration></Task>"
                          // Times without seconds, and no length given: the dates decide.
                          "<Task><UID>4</UID><ID>4</ID><Name>Nok</Name><Start>2009-04-08T08:00</Start>"
                          "<Finish>2009-04-09T17:00</Finish><ActualStart>2009-04-08T07:45</ActualStart></Task>"
                          "<Task><UID>5</UID><ID>5</ID><Name>DAK klaar</Name><Start>2009-04-09T17:00</Start>"
                          "<Finish>2009-04-09T17:00</Finish></Task>")));
    EXPECT_TRUE(db.IsMarkerAt(0));
    EXPECT_FALSE(db.IsMarkerAt(1));
    EXPECT_FALSE(db.IsMarkerAt(2)); // ten seconds are some work
    EXPECT_FALSE(db.IsMarkerAt(3));
    EXPECT_EQ(db.PlanAt(3)->actualStart, DateTime(2009, 4, 8, 7, 45, 0));
    EXPECT_TRUE(db.IsMarkerAt(4));
    EXPECT_EQ(db.CheckTaskDates(), 0);
}

TEST_F(ProjectXmlTest, PlannedDatesFromTheFirstBaselineAndActualOnesApart) {
    // Started before its baseline and finished after it; rescheduled since, the current dates
    // moved with what happened. A later baseline and a task without one.
    ASSERT_TRUE(Read(Plan("<Task><UID>1</UID><ID>1</ID><Name>Falak</Name><Start>2009-03-01T08:00:00</Start>"
                          "<Finish>2009-03-12T17:00:00</Finish><ActualStart>2009-03-01T08:00:00</ActualStart>"
                          "<ActualFinish>2009-03-12T17:00:00</ActualFinish><PercentComplete>100</PercentComplete>"
                          "<Baseline><Number>1</Number><Start>2009-02-01T08:00:00</Start><Finish>2009-02-02T08:00:00</Finish></Baseline>"
                          "<Baseline><Number>0</Number><Start>2009-03-02T08:00:00</Start><Finish>2009-03-10T17:00:00</Finish></Baseline></Task>"
                          "<Task><UID>2</UID><ID>2</ID><Name>Tető</Name><Start>2009-03-13T08:00:00</Start>"
                          "<Finish>2009-03-20T17:00:00</Finish><ActualStart>2009-03-13T09:00:00</ActualStart>"
                          "<PercentComplete>30</PercentComplete></Task>")));
    EXPECT_EQ(db.Tasks()[0].start, DateTime(2009, 3, 2));
    EXPECT_EQ(db.Tasks()[0].finish, DateTime(2009, 3, 11));
    EXPECT_EQ(db.PlanAt(0)->actualStart, DateTime(2009, 3, 1, 8, 0, 0));
    EXPECT_EQ(db.PlanAt(0)->actualFinish, DateTime(2009, 3, 12, 17, 0, 0));
    EXPECT_EQ(db.PlanAt(0)->percentComplete, 100);
    EXPECT_EQ(db.Tasks()[1].start, DateTime(2009, 3, 13));
    EXPECT_EQ(db.Tasks()[1].finish, DateTime(2009, 3, 21));
    EXPECT_EQ(db.PlanAt(1)->actualStart, DateTime(2009, 3, 13, 9, 0, 0));
    EXPECT_EQ(db.PlanAt(1)->actualFinish.status, DateTimeStatus::Null);
    EXPECT_EQ(db.PlanAt(1)->percentComplete, 30);
}

TEST_F(ProjectXmlTest, ANewerExportUpdatesTheOpenScheduleByUniqueId) {
    auto task = [](int uid, int id, const char* name, const char* start, const char* finish, const char* extra = "") {
        return std::string("<Task><UID>") + std::to_string(uid) + "</UID><ID>" + std::to_string(id) + "</ID><Name>" + name +
               "</Name><Start>" + start + "T08:00:00</Start><Finish>" + finish + "T17:00:00</Finish>" + extra + "</Task>";
    };
    ASSERT_TRUE(Read(Plan(task(10, 1, "Alap", "2009-03-02", "2009-03-04") + task(11, 2, "Falak", "2009-03-05", "2009-03-10") +
                          task(12, 3, "Tető", "2009-03-11", "2009-03-13"))));
    db.Tasks()[1].type = Renovation; // set in the palette
    db.NewTask();                    // the user's own, id 4
    db.Tasks()[0].id = 7;            // as the palette left it
    // The newer export: one moved with progress, one gone, one new, the rows renumbered.
    const std::string newer = Plan(task(11, 1, "Falak és pillérek", "2009-03-06", "2009-03-11",
                                        "<ActualStart>2009-03-06T08:00:00</ActualStart><PercentComplete>40</PercentComplete>") +
                                   task(10, 2, "Alap", "2009-03-02", "2009-03-04") + task(13, 3, "Burkolat", "2009-03-14", "2009-03-20"));
    DGQueueAlertAnswer(3); // kept as it is
    EXPECT_FALSE(Read(newer));
    EXPECT_EQ(db.TaskCount(), 4u);
    DGQueueAlertAnswer(1);
    ASSERT_TRUE(Read(newer));
    EXPECT_EQ(Alerts().back(), 32548);
    ASSERT_EQ(db.TaskCount(), 4u);
    const auto& t = db.Tasks();
    EXPECT_EQ(t[0].id, 2); // its id, so its links, kept
    EXPECT_EQ(t[0].Name(), Cp("Falak és pillérek"));
    EXPECT_EQ(t[0].type, Renovation);
    EXPECT_EQ(t[0].start, DateTime(2009, 3, 6));
    EXPECT_EQ(db.PlanAt(0)->percentComplete, 40);
    EXPECT_EQ(t[1].id, 7);
    EXPECT_EQ(t[2].id, 8); // new: an id of its own
    EXPECT_EQ(t[2].Name(), "Burkolat");
    EXPECT_EQ(t[3].id, 4); // the user's task stays, after the plan's
    EXPECT_EQ(db.PlanAt(3), nullptr);
    EXPECT_TRUE(db.IsDirty());
    // Taken again, nothing differs.
    std::vector<Task> same = db.Tasks();
    std::vector<TaskPlan> samePlans = db.Plans();
    same.pop_back(), samePlans.pop_back();
    const TaskDB::PlanUpdate again = db.UpdateFromPlan(std::move(same), std::move(samePlans), path);
    EXPECT_EQ(std::tuple(again.updated, again.added, again.removed), std::tuple(0u, 0u, 0u));
    EXPECT_EQ(db.TaskCount(), 4u);
    // Replacing instead: the export's own numbering.
    DGQueueAlertAnswer(2);
    ASSERT_TRUE(Read(newer));
    EXPECT_EQ(db.TaskCount(), 3u);
    EXPECT_EQ(db.Tasks()[0].id, 1);
}

TEST_F(ProjectXmlTest, ABadActualDateIsABadDate) {
    KeepSomething();
    EXPECT_FALSE(Read(Plan("<Task><UID>1</UID><Name>a</Name><ActualStart>2009-03-02T25:00:00</ActualStart></Task>")));
    EXPECT_EQ(Alerts(), std::vector<int16_t>{32518});
    EXPECT_EQ(db.TaskCount(), 1u);
    EXPECT_FALSE(db.HasPlan());
}

TEST_F(ProjectXmlTest, UniqueIdsServeWhenRowsHaveNoNumber) {
    ASSERT_TRUE(Read(Plan("<Task><UID>12</UID><Name>T_Daru</Name><Start>2009-05-04T08:00:00</Start></Task>"
                          "<Task><UID>13</UID><Name>\xE6\x97\xA5 01</Name><Finish>2009-05-08T17:00:00</Finish></Task>")));
    ASSERT_EQ(db.TaskCount(), 2u);
    EXPECT_EQ(db.Tasks()[0].id, 12);
    EXPECT_EQ(db.Tasks()[0].type, Temporary);
    EXPECT_EQ(db.Tasks()[0].finish, DateTime(2009, 5, 4)); // a start alone lasts zero time
    EXPECT_EQ(db.Tasks()[1].Name(), "? 01");
    EXPECT_EQ(db.Tasks()[1].start, DateTime::Now()); // no start: the moment of reading
}

TEST_F(ProjectXmlTest, FailuresAlertAndKeepTheOpenSchedule) {
    struct Case {
        std::string bytes;
        int16_t alert;
    } cases[] = {
        {Plan("<Task><UID>1</UID><Name>a</Name>").substr(0, 120), 32519},             // cut short
        {"ID_v1\tName\tStart_Date\tFinish_Date\r\n", 32519},                          // no XML
        {"<?xml version=\"1.0\"?><Projekt><Tasks/></Projekt>", 32519},                // not a plan
        {Plan("<Task><UID>0</UID><Name>Projekt</Name></Task>"), 32519},                // no work in it
        {Plan("<Task><UID>1</UID><Name>a</Name><Start>2009-13-01T08:00:00</Start></Task>"), 32518},
        {Plan("<Task><UID>1</UID><Name>a</Name><Finish>holnap</Finish></Task>"), 32518},
    };
    for (const Case& c : cases) {
        DGResetAnswers();
        db.Tasks().clear();
        KeepSomething();
        EXPECT_FALSE(Read(c.bytes)) << c.bytes;
        EXPECT_EQ(Alerts(), std::vector<int16_t>{c.alert}) << c.bytes;
        ASSERT_EQ(db.TaskCount(), 1u);
        EXPECT_EQ(db.Tasks()[0].id, 77);
    }
    DGResetAnswers();
    EXPECT_FALSE(ImportProjectXml(db, PathOf("nincs.xml")));
    EXPECT_EQ(Alerts(), std::vector<int16_t>{32506});
}

TEST_F(ProjectXmlTest, OpenedPlansAreNeverSavedOver) {
    path = PathOf("ház.xml");
    WriteBytes(path, DataFile("mspdi_house.xml"));
    FKQueueFileDialogAnswer({false, BKToUtf8(path), 2});
    ASSERT_TRUE(db.Open());
    EXPECT_EQ(db.TaskCount(), 5u); // with its summary row
    EXPECT_TRUE(settings.untitled);
    EXPECT_TRUE(db.IsDirty()); // in no file of the add-on's yet
    // The first save asks, proposing a project file of the same name.
    FKQueueFileDialogAnswer({true, "", std::nullopt});
    EXPECT_FALSE(db.Save(false));
    const auto& dialog = FKShownFileDialogs().back();
    EXPECT_EQ(dialog.kind, FKFileDialogKind::Save);
    EXPECT_EQ(dialog.preselectedFilter, 0);
    EXPECT_EQ(dialog.startName, "ház.csp");
    EXPECT_EQ(ReadBytes(path), DataFile("mspdi_house.xml"));
}

TEST_F(ProjectXmlTest, TextProjectFileTextRoundTrip) {
    db.AppendLoadedTask(MakeTask(4, Demolition, DateTime(2009, 3, 2), DateTime(2009, 3, 5), "Régi fészer"));
    db.AppendLoadedTask(MakeTask(9, Temporary, DateTime(2009, 11, 30), DateTime(2010, 1, 16), "Állvány"));
    db.AppendLoadedTask(MakeTask(12, Fixed, DateTime(2009, 12, 18), DateTime(2009, 12, 19), "Átadás"));
    ASSERT_TRUE(db.SaveScheduleText(PathOf("első.txt")));
    db.Tasks().clear();
    ASSERT_TRUE(db.ImportScheduleText(PathOf("első.txt")));
    ASSERT_TRUE(db.SaveProjectFile(PathOf("terv.csp")));
    db.Tasks().clear();
    ASSERT_TRUE(db.LoadProjectFile(PathOf("terv.csp")));
    ASSERT_TRUE(db.SaveScheduleText(PathOf("második.txt")));
    EXPECT_EQ(ReadBytes(PathOf("második.txt")), ReadBytes(PathOf("első.txt")));
    EXPECT_EQ(db.TaskCount(), 3u);
}

} // namespace
