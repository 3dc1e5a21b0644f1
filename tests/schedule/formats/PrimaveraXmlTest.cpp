#include "schedule/ScheduleFileFixture.h"

#include "schedule/formats/P6XmlFile.h"
#include "schedule/formats/PrimaveraXml.h"
#include "schedule/formats/XerSchedule.h"
#include "schedule/formats/XerTables.h"

namespace {

using enum ConstructionType;

struct DataFiles : ScheduleFileTest {
    using ScheduleFileTest::DataFile;
};

// One project of activities under WBS nodes, in P6's namespace given a prefix.
std::string OneProject(const std::string& body, const std::string& outside = {}) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<p6:APIBusinessObjects xmlns:p6=\"http://xmlns.oracle.com/Primavera/P6/V8.3/API/BusinessObjects\">\n" +
           outside + "<p6:Project><p6:ObjectId>7</p6:ObjectId><p6:Id>P</p6:Id>\n" + body + "</p6:Project></p6:APIBusinessObjects>\n";
}

std::string Activity(int id, const std::string& wbs, const std::string& more) {
    return "<p6:Activity><p6:ObjectId>" + std::to_string(id) + "</p6:ObjectId><p6:Id>A" + std::to_string(id) +
           "</p6:Id><p6:Name>N</p6:Name><p6:WBSObjectId>" + wbs + "</p6:WBSObjectId>" + more + "</p6:Activity>\n";
}

std::string Wbs(int id, int parent, const char* code, int seq = 0) {
    return "<p6:WBS><p6:ObjectId>" + std::to_string(id) + "</p6:ObjectId><p6:ParentObjectId>" + std::to_string(parent) +
           "</p6:ParentObjectId><p6:Code>" + code + "</p6:Code><p6:Name>" + code + "</p6:Name><p6:SequenceNumber>" +
           std::to_string(seq) + "</p6:SequenceNumber></p6:WBS>\n";
}

const std::string kDates = "<p6:StartDate>2009-03-02T08:00:00</p6:StartDate><p6:FinishDate>2009-03-06T17:00:00</p6:FinishDate>";

class P6XmlFileTest : public FixedClockTest {
protected:
    bool Load(const std::string& bytes) { return file.Load(bytes, error); }
    bool Build(size_t index = 0) { return file.Build(index, schedule, error); }
    P6XmlFile file;
    P6XmlError error;
    P6Schedule schedule;
};

TEST_F(P6XmlFileTest, OffersEveryProjectOfTheFile) {
    ASSERT_TRUE(Load(DataFiles::DataFile("p6_two_projects.xml")));
    ASSERT_EQ(file.Projects().size(), 2u);
    EXPECT_EQ(file.Projects()[0].id, "101");
    EXPECT_EQ(file.Projects()[0].name, "HAZ - Csal\xC3\xA1" "di h\xC3\xA1z");
    EXPECT_EQ(file.Projects()[1].name, "GARAZS - Gar\xC3\xA1zs");
}

