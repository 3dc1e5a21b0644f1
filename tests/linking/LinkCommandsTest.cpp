// The link commands on an in-process host: rules from a file, kept with the schedule and applied
// again after a revision; links out to a file and into a fresh copy of the model.
#include "DisplayFixture.h"

#include "filekit/FKFileDialog.h"
#include "host/ifc/building/IfcModelBuilder.h"
#include "host/ifc/building/IfcRevisionUpdate.h"
#include "host/project/HostProjectFile.h"
#include "linking/HostElementFacts.h"
#include "linking/LinkRulesCommand.h"
#include "linking/LinksCsvCommands.h"
#include "linking/RulesOnModel.h"
#include "ifc/IfcTestData.h"

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

using enum ConstructionType;
using ifctest::Box;
using ifctest::GuidOf;

IfcModelOptions Options() { return ifctest::EveryKindNamed("Elem"); }

// Three walls and a slab on the ground floor, a column upstairs.
IfcBuildingData FirstRevision() {
    IfcBuildingData d;
    d.schema = "IFC4";
    d.products = {Box(1, "IfcWall", "Fal", {0, 0, 0}, {5, 0.3, 3}), Box(2, "IfcWall", "Fal", {0, 5, 0}, {5, 5.3, 3}),
                  Box(3, "IfcWall", "Fal", {0, 0, 0}, {0.3, 5, 3}), Box(4, "IfcSlab", "Floor", {0, 0, -0.2}, {5, 5.3, 0}),
                  Box(5, "IfcColumn", "Pillér", {1, 1, 3}, {1.3, 1.3, 6})};
    for (auto& p : d.products) p.storey = p.ifcClass == "IfcColumn" ? "Emelet" : "Földszint";
    return d;
}

// Wall 3 gone, a new wall and a second column.
IfcBuildingData SecondRevision() {
    IfcBuildingData d = FirstRevision();
    d.products.erase(d.products.begin() + 2);
    d.products.push_back(Box(6, "IfcWall", "Fal", {5, 0, 0}, {5.3, 5, 3}));
    d.products.back().storey = "Földszint";
    d.products.push_back(Box(7, "IfcColumn", "Pillér", {2, 2, 3}, {2.3, 2.3, 6}));
    d.products.back().storey = "Emelet";
    return d;
}

class LinkCommandsTest : public DisplayFixture {
protected:
    void SetUp() override {
        DisplayFixture::SetUp();
        UseModel(FirstRevision());
        AddTask(1, Construction, DateTime(2009, 3, 2), DateTime(2009, 3, 5), "Falazás");
        AddTask(2, Construction, DateTime(2009, 3, 10), DateTime(2009, 3, 12), "Födém");
        AddTask(3, Construction, DateTime(2009, 3, 13), DateTime(2009, 3, 20), "Pillérek");
        folder = std::filesystem::temp_directory_path() / ("bv_links_" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        FKResetFileDialogs();
    }
    void TearDown() override {
        std::filesystem::remove_all(folder);
        FKResetFileDialogs();
        DisplayFixture::TearDown();
    }
    void UseModel(const IfcBuildingData& data) {
        auto built = BuildIfcModel(data, Options());
        EnsureDefaultPens(*built.model);
        host->ReplaceModel(std::move(built.model));
    }
    std::string WriteFile(const char* name, const std::string& text) {
        std::string path = (folder / name).string();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    static std::string ReadFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    void Choose(const std::string& path) { FKQueueFileDialogAnswer({false, path, std::nullopt}); }
    ElementLink Links(int n) { return LinkOf(*host->Model().Find(GuidOf(n))).Slots(); }
    std::vector<std::string> ReportSince(size_t from) {
        const auto& lines = host->ReportLines();
        std::vector<std::string> out;
        for (size_t i = from; i < lines.size(); ++i) out.push_back(BKToUtf8(lines[i]));
        return out;
    }

    static constexpr const char* kRules = R"({"rules": [
        {"tasks": {"name": "Falaz*"}, "elements": {"kind": 1, "layer": "földszint"}},
        {"tasks": {"id": [2]}, "elements": {"name": "Floor"}},
        {"tasks": "each", "elements": {"name": "{name}*", "kind": 2}}
    ]})";
    std::filesystem::path folder;
};

ElementLink L(std::initializer_list<int32_t> ids) {
    ElementLink l{};
    size_t k = 0;
    for (int32_t id : ids) l[k++] = id;
    return l;
}

