#include "schedule/ScheduleFileFixture.h"
#include "filekit/FKError.h"
#include "schedule/projectfile/IfcTaskRecord.h"
#include "schedule/projectfile/LinkRulesRecord.h"
#include "schedule/projectfile/StatusRecord.h"
#include "schedule/projectfile/TaskPlanRecord.h"
#include "schedule/projectfile/TaskRecord.h"
#include "schedule/tasks/ScheduleFileError.h"

#include <cstring>
#include <span>

namespace {

using enum ConstructionType;

class ProjectFileTest : public ScheduleFileTest {
protected:
    void FillAllTypes() {
        db.AppendLoadedTask(MakeTask(1, Construction, DateTime(2009, 3, 2), DateTime(2009, 3, 5), "Alapozás"));
        db.AppendLoadedTask(MakeTask(2, Demolition, DateTime(2009, 3, 5), DateTime(2009, 3, 7), "Bontás"));
        db.AppendLoadedTask(MakeTask(3, Renovation, DateTime(2009, 3, 9), DateTime(2009, 3, 14), "Felújítás"));
        db.AppendLoadedTask(MakeTask(10, Fixed, DateTime(2009, 1, 1), DateTime(2010, 1, 1), "Rögzített"));
        db.AppendLoadedTask(MakeTask(11, Temporary, DateTime(2009, 4, 1), DateTime(2009, 4, 30), "Ideiglenes állványzat"));
        db.AppendLoadedTask(MakeTask(12, Construction, DateTime(2009, 5, 1), DateTime(2009, 5, 2), ""));
    }
    void OpenSomething() {
        db.AppendLoadedTask(MakeTask(7, Fixed, DateTime(2008, 1, 1), DateTime(2008, 2, 1), "Régi"));
        settings.SetProjectFilePath(PathOf("régi.csp"));
        settings.projectFileKind = 1;
        settings.untitled = false;
    }
    void ExpectSomethingKept() {
        ASSERT_EQ(db.TaskCount(), 1u);
        EXPECT_EQ(db.Tasks()[0].id, 7);
        EXPECT_EQ(settings.projectFilePath, PathOf("régi.csp"));
        EXPECT_EQ(settings.projectFileKind, 1);
        EXPECT_FALSE(settings.untitled);
    }
    // Each of `cases` is refused with the damaged-file alert, and what was open stays.
    void ExpectEachRefusedKeepingWhatWasOpen(std::span<const std::string> cases) {
        OpenSomething();
        for (const auto& bytes : cases) {
            DGResetAnswers();
            EXPECT_FALSE(Load(bytes));
            EXPECT_EQ(AlertIds(), std::vector<int16_t>{32521});
            ExpectSomethingKept();
        }
    }
    static std::string Header(int32_t version, int32_t count) {
        std::string h(64, '\0');
        std::memcpy(h.data(), "BVBF", 4);
        for (int i = 0; i < 4; ++i) h[4 + i] = static_cast<char>(version >> (8 * i));
        for (int i = 0; i < 4; ++i) h[8 + i] = static_cast<char>(count >> (8 * i));
        return h;
    }
    static std::string Record(const Task& t) {
        MemoryOutStream out;
        EXPECT_EQ(WriteTask(out, t), kScheduleFileOk);
        return {out.bytes.begin(), out.bytes.end()};
    }
    bool Load(const std::string& bytes) {
        path = PathOf("betöltés.csp");
        WriteBytes(path, bytes);
        return db.LoadProjectFile(path);
    }
    std::string path;
};

TEST_F(ProjectFileTest, WritesVersion4ByteForByte) {
    FillAllTypes();
    path = PathOf("arany.csp");
    ASSERT_TRUE(db.SaveProjectFile(path));
    std::string golden = DataFile("schedule_v4.csp");
    ASSERT_FALSE(golden.empty());
    EXPECT_EQ(ReadBytes(path), golden);
}

TEST_F(ProjectFileTest, RecordSizesFollowTheName) {
    MemoryOutStream out;
    ASSERT_EQ(WriteTask(out, MakeTask(1, Construction, DateTime(2009, 3, 2), DateTime(2009, 3, 3), "Falazás")), 0);
    EXPECT_EQ(out.bytes.size(), 47u);
    path = PathOf("üres.csp");
    ASSERT_TRUE(db.SaveProjectFile(path));
    EXPECT_EQ(ReadBytes(path), Header(4, 0));
    db.AppendLoadedTask(MakeTask(1, Construction, DateTime(2009, 3, 2), DateTime(2009, 3, 3), "x"));
    ASSERT_TRUE(db.LoadProjectFile(path));
    EXPECT_EQ(db.TaskCount(), 0u);
}

TEST_F(ProjectFileTest, RoundTripKeepsEveryTypeAndHungarianName) {
    FillAllTypes();
    db.AppendLoadedTask(MakeTask(13, static_cast<ConstructionType>(5), DateTime(2009, 6, 1), DateTime(2009, 6, 3),
                                 "Őrház űrtartalma"));
    std::vector<Task> before = db.Tasks();
    path = PathOf("körút.csp");
    ASSERT_TRUE(db.SaveProjectFile(path));
    db.Tasks().clear();
    ASSERT_TRUE(db.LoadProjectFile(path));
    ASSERT_EQ(db.TaskCount(), before.size());
    for (size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(db.Tasks()[i].id, before[i].id);
        EXPECT_EQ(db.Tasks()[i].type, before[i].type);
        EXPECT_EQ(db.Tasks()[i].Name(), before[i].Name());
        EXPECT_EQ(db.Tasks()[i].start, before[i].start);
        EXPECT_EQ(db.Tasks()[i].finish, before[i].finish);
    }
    EXPECT_TRUE(DGShownAlerts().empty());
}

TEST_F(ProjectFileTest, OlderVersionsReadWithTodaysMeaning) {
    struct Expect {
        ConstructionType types[5];
        DateTime finish;
    };
    const Expect expected[] = {
        {{Fixed, Temporary, Renovation, Construction, Demolition}, DateTime(2009, 3, 11)},
        {{Renovation, Fixed, Temporary, Construction, Demolition}, DateTime(2009, 3, 11)},
        {{Renovation, Fixed, Temporary, Construction, Demolition}, DateTime(2009, 3, 10)},
    };
    for (int version = 1; version <= 3; ++version) {
        std::string name = "schedule_v" + std::to_string(version) + ".csp";
        std::string bytes = DataFile(name.c_str());
        ASSERT_FALSE(bytes.empty()) << name;
        ASSERT_TRUE(Load(bytes)) << name;
        ASSERT_EQ(db.TaskCount(), 5u);
        const Expect& e = expected[version - 1];
        for (size_t i = 0; i < 5; ++i) EXPECT_EQ(db.Tasks()[i].type, e.types[i]) << name << " task " << i;
        EXPECT_EQ(db.Tasks()[0].start, DateTime(2009, 3, 2)) << name; // 08:30 dropped
        EXPECT_EQ(db.Tasks()[0].finish, e.finish) << name;
        EXPECT_EQ(db.Tasks()[1].Name(), Cp("Állványzat"));
    }
    // The same stored finish in version 4 is the day it names.
    Task t = MakeTask(1, Construction, DateTime(2009, 3, 2), DateTime(2009, 3, 10, 12), "a");
    ASSERT_TRUE(Load(Header(4, 1) + Record(t)));
    EXPECT_EQ(db.Tasks()[0].finish, DateTime(2009, 3, 10));
}

TEST_F(ProjectFileTest, ReadTaskRejectsBadRecords) {
    Task ok = MakeTask(1, Construction, DateTime(2009, 3, 2), DateTime(2009, 3, 3), "a");
    auto read = [](const std::string& bytes) {
        MemoryInStream in(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
        Task t;
        return ReadTask(in, t, 4);
    };
    EXPECT_EQ(read(Record(ok)), kScheduleFileOk);
    Task t = ok;
    t.id = 0;
    EXPECT_EQ(read(Record(t)), kScheduleFileBadRecord);
    t = ok;
    t.type = static_cast<ConstructionType>(6);
    EXPECT_EQ(read(Record(t)), kScheduleFileBadRecord);
    t.type = static_cast<ConstructionType>(-1);
    EXPECT_EQ(read(Record(t)), kScheduleFileBadRecord);
    std::string r = Record(ok);
    EXPECT_EQ(read(r.substr(0, r.size() - 1)), kScheduleFileReadFailed);
    EXPECT_EQ(read(r.substr(0, 10)), kScheduleFileReadFailed);
    // A name length of 256 or more is refused before anything is read for it.
    std::string longName = r.substr(0, 32) + std::string("\x00\x01\x00\x00\x00\x00\x00\x00", 8) + std::string(256, 'n');
    EXPECT_EQ(read(longName), kScheduleFileReadFailed);
    std::string huge = r.substr(0, 32) + std::string(8, '\xff');
    EXPECT_EQ(read(huge), kScheduleFileReadFailed);
}

TEST_F(ProjectFileTest, DatesBefore1601LoadAsInvalid) {
    Task t = MakeTask(1, Construction, DateTime::FromTicks(INT64_MIN), DateTime::FromTicks(-1), "a");
    for (int32_t version : {1, 4}) {
        ASSERT_TRUE(Load(Header(version, 1) + Record(t)));
        EXPECT_EQ(db.Tasks()[0].start.status, DateTimeStatus::Invalid);
        EXPECT_EQ(db.Tasks()[0].finish.status, DateTimeStatus::Invalid);
    }
}

TEST_F(ProjectFileTest, TypeFiveLoadsAndCountsAtOrBelowZeroAreEmpty) {
    Task t = MakeTask(1, static_cast<ConstructionType>(5), DateTime(2009, 3, 2), DateTime(2009, 3, 3), "a");
    ASSERT_TRUE(Load(Header(4, 1) + Record(t)));
    EXPECT_EQ(ConstructionTypeValue(db.Tasks()[0].type), 5);
    ASSERT_TRUE(Load(Header(4, -5) + Record(t)));
    EXPECT_EQ(db.TaskCount(), 0u);
    EXPECT_TRUE(DGShownAlerts().empty());
}

TEST_F(ProjectFileTest, EveryLoadFailureAlertsAndLeavesTheScheduleAlone) {
    Task good = MakeTask(1, Construction, DateTime(2009, 3, 2), DateTime(2009, 3, 3), "jó");
    Task bad = good;
    bad.id = 0;
    std::string badSignature = Header(4, 1) + Record(good);
    badSignature[0] = 'X';
    const std::string cases[] = {
        Header(4, 2) + Record(good) + Record(bad), // a record with id 0
        Header(4, 3) + Record(good) + Record(good), // fewer records than counted
        Header(4, INT32_MAX),                       // a count nothing backs
        Header(5, 0),                               // a version from the future
        Header(0, 0),
        badSignature,
        Header(4, 0).substr(0, 63), // a short header
        "",
    };
    ExpectEachRefusedKeepingWhatWasOpen(cases);
    DGResetAnswers();
    EXPECT_FALSE(db.LoadProjectFile(PathOf("nincs.csp")));
    EXPECT_EQ(AlertIds(), std::vector<int16_t>{32521});
    ExpectSomethingKept();
    // A failed read or close of a good file.
    for (FKOperation op : {FKOperation::Read, FKOperation::Close}) {
        DGResetAnswers();
        FKInjectFault(op, kFKIOErr);
        EXPECT_FALSE(Load(Header(4, 1) + Record(good)));
        EXPECT_EQ(AlertIds(), std::vector<int16_t>{32521});
        ExpectSomethingKept();
    }
    // A path that does not resolve: nothing said.
    DGResetAnswers();
    EXPECT_FALSE(db.LoadProjectFile(""));
    EXPECT_TRUE(DGShownAlerts().empty());
    ExpectSomethingKept();
}

TEST_F(ProjectFileTest, ASuccessfulLoadResetsTheFileIdentity) {
    OpenSomething();
    Task t = MakeTask(5, Construction, DateTime(2009, 3, 2), DateTime(2009, 3, 3), "a");
    ASSERT_TRUE(Load(Header(4, 1) + Record(t)));
    EXPECT_TRUE(settings.untitled);
    EXPECT_EQ(settings.projectFileKind, 0);
    EXPECT_FALSE(db.IsDirty());
}

TEST_F(ProjectFileTest, AFailedSaveKeepsTheOldFileByteForByte) {
    path = PathOf("terv.csp");
    const std::string old = DataFile("schedule_v4.csp");
    for (int i = 0; i < 3000; ++i)
        db.AppendLoadedTask(MakeTask(i + 1, Demolition, DateTime(2009, 3, 2), DateTime(2009, 3, 3), "Bontás"));
    for (auto [op, skip] : {std::pair{FKOperation::Open, 0}, std::pair{FKOperation::Write, 0},
                            std::pair{FKOperation::Write, 1}, std::pair{FKOperation::Close, 0},
                            std::pair{FKOperation::Rename, 0}}) {
        WriteBytes(path, old);
        FKInjectFault(op, op == FKOperation::Write ? kFKDiskFullErr : kFKIOErr, skip);
        EXPECT_FALSE(db.SaveProjectFile(path));
        EXPECT_EQ(ReadBytes(path), old);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);
    }
    EXPECT_FALSE(db.SaveProjectFile("/dev/full"));
    ASSERT_TRUE(db.SaveProjectFile(path));
    EXPECT_NE(ReadBytes(path), old);
}

// Rules are what a schedule holds beyond its tasks: with them it is written as version 5, the
// same header and records followed by a rules section; without them as version 4, as ever.
class ProjectFileRulesTest : public ProjectFileTest {
protected:
    static LinkRules Rules() {
        LinkRules r;
        r.source = "szabalyok.json";
        r.rules.push_back({RuleTasks::Each, {}, {}, {{"Pset_4D.TaskId", "{id}"}}, false});
        r.rules.push_back({RuleTasks::ById, {1, 2}, {}, {{"class", "IfcWall*"}, {"kind", "1"}}, true});
        return r;
    }
    static std::string Section(uint32_t tag, const std::vector<uint8_t>& body) {
        std::string s(8, '\0');
        for (int i = 0; i < 4; ++i) s[static_cast<size_t>(i)] = static_cast<char>(tag >> (8 * i));
        for (int i = 0; i < 4; ++i) s[static_cast<size_t>(4 + i)] = static_cast<char>(body.size() >> (8 * i));
        return s + std::string(body.begin(), body.end());
    }
    static std::string Header5(int32_t count, uint32_t sections) {
        std::string h = Header(5, count);
        for (int i = 0; i < 4; ++i) h[static_cast<size_t>(12 + i)] = static_cast<char>(sections >> (8 * i));
        return h;
    }
};

TEST_F(ProjectFileRulesTest, Version5IsVersion4WithARulesSection) {
    FillAllTypes();
    db.SetLinkRules(Rules());
    path = PathOf("szabályos.csp");
    ASSERT_TRUE(db.SaveProjectFile(path));
    const std::string golden = DataFile("schedule_v4.csp");
    const std::string tasks = golden.substr(64);
    EXPECT_EQ(ReadBytes(path), Header5(6, 1) + tasks + Section(kRulesSectionTag, LinkRulesBytes(Rules())));

    db.ClearSchedule();
    ASSERT_TRUE(db.LoadProjectFile(path));
    EXPECT_EQ(db.Rules(), Rules());
    EXPECT_EQ(db.TaskCount(), 6u);
    EXPECT_FALSE(db.IsDirty());
    // The rules gone again, the file is version 4 byte for byte.
    db.SetLinkRules({});
    EXPECT_TRUE(db.IsDirty());
    ASSERT_TRUE(db.SaveProjectFile(path));
    EXPECT_EQ(ReadBytes(path), golden);
    // Another schedule, another file: the rules went with the schedule they belonged to.
    db.SetLinkRules(Rules());
    ASSERT_TRUE(Load(golden));
    EXPECT_TRUE(db.Rules().Empty());
}

TEST_F(ProjectFileRulesTest, AVersion5FileIsReadWholeOrNotAtAll) {
    Task good = MakeTask(1, Construction, DateTime(2009, 3, 2), DateTime(2009, 3, 3), "jó");
    const std::string body = Header5(1, 1) + Record(good);
    const std::vector<uint8_t> rules = LinkRulesBytes(Rules());
    std::vector<uint8_t> badRules = rules;
    badRules[20] = 7; // no task form 7
    const std::string cases[] = {
        Header5(1, 0) + Record(good),                                          // version 5 with nothing more
        body,                                                                  // a section counted, none there
        body + Section(0x58585858, {1, 2, 3}),                                 // a section this reader does not know
        body + Section(kRulesSectionTag, badRules),                            // rules it cannot read
        body + Section(kRulesSectionTag, rules).substr(0, 20),                 // cut short
        body + Section(kRulesSectionTag, rules) + "x",                         // something after the sections
        Header5(1, 2) + Record(good) + Section(kRulesSectionTag, rules) + Section(kRulesSectionTag, rules),
        Header(6, 0),                                                          // a version from the future
    };
    ExpectEachRefusedKeepingWhatWasOpen(cases);
    ASSERT_TRUE(Load(body + Section(kRulesSectionTag, rules)));
    EXPECT_EQ(db.Rules(), Rules());
}

// A plan beside the tasks is also more than tasks: a plan section, after the rules when both are
// there. A plan that holds nothing is none, and the file stays version 4.
class ProjectFilePlanTest : public ProjectFileRulesTest {
protected:
    static TaskPlan Milestone() {
        TaskPlan p;
        p.uid = 7;
        p.outlineLevel = 2;
        p.milestone = true;
        p.percentComplete = 40;
        p.actualStart = DateTime(2009, 3, 2, 8, 0, 0);
        p.wbs = "1.2";
        p.predecessors = {{3, DependencyType::FinishToStart, 4800, 7}};
        return p;
    }
    static TaskPlan Summary() {
        TaskPlan p;
        p.uid = 3;
        p.outlineLevel = 1;
        p.summary = true;
        p.wbs = Cp("1 Szerkezet");
        p.actualFinish = DateTime(2009, 3, 6, 16, 30, 0);
        p.predecessors = {{7, DependencyType::StartToStart, -4800, 7}, {9, DependencyType::FinishToFinish, 50, 19}};
        return p;
    }
    // The six tasks of the version 4 file with plans on two of them.
    std::vector<TaskPlan> FillWithPlans() {
        FillAllTypes();
        std::vector<Task> tasks = db.Tasks();
        std::vector<TaskPlan> plans(tasks.size());
        plans[1] = Summary();
        plans[4] = Milestone();
        db.ClearSchedule();
        for (size_t i = 0; i < tasks.size(); ++i) db.AppendLoadedTask(tasks[i], plans[i]);
        return plans;
    }
    static void AppendLE(std::vector<uint8_t>& out, uint64_t v, int size) {
        for (int i = 0; i < size; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
};

TEST_F(ProjectFilePlanTest, TheBodyFieldByField) {
    std::vector<uint8_t> expected;
    AppendLE(expected, 1, 4);                                       // one plan
    AppendLE(expected, 7, 4);                                       // its unique id
    AppendLE(expected, 2, 2);                                       // outline level
    expected.push_back(2);                                          // a milestone
    expected.push_back(40);                                         // percent complete
    AppendLE(expected, 0, 4);                                       // actual start, valid
    AppendLE(expected, static_cast<uint64_t>(DateTime(2009, 3, 2, 8, 0, 0).ticks), 8);
    AppendLE(expected, 2, 4);                                       // no actual finish
    AppendLE(expected, 0, 8);
    AppendLE(expected, 3, 2);                                       // the WBS code
    expected.insert(expected.end(), {'1', '.', '2'});
    AppendLE(expected, 1, 4);                                       // one predecessor
    AppendLE(expected, 3, 4);
    expected.push_back(1);                                          // finish to start
    AppendLE(expected, 4800, 4);                                    // a day of eight hours
    expected.push_back(7);
    EXPECT_EQ(TaskPlanBytes({Milestone()}), expected);
    EXPECT_EQ(kPlanSectionTag, 0x4E414C50u);
    std::vector<TaskPlan> back;
    ASSERT_TRUE(ReadTaskPlanBytes(expected, 1, back));
    EXPECT_EQ(back, std::vector<TaskPlan>{Milestone()});
}

TEST_F(ProjectFilePlanTest, Version5WithAPlanSection) {
    const std::vector<TaskPlan> plans = FillWithPlans();
    path = PathOf("terv.csp");
    ASSERT_TRUE(db.SaveProjectFile(path));
    const std::string golden = DataFile("schedule_v4.csp");
    const std::string tasks = golden.substr(64);
    EXPECT_EQ(ReadBytes(path), Header5(6, 1) + tasks + Section(kPlanSectionTag, TaskPlanBytes(plans)));

    db.ClearSchedule();
    ASSERT_TRUE(db.LoadProjectFile(path));
    ASSERT_EQ(db.TaskCount(), 6u);
    EXPECT_FALSE(db.IsDirty());
    EXPECT_EQ(db.PlanAt(0), nullptr);
    ASSERT_NE(db.PlanAt(1), nullptr);
    EXPECT_EQ(*db.PlanAt(1), Summary());
    EXPECT_EQ(*db.PlanAt(4), Milestone());
    EXPECT_TRUE(db.IsMarkerAt(4));

    // With rules too: two sections, the rules first.
    db.SetLinkRules(Rules());
    ASSERT_TRUE(db.SaveProjectFile(path));
    EXPECT_EQ(ReadBytes(path), Header5(6, 2) + tasks + Section(kRulesSectionTag, LinkRulesBytes(Rules())) +
                                   Section(kPlanSectionTag, TaskPlanBytes(plans)));
    db.ClearSchedule();
    ASSERT_TRUE(db.LoadProjectFile(path));
    EXPECT_EQ(db.Rules(), Rules());
    EXPECT_EQ(*db.PlanAt(4), Milestone());

    // Deleting the tasks with plans leaves plans that hold nothing: version 4 again.
    db.SetLinkRules({});
    db.DeleteTask(2);
    db.DeleteTask(11);
    EXPECT_FALSE(db.HasPlan());
    ASSERT_TRUE(db.SaveProjectFile(path));
    EXPECT_EQ(ReadBytes(path).substr(0, 8), Header(4, 4).substr(0, 8));
    EXPECT_EQ(ReadBytes(path).size(), golden.size() - Record(MakeTask(2, Demolition, DateTime(2009, 3, 5), DateTime(2009, 3, 7), "Bontás")).size() -
                                          Record(MakeTask(11, Temporary, DateTime(2009, 4, 1), DateTime(2009, 4, 30), "Ideiglenes állványzat")).size());
}

TEST_F(ProjectFilePlanTest, OutOfRangeValuesAreStoredReadably) {
    TaskPlan odd;
    odd.uid = -5;
    odd.outlineLevel = 5000;
    odd.percentComplete = 150;
    odd.actualStart.status = DateTimeStatus::Invalid;
    odd.actualFinish = DateTime::FromTicks(-1);
    odd.wbs = std::string(300, 'w');
    odd.predecessors = {{0, DependencyType::FinishToStart, 0, 7}, {4, static_cast<DependencyType>(9), 0, 7},
                        {5, DependencyType::StartToStart, 10, 7}};
    std::vector<TaskPlan> back;
    ASSERT_TRUE(ReadTaskPlanBytes(TaskPlanBytes({odd}), 1, back));
    EXPECT_EQ(back[0].uid, 0);
    EXPECT_EQ(back[0].outlineLevel, TaskPlan::kOutlineMax);
    EXPECT_EQ(back[0].percentComplete, TaskPlan::kNoPercent);
    EXPECT_EQ(back[0].actualStart.status, DateTimeStatus::Null);
    EXPECT_EQ(back[0].actualFinish.status, DateTimeStatus::Null);
    EXPECT_EQ(back[0].wbs.size(), TaskPlan::kWbsMax);
    EXPECT_EQ(back[0].predecessors, (std::vector<Dependency>{{5, DependencyType::StartToStart, 10, 7}}));
}

TEST_F(ProjectFilePlanTest, APlanSectionIsReadWholeOrNotAtAll) {
    Task good = MakeTask(1, Construction, DateTime(2009, 3, 2), DateTime(2009, 3, 3), "jó");
    const std::string body = Header5(1, 1) + Record(good);
    const std::vector<uint8_t> plan = TaskPlanBytes({Milestone()});
    auto with = [&](size_t at, uint8_t value) {
        std::vector<uint8_t> b = plan;
        b[at] = value;
        return Section(kPlanSectionTag, b);
    };
    const std::string cases[] = {
        body + Section(kPlanSectionTag, TaskPlanBytes({Milestone(), Milestone()})), // more plans than tasks
        body + Section(kPlanSectionTag, TaskPlanBytes({})),                         // fewer
        body + with(7, 0x80),                                                       // a negative unique id
        body + with(9, 0x04),                                                       // outline level 1026
        body + with(10, 4),                                                         // a mark no plan has
        body + with(11, 101),                                                       // 101 percent
        body + with(12, 1),                                                         // an invalid actual start
        body + with(28, 1),                                                         // no actual finish, yet ticks
        body + with(39, 0),                                                         // a zero byte in the WBS code
        body + with(42, 0x01),                                                      // 257 predecessors, one there
        body + with(45, 0),                                                         // a predecessor of unique id 0
        body + with(49, 4),                                                         // dependency type 4
        body + Section(kPlanSectionTag, plan).substr(0, 30),                        // cut short
        body + Section(kPlanSectionTag, plan) + "x",                                // something after it
        Header5(1, 2) + Record(good) + Section(kPlanSectionTag, plan) + Section(kPlanSectionTag, plan),
    };
    ExpectEachRefusedKeepingWhatWasOpen(cases);
    ASSERT_TRUE(Load(body + Section(kPlanSectionTag, plan)));
    EXPECT_EQ(*db.PlanAt(0), Milestone());
}

// Tasks read from IFC keep their IfcTask's GlobalId in a section of its own after the plans; a
// schedule whose plans hold only that has no plan section.
TEST_F(ProjectFilePlanTest, TheIfcIdentitiesOfTheTasks) {
    const std::string gid = "1Ws4DTask00000000000A1";
    TaskPlan only;
    only.ifcGlobalId = gid;
    std::vector<uint8_t> expected = {2, 0, 0, 0, 22};
    expected.insert(expected.end(), gid.begin(), gid.end());
    expected.push_back(0);
    EXPECT_EQ(IfcTaskBytes({only, TaskPlan{}}), expected);
    EXPECT_EQ(kIfcTaskSectionTag, 0x54434649u); // "IFCT"

    FillAllTypes();
    std::vector<Task> tasks = db.Tasks();
    std::vector<TaskPlan> plans(tasks.size());
    plans[0] = only;
    db.ClearSchedule();
    for (size_t i = 0; i < tasks.size(); ++i) db.AppendLoadedTask(tasks[i], plans[i]);
    path = PathOf("ifc.csp");
    ASSERT_TRUE(db.SaveProjectFile(path));
    const std::string golden = DataFile("schedule_v4.csp");
    EXPECT_EQ(ReadBytes(path), Header5(6, 1) + golden.substr(64) + Section(kIfcTaskSectionTag, IfcTaskBytes(plans)));
    db.ClearSchedule();
    ASSERT_TRUE(db.LoadProjectFile(path));
    ASSERT_NE(db.PlanAt(0), nullptr);
    EXPECT_EQ(db.PlanAt(0)->ifcGlobalId, gid);
    EXPECT_EQ(db.PlanAt(1), nullptr);

    // Beside a plan: both sections, the identities last.
    plans[4] = Milestone();
    plans[4].ifcGlobalId = "3uz48kjnbIA3SJNqYLuMQL";
    db.ClearSchedule();
    for (size_t i = 0; i < tasks.size(); ++i) db.AppendLoadedTask(tasks[i], plans[i]);
    ASSERT_TRUE(db.SaveProjectFile(path));
    std::vector<TaskPlan> bare = plans;
    for (TaskPlan& p : bare) p.ifcGlobalId.clear();
    EXPECT_EQ(ReadBytes(path), Header5(6, 2) + golden.substr(64) + Section(kPlanSectionTag, TaskPlanBytes(bare)) +
                                   Section(kIfcTaskSectionTag, IfcTaskBytes(plans)));
    db.ClearSchedule();
    ASSERT_TRUE(db.LoadProjectFile(path));
    EXPECT_EQ(*db.PlanAt(4), plans[4]);
    EXPECT_EQ(db.PlanAt(0)->ifcGlobalId, gid);

    // No identity left: version 4, byte for byte.
    db.ClearSchedule();
    for (const Task& t : tasks) db.AppendLoadedTask(t);
    ASSERT_TRUE(db.SaveProjectFile(path));
    EXPECT_EQ(ReadBytes(path), golden);
}

TEST_F(ProjectFilePlanTest, AnIfcSectionIsReadWholeOrNotAtAll) {
    Task good = MakeTask(1, Construction, DateTime(2009, 3, 2), DateTime(2009, 3, 3), "jó");
    const std::string body = Header5(1, 1) + Record(good);
    TaskPlan p;
    p.ifcGlobalId = "1Ws4DTask00000000000A1";
    const std::vector<uint8_t> ids = IfcTaskBytes({p});
    auto with = [&](size_t at, uint8_t value) {
        std::vector<uint8_t> b = ids;
        b[at] = value;
        return Section(kIfcTaskSectionTag, b);
    };
    const std::string cases[] = {
        body + Section(kIfcTaskSectionTag, IfcTaskBytes({p, p})), // more identities than tasks
        body + Section(kIfcTaskSectionTag, IfcTaskBytes({})),     // fewer
        body + with(4, 21),                                       // a length of 21
        body + with(4, 0),                                        // none, yet bytes after it
        body + with(5, '4'),                                      // a first digit above 3
        body + with(10, '#'),                                     // not a base-64 digit
        body + with(10, 0),                                       // a zero byte
        body + Section(kIfcTaskSectionTag, ids).substr(0, 20),    // cut short
        body + Section(kIfcTaskSectionTag, ids) + "x",            // something after it
        Header5(1, 2) + Record(good) + Section(kIfcTaskSectionTag, ids) + Section(kIfcTaskSectionTag, ids),
    };
    ExpectEachRefusedKeepingWhatWasOpen(cases);
    // Read before the plan it goes with, as a reader takes sections in any order.
    ASSERT_TRUE(Load(Header5(1, 2) + Record(good) + Section(kIfcTaskSectionTag, ids) +
                     Section(kPlanSectionTag, TaskPlanBytes({Milestone()}))));
    TaskPlan both = Milestone();
    both.ifcGlobalId = p.ifcGlobalId;
    EXPECT_EQ(*db.PlanAt(0), both);
}

const DateTime kNoDate = DateTime::FromTicks(0, DateTimeStatus::Null);

// The status date and the view are kept while they say more than the defaults, in a section
// after the others; a schedule back at the defaults is the version 4 file again.
TEST_F(ProjectFilePlanTest, TheStatusDateAndTheView) {
    const std::vector<uint8_t> body = StatusBytes({DateTime(2009, 3, 16), ScheduleView::Compare});
    std::vector<uint8_t> expected;
    AppendLE(expected, 0, 4);
    AppendLE(expected, static_cast<uint64_t>(DateTime(2009, 3, 16).ticks), 8);
    expected.push_back(2);
    EXPECT_EQ(body, expected);
    EXPECT_EQ(kStatusSectionTag, 0x54415453u);

    FillAllTypes();
    const std::string golden = DataFile("schedule_v4.csp");
    db.SetDirty(false);
    db.SetStatusDate(DateTime(2009, 3, 16));
    EXPECT_TRUE(db.IsDirty());
    db.SetView(ScheduleView::Compare);
    path = PathOf("állapot.csp");
    ASSERT_TRUE(db.SaveProjectFile(path));
    EXPECT_EQ(ReadBytes(path), Header5(6, 1) + golden.substr(64) + Section(kStatusSectionTag, body));
    db.ClearSchedule();
    EXPECT_EQ(db.View(), ScheduleView::Planned);
    EXPECT_EQ(db.StatusDate().status, DateTimeStatus::Null);
    ASSERT_TRUE(db.LoadProjectFile(path));
    EXPECT_EQ(db.StatusDate(), DateTime(2009, 3, 16));
    EXPECT_EQ(db.View(), ScheduleView::Compare);
    EXPECT_EQ(db.DataDate(), DateTime(2009, 3, 16));
    // With a plan: the plan first. The view alone is kept too.
    db.ClearSchedule();
    const std::vector<TaskPlan> plans = FillWithPlans();
    db.SetView(ScheduleView::Actual);
    ASSERT_TRUE(db.SaveProjectFile(path));
    EXPECT_EQ(ReadBytes(path), Header5(6, 2) + golden.substr(64) + Section(kPlanSectionTag, TaskPlanBytes(plans)) +
                                   Section(kStatusSectionTag, StatusBytes({kNoDate, ScheduleView::Actual})));
    // Back at the defaults: byte for byte as before.
    db.ClearSchedule();
    FillAllTypes();
    db.SetStatusDate(DateTime(2009, 3, 16));
    db.SetStatusDate(DateTime::FromTicks(0, DateTimeStatus::Null));
    ASSERT_TRUE(db.SaveProjectFile(path));
    EXPECT_EQ(ReadBytes(path), golden);
}

TEST_F(ProjectFilePlanTest, AStatusSectionIsReadWholeOrNotAtAll) {
    Task good = MakeTask(1, Construction, DateTime(2009, 3, 2), DateTime(2009, 3, 3), "jó");
    const std::string body = Header5(1, 1) + Record(good);
    const std::vector<uint8_t> status = StatusBytes({DateTime(2009, 3, 16), ScheduleView::Actual});
    auto with = [&](size_t at, uint8_t value) {
        std::vector<uint8_t> b = status;
        b[at] = value;
        return Section(kStatusSectionTag, b);
    };
    const std::string cases[] = {
        body + with(12, 3),                                                  // no view 3
        body + with(0, 1),                                                   // an invalid date
        body + with(11, 0x80),                                               // ticks below zero
        body + Section(kStatusSectionTag, StatusBytes({kNoDate, ScheduleView::Planned})), // holds nothing
        body + Section(kStatusSectionTag, status).substr(0, 15),             // cut short
        body + Section(kStatusSectionTag, status) + "x",                     // something after it
        Header5(1, 2) + Record(good) + Section(kStatusSectionTag, status) + Section(kStatusSectionTag, status),
    };
    ExpectEachRefusedKeepingWhatWasOpen(cases);
    ASSERT_TRUE(Load(body + Section(kStatusSectionTag, status)));
    EXPECT_EQ(db.View(), ScheduleView::Actual);
}

} // namespace