// Both of P6's forms of the same project make the same schedule: outline, dates, progress, types
// from a prefix, a code and a user field, and relationships, those into another project or onto
// the activity itself left out.
TEST_F(P6XmlFileTest, MakesTheScheduleTheXerExportOfTheProjectMakes) {
    ASSERT_TRUE(Load(DataFiles::DataFile("p6_two_projects.xml")));
    ASSERT_TRUE(Build(0));
    std::string xer = XerTextOf(DataFiles::DataFile("p6_two_projects.xer"));
    XerTables tables;
    XerError xerError;
    XerSchedule fromXer;
    ASSERT_TRUE(ReadXerTables(xer, tables, xerError));
    ASSERT_TRUE(BuildXerSchedule(tables, "101", fromXer, xerError));

    ASSERT_EQ(schedule.tasks.size(), 11u);
    ASSERT_EQ(schedule.tasks.size(), fromXer.tasks.size());
    for (size_t i = 0; i < schedule.tasks.size(); ++i) {
        SCOPED_TRACE(fromXer.tasks[i].Name());
        const Task &a = schedule.tasks[i], &b = fromXer.tasks[i];
        EXPECT_EQ(a.Name(), b.Name());
        EXPECT_EQ(a.id, b.id);
        EXPECT_EQ(a.type, b.type);
        EXPECT_EQ(a.start, b.start);
        EXPECT_EQ(a.finish, b.finish);
        EXPECT_EQ(schedule.plans[i], fromXer.plans[i]);
    }
    // What the comparison rests on, from the XML alone.
    EXPECT_EQ(schedule.tasks[7].Name(), Cp("A1040 Állványozás"));
    EXPECT_EQ(schedule.tasks[7].start, DateTime(2009, 3, 23)); // only planned dates
    EXPECT_EQ(schedule.tasks[7].type, Temporary);
    EXPECT_EQ(schedule.tasks[6].type, Construction); // a code of another type
    EXPECT_EQ(schedule.tasks[9].type, Renovation);
    EXPECT_EQ(schedule.plans[4].percentComplete, 50); // by duration, not the physical figure
    EXPECT_EQ(schedule.plans[6].percentComplete, TaskPlan::kNoPercent);
    EXPECT_EQ(schedule.plans[6].predecessors, (std::vector<Dependency>{{5003, DependencyType::StartToStart, 9600, 5}}));
    EXPECT_TRUE(schedule.plans[3].predecessors.empty());
}

TEST_F(P6XmlFileTest, ReadsTheOtherProjectAlone) {
    ASSERT_TRUE(Load(DataFiles::DataFile("p6_two_projects.xml")));
    ASSERT_TRUE(Build(1));
    ASSERT_EQ(schedule.tasks.size(), 1u);
    EXPECT_EQ(schedule.tasks[0].Name(), Cp("B1000 Garázs alap"));
    EXPECT_EQ(schedule.plans[0].outlineLevel, 1); // no WBS: at the top
    EXPECT_EQ(schedule.plans[0].uid, 6001);
    EXPECT_TRUE(schedule.plans[0].predecessors.empty()); // its predecessor is the other project's
}

TEST_F(P6XmlFileTest, NestsTheWbsByParentAndSequence) {
    // Three levels given children first and out of order; a loop of two nodes keeps its activity
    // at the top; an empty node is no row.
    std::string body = Wbs(30, 20, "C") + Wbs(20, 10, "B", 2) + Wbs(21, 10, "B0", 1) + Wbs(10, 7, "A") + Wbs(40, 41, "X") +
                       Wbs(41, 40, "Y") + Wbs(50, 7, "E") + Activity(1, "30", kDates) + Activity(2, "21", kDates) +
                       Activity(3, "41", kDates) + Activity(4, "7", kDates);
    ASSERT_TRUE(Load(OneProject(body)));
    ASSERT_TRUE(Build());
    struct Row {
        const char* name;
        uint16_t level;
        const char* wbs;
    };
    const Row rows[] = {{"A4 N", 1, ""}, {"A", 1, "A"},         {"B0", 2, "A.B0"},       {"A2 N", 3, "A.B0"},
                        {"B", 2, "A.B"}, {"C", 3, "A.B.C"},     {"A1 N", 4, "A.B.C"},    {"A3 N", 1, ""}};
    ASSERT_EQ(schedule.tasks.size(), std::size(rows));
    for (size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(schedule.tasks[i].Name(), rows[i].name);
        EXPECT_EQ(schedule.plans[i].outlineLevel, rows[i].level);
        EXPECT_EQ(schedule.plans[i].wbs, rows[i].wbs);
    }
}

