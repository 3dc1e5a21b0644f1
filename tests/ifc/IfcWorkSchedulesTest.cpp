// The 4D records the host keeps of an IFC file for the add-on: IFC4's task times and lag times,
// IFC2X3's schedule time controls and calendar dates, the outline (a loop of nestings broken),
// dependencies (a loop of them kept as the file has it), the elements tasks make and take, and
// the same through the host's operation; the STEP values they are read with.
#include "HostFixture.h"
#include "host/HostTestFiles.h"
#include "IfcTestFiles.h"

#include "host/ifc/reader/IfcReader.h"
#include "host/ifc/step/StepValues.h"
#include "hostcalls/HostWorkSchedules.h"

#include <algorithm>

namespace {

using ifctest::IfcFile;

TEST(IfcWorkSchedules, Ifc4TasksInOutlineOrderWithTimesLogicAndElements) {
    const std::string path = IfcFile("schedule-ifc4.ifc");
    IfcBuildingData data = ReadIfcFile(path);
    const ModelWorkSchedules& w = data.workSchedules;
    EXPECT_EQ(w.sourcePath, path);
    EXPECT_EQ(w.schema, "IFC4");
    ASSERT_EQ(w.schedules.size(), 1u);
    EXPECT_EQ(w.schedules[0].name, "Fő ütemterv");
    ASSERT_EQ(w.tasks.size(), 5u);
    std::vector<std::string> names;
    for (const auto& t : w.tasks) names.push_back(t.name);
    // The summary's children follow it, before the next task at the top.
    EXPECT_EQ(names, (std::vector<std::string>{"Szerkezet", "Falazás", "Gerenda", "Ablak bontása", "Átadás"}));
    EXPECT_EQ(w.tasks[1].parent, 0);
    EXPECT_EQ(w.tasks[1].level, 2);
    EXPECT_EQ(w.tasks[1].schedule, 0); // its summary's
    EXPECT_EQ(w.tasks[1].identification, "1.1");
    EXPECT_EQ(w.tasks[1].scheduleStart, "2009-03-02T08:00:00");
    EXPECT_EQ(w.tasks[1].scheduleFinish, "2009-03-04T17:00:00");
    EXPECT_EQ(w.tasks[1].actualStart, "2009-03-02T08:00:00");
    EXPECT_EQ(w.tasks[1].percent, 50);
    EXPECT_EQ(w.tasks[2].predefinedType, "INSTALLATION");
    EXPECT_EQ(w.tasks[2].scheduleStart, "2009-03-06T00:00:00"); // a date alone, and a time without seconds
    EXPECT_EQ(w.tasks[2].scheduleFinish, "2009-03-10T17:00:00");
    EXPECT_EQ(w.tasks[3].predefinedType, "DEMOLITION");
    EXPECT_TRUE(w.tasks[4].milestone);
    EXPECT_EQ(w.tasks[4].percent, -1);
    ASSERT_EQ(w.sequences.size(), 3u);
    EXPECT_EQ(w.sequences[0].predecessor, 1);
    EXPECT_EQ(w.sequences[0].successor, 2);
    EXPECT_EQ(w.sequences[0].type, "FINISH_START");
    EXPECT_EQ(w.sequences[0].lagSeconds, 36 * 3600.0);
    EXPECT_EQ(w.sequences[1].predecessor, 2); // and back: a loop the file has
    EXPECT_EQ(w.sequences[1].successor, 1);
    EXPECT_EQ(w.sequences[2].successor, 3);
    const auto& wall = data.products[0];
    ASSERT_EQ(wall.name, "Wall A");
    EXPECT_EQ(w.tasks[1].outputs, std::vector<std::string>{wall.globalId});
    EXPECT_EQ(w.tasks[3].inputs, std::vector<std::string>{"3uz48kjnbIA3SJNqYLuMQL"});
    EXPECT_TRUE(w.tasks[0].outputs.empty());
    // Where a copy adds its records: after the last, under numbers of its own.
    const std::string text = ReadWholeFile(path);
    EXPECT_EQ(w.fileSize, text.size());
    EXPECT_TRUE(text.substr(w.recordsEnd).starts_with("\nENDSEC;")) << text.substr(w.recordsEnd, 20);
    EXPECT_EQ(w.highestRecord, 228);
    EXPECT_EQ(w.projectRecord, 1);
    EXPECT_NE(std::find(w.productRecords.begin(), w.productRecords.end(), std::pair<std::string, int32_t>{wall.globalId, 41}),
              w.productRecords.end());
}

// What a copy that takes the schedule back leaves out: the tasks and everything hanging on them,
// not the work schedule; nothing at all when a record that stays refers to a task.
TEST(IfcWorkSchedules, TheFilesOwnTaskRecordsAndWhenTheyCanBeLeftOut) {
    const std::string path = IfcFile("schedule-ifc4.ifc");
    const std::string text = ReadWholeFile(path);
    const ModelWorkSchedules w = ReadIfcFile(path).workSchedules;
    EXPECT_EQ(w.schedules[0].record, 200);
    ASSERT_EQ(w.taskRecords.size(), 19u); // 5 tasks, 5 times, 1 lag, 8 relationships
    std::string rest;
    uint64_t at = 0;
    for (const auto& [begin, end] : w.taskRecords) {
        ASSERT_GE(begin, at);
        EXPECT_EQ(text[begin], '#');
        EXPECT_EQ(text[end - 1], '\n');
        rest += text.substr(at, begin - at);
        at = end;
    }
    rest += text.substr(at);
    for (const char* gone : {"IFCTASK(", "IFCTASKTIME(", "IFCLAGTIME(", "IFCRELSEQUENCE(", "IFCRELNESTS(", "IFCRELASSIGNSTO"})
        EXPECT_EQ(rest.find(gone), std::string::npos) << gone;
    EXPECT_NE(rest.find("#200=IFCWORKSCHEDULE("), std::string::npos);

    TempFolder folder;
    const std::string referring = folder.Path("referring.ifc");
    std::string changed = text;
    changed.insert(changed.rfind("ENDSEC;"), "#300=IFCRELDEFINESBYPROPERTIES('0RZJ9Ka1OylvQ7ILsVJ1pX',$,$,$,(#202),#61);\n");
    std::ofstream(referring, std::ios::binary) << changed;
    const ModelWorkSchedules kept = ReadIfcFile(referring).workSchedules;
    EXPECT_EQ(kept.tasks.size(), 5u);
    EXPECT_TRUE(kept.taskRecords.empty());
}

TEST(IfcWorkSchedules, Ifc2x3TimeControlsCalendarDatesAndANestingLoop) {
    IfcBuildingData data = ReadIfcFile(IfcFile("schedule-ifc2x3.ifc"));
    const ModelWorkSchedules& w = data.workSchedules;
    EXPECT_EQ(w.schema, "IFC2X3");
    ASSERT_EQ(w.tasks.size(), 4u);
    const ModelScheduleTask& footing = w.tasks[0];
    EXPECT_EQ(footing.name, "Alapozás");
    EXPECT_EQ(footing.identification, "A10");
    EXPECT_EQ(footing.schedule, 0);
    EXPECT_EQ(footing.scheduleStart, "2009-03-02T00:00:00");
    EXPECT_EQ(footing.scheduleFinish, "2009-03-06T00:00:00");
    EXPECT_EQ(footing.actualStart, "2009-03-02T07:30:00");
    EXPECT_EQ(footing.percent, 100);
    // The wall it takes, not the time control the same assignment names.
    ASSERT_EQ(footing.inputs.size(), 1u);
    EXPECT_EQ(footing.inputs[0], "06S4g$dp$8rWxZUWvNdY4a");
    EXPECT_EQ(w.tasks[1].objectType, "Demolition");
    EXPECT_EQ(w.tasks[1].scheduleStart, "2009-03-09T00:00:00");
    ASSERT_EQ(w.sequences.size(), 1u);
    EXPECT_EQ(w.sequences[0].lagSeconds, 86400.0);
    // Two tasks that nest each other: the first nesting stands, the one closing the loop does not.
    EXPECT_EQ(w.tasks[2].name, "Egyik");
    EXPECT_EQ(w.tasks[2].parent, -1);
    EXPECT_EQ(w.tasks[3].parent, 2);
    EXPECT_EQ(w.tasks[3].level, 2);
}

TEST(IfcWorkSchedules, AFileWithoutTasksStillTellsWhereACopyAddsRecords) {
    IfcBuildingData data = ReadIfcFile(IfcFile("facts-ifc4.ifc"));
    EXPECT_TRUE(data.workSchedules.tasks.empty());
    EXPECT_EQ(data.workSchedules.highestRecord, 111);
    // The spatial structure's and the elements', no relationship's.
    EXPECT_EQ(data.workSchedules.productRecords.size(), 6u);
    EXPECT_TRUE(data.workSchedules.schedules.empty());
}

TEST(StepValues, AttributesStringsAndReferences) {
    auto a = StepAttributes("#5= IFCTASK('a,b)', /* c, */ $ ,(#1, #2),IFCLABEL('x''y'),.T.,-1.5E2);");
    ASSERT_EQ(a.size(), 6u);
    EXPECT_EQ(a[1], "$");
    EXPECT_EQ(StepString(a[0]), "a,b)");
    EXPECT_EQ(StepReferences(a[2]), (std::vector<int>{1, 2}));
    EXPECT_EQ(StepString(a[3]), "x'y");
    EXPECT_EQ(StepEnumeration(a[4]), "T");
    EXPECT_EQ(StepReal(a[5]), -150.0);
    EXPECT_EQ(StepString("'\\X2\\00C1D83DDE00\\X0\\\\X\\E9\\S\\a\\\\'"), "Á😀éá\\");
    // Cut short, a complex record, or a value of another form: nothing.
    EXPECT_TRUE(StepAttributes("#5=IFCTASK('a',").empty());
    EXPECT_TRUE(StepAttributes("#5=IFCTASK('a);").empty());
    EXPECT_TRUE(StepAttributes("#5=(IFCA()IFCB());").empty());
    EXPECT_EQ(StepString("'\\X2\\00C'"), "\\X2\\00C");
    EXPECT_EQ(StepString("'\\X2\\00C"), std::nullopt);
    EXPECT_EQ(StepString("$"), std::nullopt);
    EXPECT_EQ(StepReference("#"), -1);
    EXPECT_EQ(StepReference("#12a"), -1);
    EXPECT_EQ(StepReal("1.5.2"), std::nullopt);
}

class IfcWorkScheduleOperation : public HostFixture {
protected:
    std::string error;
};

TEST_F(IfcWorkScheduleOperation, TheAddonReadsTheScheduleAndTheProductsRecords) {
    HostWorkSchedules w;
    // A model of no IFC file has none.
    ASSERT_EQ(ReadHostWorkSchedules(0, w), kHostNoError);
    EXPECT_FALSE(w.fromIfc);
    ASSERT_TRUE(host->OpenProject(IfcFile("schedule-ifc4.ifc"), error)) << error;
    ASSERT_EQ(ReadHostWorkSchedules(0, w), kHostNoError);
    EXPECT_TRUE(w.fromIfc);
    EXPECT_EQ(w.schema, "IFC4");
    EXPECT_EQ(w.highestRecord, 228);
    ASSERT_EQ(w.tasks.size(), 5u);
    EXPECT_EQ(w.tasks[1].name, Cp("Falazás"));
    EXPECT_EQ(w.tasks[1].parent, 0);
    EXPECT_EQ(w.scheduleNames, std::vector<std::string>{Cp("Fő ütemterv")});
    EXPECT_EQ(w.sequences.size(), 3u);
    EXPECT_EQ(w.sequences[0].lagSeconds, 129600);
    ASSERT_EQ(w.links.size(), 3u);
    EXPECT_TRUE(w.links[2].input);
    EXPECT_EQ(w.links[2].task, 3);
    EXPECT_TRUE(w.productRecords.empty());
    ASSERT_EQ(ReadHostWorkSchedules(kHostScheduleRecords, w), kHostNoError);
    EXPECT_EQ(w.productRecords.at("3uz48kjnbIA3SJNqYLuMQL"), 93);
    EXPECT_EQ(w.scheduleRecords, std::vector<int32_t>{200});
    EXPECT_EQ(w.taskRecords.size(), 19u);
    uint32_t handle = 0;
    int32_t count = 0;
    EXPECT_EQ(HostModelGetWorkSchedules(&handle, &count, 4), kHostErrBadParameter);
    EXPECT_EQ(HostModelGetWorkSchedules(nullptr, &count, 0), kHostErrBadParameter);
}

// Fields each ended by a zero, as the operation writes them.
std::string Entry(std::initializer_list<std::string_view> fields) {
    std::string out;
    for (std::string_view f : fields) (out += f) += '\0';
    return out;
}

TEST(HostWorkSchedulesParse, EntriesTheOperationDoesNotWriteAreRefused) {
    HostWorkSchedules w;
    const std::string file = Entry({"file", "/a.ifc", "IFC4", "100", "90", "5", "1"});
    EXPECT_TRUE(ParseHostWorkSchedules(file, 1, w));
    auto task = [](std::string_view parent) { return Entry({"task", "G", "N", "I", "", "", "0", "-1", parent, "1", "", "", "", "", "-1"}); };
    EXPECT_TRUE(ParseHostWorkSchedules(file + task("-1"), 2, w));
    EXPECT_EQ(w.tasks.size(), 1u);
    // A parent that is not before its task, a sequence to no task, a record end past the file,
    // a count beyond the entries, an entry before the file's, bytes left over, a field cut short.
    EXPECT_FALSE(ParseHostWorkSchedules(file + task("0"), 2, w));
    EXPECT_FALSE(ParseHostWorkSchedules(file + task("-1") + Entry({"sequence", "0", "1", "FINISH_START", "0"}), 3, w));
    EXPECT_FALSE(ParseHostWorkSchedules(Entry({"file", "/a.ifc", "IFC4", "100", "200", "5", "1"}), 1, w));
    EXPECT_FALSE(ParseHostWorkSchedules(file, 2, w));
    EXPECT_FALSE(ParseHostWorkSchedules(task("-1") + file, 2, w));
    EXPECT_FALSE(ParseHostWorkSchedules(file + "x", 1, w));
    EXPECT_FALSE(ParseHostWorkSchedules(file.substr(0, file.size() - 1), 1, w));
    // The byte ranges a copy leaves out: inside the file, in order, none empty or overlapping.
    auto span = [](std::string_view begin, std::string_view end) { return Entry({"task-records", begin, end}); };
    EXPECT_TRUE(ParseHostWorkSchedules(file + span("10", "20") + span("20", "100"), 3, w));
    EXPECT_EQ(w.taskRecords.size(), 2u);
    EXPECT_FALSE(ParseHostWorkSchedules(file + span("10", "10"), 2, w));
    EXPECT_FALSE(ParseHostWorkSchedules(file + span("10", "20") + span("15", "30"), 3, w));
    EXPECT_FALSE(ParseHostWorkSchedules(file + span("90", "101"), 2, w));
    // A work schedule's record: of a schedule there is, within the file's numbers.
    const std::string schedule = Entry({"schedule", "G", "S"});
    EXPECT_TRUE(ParseHostWorkSchedules(file + schedule + Entry({"schedule-record", "0", "5"}), 3, w));
    EXPECT_EQ(w.scheduleRecords, std::vector<int32_t>{5});
    EXPECT_FALSE(ParseHostWorkSchedules(file + Entry({"schedule-record", "0", "5"}), 2, w));
    EXPECT_FALSE(ParseHostWorkSchedules(file + schedule + Entry({"schedule-record", "0", "6"}), 3, w));
}

} // namespace