TEST_F(LinkCommandsTest, RulesFromAFileAreOneUndoStepWithAReportLineARuleAndStayWithTheSchedule) {
    Choose(WriteFile("szabályok.json", kRules));
    size_t report = host->ReportLines().size();
    size_t steps = host->Model().Undo().UndoCount();
    LinkByRulesCommand(db);
    EXPECT_EQ(Links(1), L({1}));
    EXPECT_EQ(Links(3), L({1}));
    EXPECT_EQ(Links(4), L({2}));
    EXPECT_EQ(Links(5), L({}));  // no task is named "Pillér*"
    EXPECT_EQ(host->Model().Undo().UndoCount(), steps + 1);
    EXPECT_EQ(ReportSince(report),
              (std::vector<std::string>{
                  "Kapcsolás szabályokkal: \"szabályok.json\", 3 szabály",
                  "1. szabály: 1 tevékenység, 3 elem kapcsolva, 0 már kapcsolva, 0 kimaradt (már 10 kapcsolata van)",
                  "2. szabály: 1 tevékenység, 1 elem kapcsolva, 0 már kapcsolva, 0 kimaradt (már 10 kapcsolata van)",
                  "3. szabály: 3 tevékenység, 0 elem kapcsolva, 0 már kapcsolva, 0 kimaradt (már 10 kapcsolata van)",
                  "1 elemet egy szabály sem ért el: \"Pillér\""}));
    EXPECT_EQ(db.Rules().rules.size(), 3u);
    EXPECT_EQ(BKToUtf8(db.Rules().source), "szabályok.json");
    EXPECT_TRUE(db.IsDirty());
    // The step is the user's to undo.
    std::string name;
    ASSERT_TRUE(host->Model().ApplyUndo(name));
    EXPECT_EQ(BKToUtf8(name), "Kapcsolás szabályokkal");
    EXPECT_EQ(Links(1), L({}));
}

TEST_F(LinkCommandsTest, RulesLinkNoElementToASummaryRowOrAMilestone) {
    Task heading;
    heading.id = 4;
    heading.type = Construction;
    heading.start = DateTime(2009, 3, 2);
    heading.finish = DateTime(2009, 3, 20);
    heading.SetName(Cp("Falazás és födém"));
    TaskPlan summary;
    summary.summary = true;
    summary.wbs = "1";
    db.AppendLoadedTask(heading, summary);
    heading.id = 5;
    heading.SetName(Cp("Falazás kész"));
    TaskPlan milestone;
    milestone.milestone = true;
    db.AppendLoadedTask(heading, milestone);
    Choose(WriteFile("r.json", R"({"rules": [{"tasks": {"name": "Falaz*"}, "elements": {"kind": 1}},
                                            {"tasks": {"id": [4, 5]}, "elements": {"kind": 8}}]})"));
    size_t report = host->ReportLines().size();
    LinkByRulesCommand(db);
    EXPECT_EQ(Links(1), L({1}));
    EXPECT_EQ(Links(4), L({}));
    EXPECT_EQ(ReportSince(report)[1], "1. szabály: 1 tevékenység, 3 elem kapcsolva, 0 már kapcsolva, 0 kimaradt (már 10 kapcsolata van)");
    EXPECT_EQ(ReportSince(report)[2], "2. szabály: 0 tevékenység, 0 elem kapcsolva, 0 már kapcsolva, 0 kimaradt (már 10 kapcsolata van)");
}

TEST_F(LinkCommandsTest, KeptRulesAreOfferedFirst) {
    LinkRules kept;
    ASSERT_TRUE(ReadRulesFile(WriteFile("r.json", kRules), kept));
    db.SetLinkRules(kept);
    DGQueueAlertAnswer(3); // Mégse
    LinkByRulesCommand(db);
    EXPECT_EQ(Links(1), L({}));
    DGQueueAlertAnswer(1); // the kept ones again, no dialog
    LinkByRulesCommand(db);
    EXPECT_EQ(Links(1), L({1}));
    EXPECT_TRUE(FKShownFileDialogs().empty());
    ASSERT_EQ(DGShownAlerts().size(), 2u);
    EXPECT_EQ(DGShownAlerts()[1].id, 32540);
    EXPECT_EQ(DGShownAlerts()[1].params[1], "3");
    // Another file: its rules replace the kept ones.
    DGQueueAlertAnswer(2);
    Choose(WriteFile("masik.json", R"([{"tasks": {"id": 3}, "elements": {"kind": 2}}])"));
    LinkByRulesCommand(db);
    EXPECT_EQ(Links(5), L({3}));
    EXPECT_EQ(db.Rules().rules.size(), 1u);
}

TEST_F(LinkCommandsTest, ARefusedFileChangesNothing) {
    size_t report = host->ReportLines().size();
    Choose(WriteFile("rossz.json", R"([{"tasks": "each", "elements": {"szin": "piros"}}])"));
    LinkByRulesCommand(db);
    EXPECT_EQ(ReportSince(report), std::vector<std::string>{"A(z) 1. szabály: ismeretlen elemkulcs: \"szin\"."});
    ASSERT_EQ(DGShownAlerts().size(), 1u);
    EXPECT_EQ(DGShownAlerts()[0].id, 32541);
    EXPECT_TRUE(db.Rules().Empty());
    EXPECT_EQ(Links(1), L({}));
    DGResetAnswers();
    Choose((folder / "nincs.json").string());
    LinkByRulesCommand(db);
    EXPECT_EQ(DGShownAlerts().at(0).id, 32506);
}

