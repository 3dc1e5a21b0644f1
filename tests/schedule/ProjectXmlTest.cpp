#include "ScheduleFileFixture.h"

#include <clocale>

namespace {

using enum ConstructionType;

class ProjectXmlTest : public ScheduleFileTest {
protected:
    bool Read(const std::string& xml) {
        path = PathOf("terv.xml");
        WriteBytes(path, xml);
        return db.ImportProjectXml(path);
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
    ASSERT_TRUE(db.ImportProjectXml(path));
    EXPECT_TRUE(DGShownAlerts().empty());
    // The plan's own row, the summary task and the blank row are left out.
    ASSERT_EQ(db.TaskCount(), 4u);
    const auto& t = db.Tasks();
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
    EXPECT_EQ(t[3].finish, DateTime(2009, 12, 19)); // a milestone lasts its day
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
    EXPECT_FALSE(db.ImportProjectXml(PathOf("nincs.xml")));
    EXPECT_EQ(Alerts(), std::vector<int16_t>{32506});
}

TEST_F(ProjectXmlTest, OpenedPlansAreNeverSavedOver) {
    path = PathOf("ház.xml");
    WriteBytes(path, DataFile("mspdi_house.xml"));
    FKQueueFileDialogAnswer({false, BKToUtf8(path), 2});
    ASSERT_TRUE(db.Open());
    EXPECT_EQ(db.TaskCount(), 4u);
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