TEST_F(P6XmlFileTest, TakesTheTypeFromACodeOrAUserFieldOfTheActivities) {
    // The global "TYPE" code type by any letter case, a project's own "Típus" code type, and a
    // user field named "Típus" that wins over a code, as in the XER export.
    std::string outside =
        "<p6:ActivityCodeType><p6:ObjectId>1</p6:ObjectId><p6:Name>TYPE</p6:Name></p6:ActivityCodeType>"
        "<p6:ActivityCode><p6:ObjectId>11</p6:ObjectId><p6:CodeTypeObjectId>1</p6:CodeTypeObjectId><p6:CodeValue>X</p6:CodeValue>"
        "<p6:Description>Bontás</p6:Description></p6:ActivityCode>"
        "<p6:UDFType><p6:ObjectId>3</p6:ObjectId><p6:SubjectArea>Activity</p6:SubjectArea><p6:Title>Típus</p6:Title></p6:UDFType>";
    std::string body =
        "<p6:ActivityCodeType><p6:ObjectId>2</p6:ObjectId><p6:Name>Típus</p6:Name></p6:ActivityCodeType>"
        "<p6:ActivityCode><p6:ObjectId>21</p6:ObjectId><p6:CodeTypeObjectId>2</p6:CodeTypeObjectId><p6:CodeValue>F</p6:CodeValue></p6:ActivityCode>" +
        Activity(1, "", kDates + "<p6:Code><p6:TypeObjectId>1</p6:TypeObjectId><p6:ValueObjectId>11</p6:ValueObjectId></p6:Code>") +
        Activity(2, "", kDates + "<p6:Code><p6:TypeObjectId>2</p6:TypeObjectId><p6:ValueObjectId>21</p6:ValueObjectId></p6:Code>") +
        Activity(3, "", kDates + "<p6:Code><p6:TypeObjectId>2</p6:TypeObjectId><p6:ValueObjectId>21</p6:ValueObjectId></p6:Code>"
                                 "<p6:UDF><p6:TypeObjectId>3</p6:TypeObjectId><p6:TextValue>t</p6:TextValue></p6:UDF>") +
        Activity(4, "", kDates + "<p6:UDF><p6:TypeObjectId>3</p6:TypeObjectId><p6:TextValue>semmi</p6:TextValue></p6:UDF>");
    ASSERT_TRUE(Load(OneProject(body, outside)));
    ASSERT_TRUE(Build());
    ASSERT_EQ(schedule.tasks.size(), 4u);
    EXPECT_EQ(schedule.tasks[0].type, Demolition); // the code's description names it
    EXPECT_EQ(schedule.tasks[1].type, Fixed);
    EXPECT_EQ(schedule.tasks[2].type, Temporary);
    EXPECT_EQ(schedule.tasks[3].type, Construction); // a value that names no type
}

TEST_F(P6XmlFileTest, KeepsEveryKindOfRelationshipAndItsLag) {
    auto link = [](int from, int to, const char* type, const char* lag) {
        return "<p6:Relationship><p6:PredecessorActivityObjectId>" + std::to_string(from) +
               "</p6:PredecessorActivityObjectId><p6:SuccessorActivityObjectId>" + std::to_string(to) +
               "</p6:SuccessorActivityObjectId><p6:Type>" + type + "</p6:Type><p6:Lag>" + lag + "</p6:Lag></p6:Relationship>";
    };
    std::string body = Activity(1, "", kDates) + Activity(2, "", kDates) + link(1, 2, "Finish to Start", "8") +
                       link(1, 2, "Start to Start", "-2.5") + link(1, 2, "Finish to Finish", "") +
                       link(1, 2, "Start to Finish", "0") + link(1, 2, "Sometimes", "0") + link(1, 3, "Finish to Start", "0");
    ASSERT_TRUE(Load(OneProject(body)));
    ASSERT_TRUE(Build());
    using enum DependencyType;
    EXPECT_EQ(schedule.plans[1].predecessors,
              (std::vector<Dependency>{{1, FinishToStart, 4800, 5}, {1, StartToStart, -1500, 5}, {1, FinishToFinish, 0, 5}, {1, StartToFinish, 0, 5}}));
    EXPECT_TRUE(schedule.plans[0].predecessors.empty());
}

