// The add-on's side of 4D in IFC: how the file's tasks become the schedule's (types, days, the
// outline, dependencies, which inputs link) and how texts go back into a STEP file.
#include "TestSupport.h"

#include "host/ifc/StepValues.h"
#include "linking/IfcScheduleExport.h"
#include "linking/IfcScheduleImport.h"

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
    // The actual start where there is one, whole days through the finish's day.
    EXPECT_EQ(s.tasks[1].start, DateTime(2009, 3, 3));
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
    EXPECT_EQ(StepStringOf(Cp("Ő'k\\ű")), "'\\X2\\0150\\X0\\''k\\\\\\X2\\0171\\X0\\'");
    EXPECT_EQ(StepString(StepStringOf(Cp("Fő ütemterv 'a' \\"))), "Fő ütemterv 'a' \\");
}

} // namespace