TEST_F(LinkCommandsTest, AfterARevisionNewElementsJoinTheirTasks) {
    LinkRules rules;
    ASSERT_TRUE(ReadRulesFile(WriteFile("r.json", R"([
        {"tasks": {"id": 1}, "elements": {"kind": 1}},
        {"tasks": {"id": 3}, "elements": {"kind": 2}}])"), rules));
    db.SetLinkRules(rules);
    HostElementFacts facts(hider);
    ApplyRulesToModel(db, db.Rules(), facts, false);
    ASSERT_EQ(Links(3), L({1}));
    UpdateFromIfcRevision(host->Model(), SecondRevision(), Options());
    size_t report = host->ReportLines().size();
    ReapplyRulesAfterRevision(db);
    EXPECT_EQ(host->Model().Find(GuidOf(3)), nullptr);
    EXPECT_EQ(Links(1), L({1}));
    EXPECT_EQ(Links(6), L({1}));
    EXPECT_EQ(Links(7), L({3}));
    EXPECT_EQ(ReportSince(report),
              (std::vector<std::string>{
                  "A modell új változata után újra alkalmazott szabályok: \"r.json\", 2 szabály",
                  "1. szabály: 1 tevékenység, 1 elem kapcsolva, 2 már kapcsolva, 0 kimaradt (már 10 kapcsolata van)",
                  "2. szabály: 1 tevékenység, 1 elem kapcsolva, 1 már kapcsolva, 0 kimaradt (már 10 kapcsolata van)",
                  "1 elemet egy szabály sem ért el: \"Floor\"",
                  "Új kapcsolatot kapott 2 elem: \"Fal (3)\", \"Pillér (2)\""}));
    // Without rules a revision leaves the links alone and says nothing.
    db.SetLinkRules({});
    report = host->ReportLines().size();
    ReapplyRulesAfterRevision(db);
    EXPECT_EQ(host->ReportLines().size(), report);
}

TEST_F(LinkCommandsTest, LinksGoOutAndComeBackIntoAFreshCopy) {
    Link(*host->Model().Find(GuidOf(1)), {1, 2});
    Link(*host->Model().Find(GuidOf(4)), {2, 7}); // 7: a task the schedule no longer has
    Link(*host->Model().Find(GuidOf(5)), {3});
    std::string path = (folder / "kapcsolatok.csv").string();
    Choose(path);
    ExportLinksCommand(db);
    std::string text = ReadFile(path);
    EXPECT_EQ(text.rfind("\xEF\xBB\xBFGlobalId;ElementId;TaskId;TaskName\r\n", 0), 0u);
    EXPECT_NE(text.find(";Fal;2;F\xC3\xB6" "d\xC3\xA9m\r\n"), std::string::npos);
    EXPECT_NE(text.find(";Floor;7;\r\n"), std::string::npos);

    std::vector<ElementLink> before;
    for (int n = 1; n <= 5; ++n) before.push_back(Links(n));
    UseModel(FirstRevision());
    AddTask(7, Construction, DateTime(2009, 3, 2), DateTime(2009, 3, 3), "Visszatért");
    Choose(path);
    ImportLinksCommand(db);
    for (int n = 1; n <= 5; ++n) EXPECT_EQ(Links(n), before[static_cast<size_t>(n - 1)]) << n;
    EXPECT_EQ(host->Model().Undo().NextUndo()->name, Cp("Kapcsolatok beolvasása"));
    EXPECT_EQ(ReportSince(host->ReportLines().size() - 1),
              std::vector<std::string>{"Kapcsolatok beolvasása: \"kapcsolatok.csv\": 5 sor, 5 új kapcsolat, 0 már megvolt, 0 sor kimaradt"});
}

TEST_F(LinkCommandsTest, UnknownRowsAreNamedWithTheirLines) {
    Element& full = *host->Model().Find(GuidOf(2));
    Link(full, {11, 12, 13, 14, 15, 16, 17, 18, 19, 20});
    Link(*host->Model().Find(GuidOf(1)), {1});
    LinksCsv csv;
    ASSERT_TRUE(ReadLinksCsv("ID,Task,TaskName\n"
                             "Fal,1,\n"          // already linked
                             "Nincs,1,\n"        // no such element
                             "Floor,99,\n"       // no such task
                             "Floor,,Pillérek\n" // by name
                             "Fal (2),2,\n"      // ten links already
                             ",2,\n"             // no element
                             "Pillér,Födém,\n",  // a name in the task column
                             csv));
    size_t report = host->ReportLines().size();
    HostElementFacts facts(hider);
    ImportLinks(db, facts, csv, "k.csv");
    EXPECT_EQ(Links(4), L({3}));
    EXPECT_EQ(Links(5), L({2}));
    EXPECT_EQ(Links(2), L({11, 12, 13, 14, 15, 16, 17, 18, 19, 20}));
    EXPECT_EQ(ReportSince(report),
              (std::vector<std::string>{"3. sor: ismeretlen elem: \"Nincs\"", "4. sor: ismeretlen tevékenység: \"99\"",
                                        "6. sor: a(z) \"Fal (2)\" elemnek már 10 kapcsolata van",
                                        "7. sor: nincs benne elem vagy tevékenység",
                                        "Kapcsolatok beolvasása: \"k.csv\": 7 sor, 2 új kapcsolat, 1 már megvolt, 4 sor kimaradt"}));
}

} // namespace
