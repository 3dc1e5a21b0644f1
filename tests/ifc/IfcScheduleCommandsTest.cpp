// The add-on's side of 4D in IFC: how the file's tasks become the schedule's (types, days, the
// outline, dependencies, which inputs link) and how texts go back into a STEP file.
#include "TestSupport.h"

#include "exchange/IfcScheduleExport.h"
#include "exchange/IfcScheduleImport.h"
#include "host/ifc/step/StepValues.h"
#include "schedule/tasks/AnimationSettings.h"
#include "steptext/StepString.h"

namespace {

HostScheduleTask IfcTask(std::string name, std::string type, int32_t parent = -1, std::string objectType = {}) {
    HostScheduleTask t;
    t.name = std::move(name);
    t.predefinedType = std::move(type);
    t.objectType = std::move(objectType);
    t.parent = parent;
    t.level = parent < 0 ? 1 : 2;
    t.scheduleStart = "2009-03-02T08:00:00";
    t.scheduleFinish = "2009-03-04T17:00:00";
    return t;
}

TEST(IfcScheduleImport, TypesDatesOutlineDependenciesAndWhichInputsLink) {
    HostWorkSchedules ifc;
    ifc.schema = "IFC4";
    ifc.tasks = {IfcTask("Szerkezet", "CONSTRUCTION"), IfcTask("Falak", "INSTALLATION", 0), IfcTask("Bontás", "DISMANTLE"),
                 IfcTask("Állvány", "USERDEFINED", -1, "Temporary"), IfcTask("Átadás", "NOTDEFINED")};
    ifc.tasks[1].actualStart = "2009-03-03T10:00:00";
    ifc.tasks[1].percent = 40;
    ifc.tasks[4].milestone = true;
    ifc.sequences = {{1, 2, "START_START", 86400}, {2, 1, "FINISH_START", 0}, {2, 2, "FINISH_START", 0}};
    ifc.links = {{1, "wall", false}, {2, "window", true}, {1, "formwork", true}, {1, "wall", false}};
    IfcSchedule s = ScheduleFromIfc(ifc);
    ASSERT_EQ(s.tasks.size(), 5u);
    EXPECT_EQ(s.tasks[1].id, 2);
    EXPECT_EQ(s.tasks[2].type, ConstructionType::Demolition);
    EXPECT_EQ(s.tasks[3].type, ConstructionType::Temporary);
    EXPECT_TRUE(s.plans[0].summary);
    EXPECT_EQ(s.plans[1].outlineLevel, 2);
    EXPECT_EQ(s.summaries, 1u);
    // The schedule's dates apart from the actual start, whole days through the finish's day.
    EXPECT_EQ(s.tasks[1].start, DateTime(2009, 3, 2));
    EXPECT_EQ(s.tasks[1].finish, DateTime(2009, 3, 5));
    EXPECT_EQ(s.plans[1].actualStart, DateTime(2009, 3, 3, 10, 0, 0));
    EXPECT_EQ(s.plans[1].percentComplete, 40);
    EXPECT_TRUE(s.plans[4].milestone);
    EXPECT_EQ(s.tasks[4].finish, DateTime(2009, 3, 3));
    // Both ways of a loop kept, a task before itself not; a day's lag in tenths of a minute.
    ASSERT_EQ(s.plans[2].predecessors.size(), 1u);
    EXPECT_EQ(s.plans[2].predecessors[0].predecessorUid, 2);
    EXPECT_EQ(s.plans[2].predecessors[0].type, DependencyType::StartToStart);
    EXPECT_EQ(s.plans[2].predecessors[0].lag, 14400);
    EXPECT_EQ(s.plans[1].predecessors.size(), 1u);
    EXPECT_EQ(s.dependencies, 2u);
    // A demolition task's input links; a construction task's input does not in IFC4; a pair once.
    EXPECT_EQ(s.links, (std::vector<std::pair<std::string, int32_t>>{{"wall", 2}, {"window", 3}}));
    EXPECT_EQ(s.demolitionLinks, 1u);
    ifc.schema = "IFC2X3";
    EXPECT_EQ(ScheduleFromIfc(ifc).links.size(), 3u);
}

TEST(IfcScheduleExport, StepStringsEscapeWhatIsNotPlainAscii) {
    EXPECT_EQ(StepStringOf(BKToUtf8(Cp("Ő'k\\ű"))), "'\\X2\\0150\\X0\\''k\\\\\\X2\\0171\\X0\\'");
    EXPECT_EQ(StepString(StepStringOf(BKToUtf8(Cp("Fő ütemterv 'a' \\")))), "Fő ütemterv 'a' \\");
}

TEST(IfcScheduleImport, AWholeIdentificationNumbersTheTaskAndTheGlobalIdIsKept) {
    HostWorkSchedules ifc;
    ifc.schema = "IFC4";
    ifc.tasks = {IfcTask("a", "CONSTRUCTION"), IfcTask("b", "CONSTRUCTION", 0), IfcTask("c", "CONSTRUCTION"),
                 IfcTask("d", "CONSTRUCTION"), IfcTask("e", "CONSTRUCTION")};
    const char* identifications[] = {"3", "1.1", "3", "", "1"};
    for (size_t i = 0; i < 5; ++i) ifc.tasks[i].identification = identifications[i];
    ifc.tasks[0].globalId = "1Ws4DTask00000000000A1";
    ifc.tasks[1].globalId = "not a GlobalId";
    ifc.sequences = {{4, 2, "FINISH_START", 0}};
    ifc.links = {{4, "wall", false}};
    IfcSchedule s = ScheduleFromIfc(ifc);
    // "1.1" is no number and the second "3" is taken: those on from the largest, in order.
    std::vector<int32_t> ids;
    for (const Task& t : s.tasks) ids.push_back(t.id);
    EXPECT_EQ(ids, (std::vector<int32_t>{3, 4, 5, 6, 1}));
    EXPECT_EQ(s.plans[0].ifcGlobalId, "1Ws4DTask00000000000A1");
    EXPECT_EQ(s.plans[1].ifcGlobalId, "");
    EXPECT_EQ(s.plans[1].wbs, "1.1");
    // Dependencies by place, links by the task's number.
    EXPECT_EQ(s.plans[2].predecessors[0].predecessorUid, 5);
    EXPECT_EQ(s.links, (std::vector<std::pair<std::string, int32_t>>{{"wall", 1}}));
}

class IfcScheduleExportTest : public FixedClockTest {
protected:
    void SetUp() override {
        FixedClockTest::SetUp();
        db.InitTaskDB();
    }
    void Add(int32_t id, const std::string& globalId) {
        Task t;
        t.id = id;
        t.start = DateTime(2009, 3, 2);
        t.finish = DateTime(2009, 3, 3);
        t.SetName("t" + std::to_string(id));
        TaskPlan plan;
        plan.uid = id;
        plan.ifcGlobalId = globalId;
        db.AppendLoadedTask(t, plan);
    }
    static std::vector<std::string> TaskGlobalIds(const std::string& records) {
        std::vector<std::string> out;
        for (size_t at = records.find("IFCTASK('"); at != std::string::npos; at = records.find("IFCTASK('", at + 1))
            out.push_back(records.substr(at + 9, 22));
        return out;
    }
    AnimationSettings settings;
    TaskDB db{settings, nullptr};
};

TEST_F(IfcScheduleExportTest, ATaskKeepsItsGlobalIdOnceAndNotOneTheCopyHoldsElsewhere) {
    const std::string own = "1Ws4DTask00000000000A1", product = "3uz48kjnbIA3SJNqYLuMQL", fresh = "0Ws4DTask00000000000B7";
    Add(1, own);
    Add(2, fresh);
    Add(3, fresh);   // a copied task: the GlobalId goes to the first
    Add(4, product); // a product's
    Add(5, "");
    HostWorkSchedules ifc;
    ifc.highestRecord = 100;
    ifc.productRecords[product] = 50;
    ifc.tasks = {IfcTask("x", "CONSTRUCTION")};
    ifc.tasks[0].globalId = own;
    // The file's own task stays in the copy: its GlobalId is not taken again.
    std::vector<std::string> ids = TaskGlobalIds(MakeIfcScheduleRecords(db, {}, ifc, "terv", 1).text);
    ASSERT_EQ(ids.size(), 5u);
    EXPECT_NE(ids[0], own);
    EXPECT_EQ(ids[1], fresh);
    EXPECT_NE(ids[2], fresh);
    EXPECT_NE(ids[3], product);
    EXPECT_TRUE(TaskPlan::IsIfcGlobalId(ids[4]));
    // Its records left out of the copy, the task takes its GlobalId back and goes under the work
    // schedule it came from: no new work plan.
    ifc.taskRecords = {{10, 20}};
    ifc.scheduleNames = {"Fő"};
    ifc.scheduleGlobalIds = {"1Ws4DSched0000000000A1"};
    ifc.scheduleRecords = {7};
    ifc.tasks[0].schedule = 0;
    ASSERT_TRUE(TakesTasksBack(db, ifc));
    IfcScheduleRecords records = MakeIfcScheduleRecords(db, {}, ifc, "terv", 1);
    EXPECT_TRUE(records.tasksLeftOut);
    EXPECT_EQ(TaskGlobalIds(records.text)[0], own);
    EXPECT_EQ(records.text.find("IFCWORKPLAN"), std::string::npos);
    EXPECT_NE(records.text.find("',$,$,$,(#101,#102,#103,#104,#105),$,#7);"), std::string::npos)
        << records.text;
}

TEST(IfcScheduleExport, TheCopyLeavesOutTheFilesOwnTaskRecordsAndAddsAfterTheLast) {
    const std::string text = "DATA;\n#1=IFCPROJECT();\n#2=IFCTASK();\n#3=IFCWALL();\n#4=IFCTASK();\nENDSEC;\n";
    HostWorkSchedules ifc;
    ifc.recordsEnd = text.find("\nENDSEC");
    auto span = [&](const std::string& record) {
        const uint64_t at = text.find(record);
        return std::pair<uint64_t, uint64_t>{at, at + record.size() + 1};
    };
    ifc.taskRecords = {span("#2=IFCTASK();"), span("#4=IFCTASK();")};
    const std::string records = "#5=IFCTASK();\n";
    EXPECT_EQ(CopyWithRecords(text, ifc, records, false),
              "DATA;\n#1=IFCPROJECT();\n#2=IFCTASK();\n#3=IFCWALL();\n#4=IFCTASK();\n#5=IFCTASK();\nENDSEC;\n");
    // The last record left out: the new ones where it began.
    EXPECT_EQ(CopyWithRecords(text, ifc, records, true), "DATA;\n#1=IFCPROJECT();\n#3=IFCWALL();\n#5=IFCTASK();\nENDSEC;\n");
    ifc.taskRecords.pop_back();
    EXPECT_EQ(CopyWithRecords(text, ifc, records, true),
              "DATA;\n#1=IFCPROJECT();\n#3=IFCWALL();\n#4=IFCTASK();\n#5=IFCTASK();\nENDSEC;\n");
}

} // namespace