TEST_F(P6XmlFileTest, NamesTheLineOfWhatItCannotRead) {
    EXPECT_FALSE(Load("<?xml version=\"1.0\"?>\n<APIBusinessObjects>\n<Project>\n</APIBusinessObjects>\n"));
    EXPECT_EQ(error.kind, P6XmlError::NotXml);
    EXPECT_EQ(error.line, 4u);
    EXPECT_FALSE(Load(""));
    EXPECT_EQ(error.kind, P6XmlError::NotXml);
    EXPECT_FALSE(Load("<Project xmlns=\"http://schemas.microsoft.com/project\"><Tasks/></Project>"));
    EXPECT_EQ(error.kind, P6XmlError::NotP6);
    EXPECT_TRUE(file.Projects().empty());

    // An activity with no date at all, and one whose date is of another form.
    ASSERT_TRUE(Load(OneProject(Activity(1, "", kDates) + Activity(2, "", ""))));
    EXPECT_FALSE(Build());
    EXPECT_EQ(error.kind, P6XmlError::NoDates);
    EXPECT_EQ(error.line, 5u);
    EXPECT_EQ(error.detail, "A2");
    for (const char* date : {"02.03.2009", "2009-03-02 08:00:00", "2009-13-02T08:00:00", "2009-03-02T08:00:00Z", "1600-12-31"}) {
        ASSERT_TRUE(Load(OneProject(Activity(1, "", std::string("\n<p6:PlannedStartDate>") + date + "</p6:PlannedStartDate>"))));
        EXPECT_FALSE(Build()) << date;
        EXPECT_EQ(error.kind, P6XmlError::UnknownDate);
        EXPECT_EQ(error.line, 5u);
        EXPECT_EQ(error.detail, date);
    }
    ASSERT_TRUE(Load(OneProject("")));
    EXPECT_TRUE(Build());
    EXPECT_TRUE(schedule.tasks.empty());
}

class PrimaveraXmlTest : public ScheduleFileTest {
protected:
    bool Read(const std::string& bytes) {
        path = PathOf("terv.xml");
        WriteBytes(path, bytes);
        return ImportPrimaveraXml(db, path);
    }
    std::string path;
};

TEST_F(PrimaveraXmlTest, AsksWhichProjectAndACancelKeepsTheSchedule) {
    db.AppendLoadedTask(MakeTask(77, Fixed, DateTime(2008, 1, 1), DateTime(2008, 2, 1), "Régi"));
    DGQueueDialogAnswer({"32508", {}, 2});
    EXPECT_FALSE(Read(DataFile("p6_two_projects.xml")));
    EXPECT_TRUE(DGShownAlerts().empty());
    ASSERT_EQ(db.TaskCount(), 1u);

    DGQueueDialogAnswer({"32508", {{"project", "2"}}, 1});
    ASSERT_TRUE(Read(DataFile("p6_two_projects.xml")));
    ASSERT_EQ(db.TaskCount(), 1u);
    EXPECT_EQ(db.Tasks()[0].Name(), Cp("B1000 Garázs alap"));
    ASSERT_NE(db.PlanAt(0), nullptr);
    EXPECT_EQ(db.PlanAt(0)->uid, 6001);
}

TEST_F(PrimaveraXmlTest, ReadsOneProjectWithoutAsking) {
    ASSERT_TRUE(Read(OneProject(Activity(3, "", kDates))));
    EXPECT_TRUE(DGShownDialogs().empty());
    ASSERT_EQ(db.TaskCount(), 1u);
    EXPECT_EQ(db.Tasks()[0].finish, DateTime(2009, 3, 7));
}

TEST_F(PrimaveraXmlTest, RefusesWhatItCannotReadWithItsAlert) {
    db.AppendLoadedTask(MakeTask(77, Fixed, DateTime(2008, 1, 1), DateTime(2008, 2, 1), "Régi"));
    for (const std::string& bytes : {std::string("<APIBusinessObjects>"), std::string("<Project/>"), std::string("<APIBusinessObjects/>"),
                                     OneProject(""), OneProject(Activity(1, "", ""))}) {
        DGResetAnswers();
        EXPECT_FALSE(Read(bytes)) << bytes;
        EXPECT_EQ(AlertIds(), std::vector<int16_t>{32543}) << bytes;
        EXPECT_EQ(db.TaskCount(), 1u);
    }
    DGResetAnswers();
    EXPECT_FALSE(ImportPrimaveraXml(db, PathOf("nincs.xml")));
    EXPECT_EQ(AlertIds(), std::vector<int16_t>{32506});
}

} // namespace
