#include "schedule/ScheduleFileFixture.h"

#include "schedule/formats/PrimaveraXer.h"
#include "schedule/formats/XerSchedule.h"
#include "schedule/formats/XerTables.h"

namespace {

using enum ConstructionType;

std::string Xer(const std::string& body) { return "ERMHDR\t19.12\t2009-03-01\tProject\r\n" + body; }

std::string OneProject(const std::string& taskRows, const std::string& taskFields = "task_id\tproj_id\twbs_id\ttask_code\ttask_name\tearly_start_date\tearly_end_date") {
    return Xer("%T\tPROJECT\n%F\tproj_id\tproj_short_name\n%R\t1\tP1\n"
               "%T\tTASK\n%F\t" + taskFields + "\n" + taskRows + "%E\n");
}

TEST(XerTablesTest, SplitsTablesAndKeepsLineNumbers) {
    std::string text = Xer("%T\tA\n%F\tx\ty\tz\n%R\t1\t2\n\n%T\tB\r\n%F\tv\r\n%R\t\r\n%E\n%R\tignored after the end");
    XerTables tables;
    XerError error;
    ASSERT_TRUE(ReadXerTables(text, tables, error));
    ASSERT_EQ(tables.size(), 2u);
    const XerTable& a = tables.at("A");
    ASSERT_EQ(a.rows.size(), 1u);
    EXPECT_EQ(a.rows[0].line, 4u);
    EXPECT_EQ(a.Value(a.rows[0], "y"), "2");
    EXPECT_EQ(a.Value(a.rows[0], "z"), ""); // a short row
    EXPECT_EQ(a.Value(a.rows[0], "nope"), "");
    EXPECT_EQ(tables.at("B").rows[0].line, 8u);

    // A table named again starts afresh with its new fields.
    std::string again = Xer("%T\tA\n%F\tx\n%R\t1\n%T\tA\n%F\ty\n%R\t2\n");
    ASSERT_TRUE(ReadXerTables(again, tables, error));
    ASSERT_EQ(tables.at("A").rows.size(), 1u);
    EXPECT_EQ(tables.at("A").Value(tables.at("A").rows[0], "y"), "2");
}

TEST(XerTablesTest, NamesTheLineThatIsNoXer) {
    struct Case {
        std::string text;
        XerError::Kind kind;
        size_t line;
    };
    const Case cases[] = {
        {"%T\tA\n", XerError::NotXer, 1},
        {"", XerError::NotXer, 0},
        {Xer("%T\tA\n%R\t1\n"), XerError::RowBeforeFields, 3},
        {Xer("%R\t1\n"), XerError::RowBeforeFields, 2},
        {Xer("%F\tx\n"), XerError::FieldsBeforeTable, 2},
        {Xer("%T\tA\n%F\tx\ty\n%R\t1\t2\n%R\t1\t2\t3\n"), XerError::TooManyValues, 5},
        {Xer("%T\tA\n%F\tx\nx\ty\n"), XerError::UnknownLine, 4},
        // A new table needs its own field line.
        {Xer("%T\tA\n%F\tx\n%T\tB\n%R\t1\n"), XerError::RowBeforeFields, 5},
    };
    for (const Case& c : cases) {
        XerTables tables;
        XerError error;
        EXPECT_FALSE(ReadXerTables(c.text, tables, error)) << c.text;
        EXPECT_EQ(error.kind, c.kind) << c.text;
        EXPECT_EQ(error.line, c.line) << c.text;
        EXPECT_TRUE(tables.empty());
    }
}

TEST(XerTablesTest, TellsWindows1252FromUtf8) {
    EXPECT_EQ(XerTextOf("F\xF6ldszint \x80 \x96 \x81"), "F\xC3\xB6ldszint \xE2\x82\xAC \xE2\x80\x93 \xEF\xBF\xBD");
    EXPECT_EQ(XerTextOf("F\xC3\xB6ldszint \xC5\x91"), "F\xC3\xB6ldszint \xC5\x91"); // UTF-8 stays
    EXPECT_EQ(XerTextOf("\xEF\xBB\xBF" "ERMHDR"), "ERMHDR");
    // Mostly UTF-8 with one stray byte is not UTF-8: every byte is read as Windows-1252.
    EXPECT_EQ(XerTextOf("\xC3\xB6\xE9"), "\xC3\x83\xC2\xB6\xC3\xA9");
}

// The fixture's data files, for tests that need no schedule.
struct DataFiles : ScheduleFileTest {
    using ScheduleFileTest::DataFile;
};

class XerScheduleTest : public FixedClockTest {
protected:
    void SetUp() override {
        FixedClockTest::SetUp();
        text = XerTextOf(DataFiles::DataFile("p6_two_projects.xer"));
        ASSERT_TRUE(ReadXerTables(text, tables, error));
    }
    std::string text;
    XerTables tables;
    XerError error;
    XerSchedule schedule;
};

TEST_F(XerScheduleTest, OffersTheExportedProjects) {
    std::vector<XerProject> projects = XerProjectsOf(tables);
    ASSERT_EQ(projects.size(), 2u); // the project only named by a relationship is not offered
    EXPECT_EQ(projects[0].id, "101");
    EXPECT_EQ(projects[0].name, "HAZ - Csal\xC3\xA1" "di h\xC3\xA1z");
    EXPECT_EQ(projects[1].name, "GARAZS - Gar\xC3\xA1zs");
}

TEST_F(XerScheduleTest, MakesTheWbsTheOutline) {
    ASSERT_TRUE(BuildXerSchedule(tables, "101", schedule, error));
    struct Row {
        const char* name;
        uint16_t level;
        const char* wbs;
        bool summary, milestone;
    };
    // The project's own node holds the top; nodes in their sequence order, the empty one left out.
    const Row rows[] = {
        {"A1000 Munkakezdés", 1, "", false, true},
        {"Szerkezet", 1, "SZ", true, false},
        {"Alapozás", 2, "SZ.AL", true, false},
        {"A1010 Régi fészer bontása", 3, "SZ.AL", false, false},
        {"A1020 Zsaluzás – 5000 €", 3, "SZ.AL", false, false},
        {"Falazás", 2, "SZ.FAL", true, false},
        {"A1030 Földszinti falazás", 3, "SZ.FAL", false, false},
        {"A1040 Állványozás", 3, "SZ.FAL", false, false},
        {"Befejezés", 1, "BEF", true, false},
        {"A1050 Fedés", 2, "BEF", false, false},
        {"A1060 Átadás", 2, "BEF", false, true},
    };
    ASSERT_EQ(schedule.tasks.size(), std::size(rows));
    EXPECT_EQ(schedule.lost, 0u);
    for (size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(schedule.tasks[i].id, static_cast<int32_t>(i + 1));
        EXPECT_EQ(schedule.tasks[i].Name(), Cp(rows[i].name));
        EXPECT_EQ(schedule.plans[i].outlineLevel, rows[i].level);
        EXPECT_EQ(schedule.plans[i].wbs, rows[i].wbs);
        EXPECT_EQ(schedule.plans[i].summary, rows[i].summary);
        EXPECT_EQ(schedule.plans[i].milestone, rows[i].milestone);
        EXPECT_EQ(schedule.plans[i].uid == 0, rows[i].summary);
    }
    // A summary row spans its activities' planned dates (the first began a day early).
    EXPECT_EQ(schedule.tasks[1].start, DateTime(2009, 3, 3));
    EXPECT_EQ(schedule.tasks[1].finish, DateTime(2009, 5, 17));
}

TEST_F(XerScheduleTest, KeepsDatesProgressTypesAndRelationships) {
    ASSERT_TRUE(BuildXerSchedule(tables, "101", schedule, error));
    const auto& t = schedule.tasks;
    const auto& p = schedule.plans;
    // Planned dates, else early ones, apart from the actual ones; a milestone marks its day.
    EXPECT_EQ(t[0].start, DateTime(2009, 3, 2));
    EXPECT_EQ(t[0].finish, DateTime(2009, 3, 3));
    EXPECT_EQ(t[3].start, DateTime(2009, 3, 3)); // done a day early: the plan stays
    EXPECT_EQ(t[3].finish, DateTime(2009, 3, 8));
    EXPECT_EQ(p[3].actualStart, DateTime(2009, 3, 2, 8, 0, 0));
    EXPECT_EQ(p[3].actualFinish, DateTime(2009, 3, 6, 17, 0, 0));
    EXPECT_EQ(t[4].start, DateTime(2009, 3, 16)); // started a week early, still running
    EXPECT_EQ(t[4].finish, DateTime(2009, 3, 21));
    EXPECT_EQ(p[4].actualStart, DateTime(2009, 3, 9, 8, 0, 0));
    EXPECT_EQ(p[4].actualFinish.status, DateTimeStatus::Null);
    EXPECT_EQ(t[7].start, DateTime(2009, 3, 23));
    EXPECT_EQ(t[7].finish, DateTime(2009, 5, 17));
    EXPECT_EQ(t[10].start, DateTime(2009, 6, 13)); // a finish milestone marks its finish
    EXPECT_EQ(t[10].finish, DateTime(2009, 6, 14));

    EXPECT_EQ(p[3].percentComplete, 100);
    EXPECT_EQ(p[4].percentComplete, 50); // by duration: 40 of 80 hours left
    EXPECT_EQ(p[6].percentComplete, TaskPlan::kNoPercent);
    EXPECT_EQ(p[7].percentComplete, 0);

    EXPECT_EQ(t[3].type, Demolition); // the prefix; a WBS field of the same name is not the activity's
    EXPECT_EQ(t[6].type, Construction); // a code of another type does not count
    EXPECT_EQ(t[7].type, Temporary);    // the "Típus" activity code
    EXPECT_EQ(t[9].type, Renovation);   // the "Type" user field

    using enum DependencyType;
    auto deps = [&](size_t i) { return p[i].predecessors; };
    EXPECT_TRUE(deps(3).empty()); // from another project
    EXPECT_EQ(deps(4), (std::vector<Dependency>{{5002, FinishToStart, 0, 5}}));
    EXPECT_EQ(deps(6), (std::vector<Dependency>{{5003, StartToStart, 9600, 5}})); // not onto itself
    EXPECT_EQ(deps(7), (std::vector<Dependency>{{5004, FinishToFinish, -4800, 5}}));
    EXPECT_EQ(deps(9), (std::vector<Dependency>{{5005, StartToFinish, 0, 5}}));
    EXPECT_EQ(deps(10), (std::vector<Dependency>{{5006, FinishToStart, 2700, 5}}));
}

TEST_F(XerScheduleTest, ReadsTheOtherProjectAlone) {
    ASSERT_TRUE(BuildXerSchedule(tables, "102", schedule, error));
    ASSERT_EQ(schedule.tasks.size(), 1u);
    EXPECT_EQ(schedule.tasks[0].Name(), Cp("B1000 Garázs alap"));
    EXPECT_EQ(schedule.plans[0].outlineLevel, 1);
}

TEST_F(XerScheduleTest, RefusesAnUnknownDateByItsLine) {
    std::string file = OneProject("%R\t7\t1\t\tA1\tJó\t2009-03-02 08:00\t2009-03-06 17:00\n%R\t8\t1\t\tA2\tRossz\t02.03.2009\t\n");
    XerTables own;
    ASSERT_TRUE(ReadXerTables(file, own, error));
    EXPECT_FALSE(BuildXerSchedule(own, "1", schedule, error));
    EXPECT_EQ(error.kind, XerError::UnknownDate);
    EXPECT_EQ(error.line, 8u);
    EXPECT_EQ(error.detail, "02.03.2009");
    for (const char* date : {"2009-03-02 -1:00", "2009-13-02", "2009-03-02T08:00", "1600-12-31", "2009-03-02 08:00:0x"}) {
        std::string bad = OneProject(std::string("%R\t7\t1\t\tA1\tX\t") + date + "\t\n"); // the tables point into it
        ASSERT_TRUE(ReadXerTables(bad, own, error));
        EXPECT_FALSE(BuildXerSchedule(own, "1", schedule, error)) << date;
    }
}

TEST_F(XerScheduleTest, KeepsTheActivitiesOfAWbsLoop) {
    std::string file = Xer("%T\tPROJWBS\n%F\twbs_id\tproj_id\tparent_wbs_id\twbs_short_name\n%R\t1\t9\t2\tA\n%R\t2\t9\t1\tB\n"
                           "%T\tTASK\n%F\ttask_id\tproj_id\twbs_id\ttask_code\ttask_name\n%R\t5\t9\t2\tX\tY\n");
    XerTables own;
    ASSERT_TRUE(ReadXerTables(file, own, error));
    ASSERT_TRUE(BuildXerSchedule(own, "9", schedule, error));
    ASSERT_EQ(schedule.tasks.size(), 1u);
    EXPECT_EQ(schedule.tasks[0].Name(), "X Y");
    EXPECT_EQ(schedule.plans[0].outlineLevel, 1);
}

class PrimaveraXerTest : public ScheduleFileTest {
protected:
    bool Read(const std::string& bytes) {
        path = PathOf("terv.xer");
        WriteBytes(path, bytes);
        return ImportPrimaveraXer(db, path);
    }
    std::string path;
};

TEST_F(PrimaveraXerTest, AsksWhichProject) {
    DGQueueDialogAnswer({"32508", {{"project", "2"}}, 1});
    ASSERT_TRUE(Read(DataFile("p6_two_projects.xer")));
    ASSERT_EQ(DGShownDialogs().size(), 1u);
    EXPECT_TRUE(DGShownDialogs()[0].confirmed);
    ASSERT_EQ(db.TaskCount(), 1u);
    EXPECT_EQ(db.Tasks()[0].Name(), Cp("B1000 Garázs alap"));
    ASSERT_NE(db.PlanAt(0), nullptr);
    EXPECT_EQ(db.PlanAt(0)->uid, 6001);
}

TEST_F(PrimaveraXerTest, ACancelledChoiceKeepsTheSchedule) {
    db.AppendLoadedTask(MakeTask(77, Fixed, DateTime(2008, 1, 1), DateTime(2008, 2, 1), "Régi"));
    DGQueueDialogAnswer({"32508", {}, 2});
    EXPECT_FALSE(Read(DataFile("p6_two_projects.xer")));
    EXPECT_TRUE(DGShownAlerts().empty());
    ASSERT_EQ(db.TaskCount(), 1u);
    EXPECT_EQ(db.Tasks()[0].id, 77);
}

TEST_F(PrimaveraXerTest, ReadsUtf8AndAskNothingOfOneProject) {
    ASSERT_TRUE(Read(OneProject("%R\t7\t1\t\tA1\tTetőszerkezet és fedés\t2009-04-27 08:00\t2009-05-16 17:00\n")));
    EXPECT_TRUE(DGShownDialogs().empty());
    ASSERT_EQ(db.TaskCount(), 1u);
    EXPECT_EQ(db.Tasks()[0].Name(), Cp("A1 Tetőszerkezet és fedés"));
    EXPECT_EQ(db.Tasks()[0].finish, DateTime(2009, 5, 17));
}

TEST_F(PrimaveraXerTest, RefusesAMalformedFileWithItsAlert) {
    db.AppendLoadedTask(MakeTask(77, Fixed, DateTime(2008, 1, 1), DateTime(2008, 2, 1), "Régi"));
    for (const std::string& bytes : {std::string("<Project/>"), OneProject("%R\t7\t1\t\tA1\tX\t2009-03-02\t2009-03-02\t9\n"),
                                     OneProject("%R\t7\t1\t\tA1\tX\t2009-3-2\t\n"), Xer("%T\tPROJECT\n%F\tproj_id\n%E\n")}) {
        DGResetAnswers();
        EXPECT_FALSE(Read(bytes)) << bytes;
        EXPECT_EQ(AlertIds(), std::vector<int16_t>{32543}) << bytes;
        EXPECT_EQ(db.TaskCount(), 1u);
    }
    EXPECT_FALSE(ImportPrimaveraXer(db, PathOf("nincs.xer")));
}

} // namespace
