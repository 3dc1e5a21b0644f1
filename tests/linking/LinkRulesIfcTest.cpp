// Every form of rule on a small IFC model with its facts (classes, storeys, materials, predefined
// types, properties), and the same rules again after a revision brings a wall and a chimney.
#include "DisplayFixture.h"
#include "host/HostTestFiles.h"

#include "linking/HostElementFacts.h"
#include "linking/LinkRulesCommand.h"
#include "linking/RulesOnModel.h"

namespace {

using enum ConstructionType;

class LinkRulesIfcTest : public DisplayFixture {
protected:
    void SetUp() override {
        DisplayFixture::SetUp();
        std::string error;
        ASSERT_TRUE(host->OpenProject(SourceFile("tests/data/ifc/facts-ifc2x3.ifc"), error)) << error;
        const char* names[] = {"Földszint", "Emelet", "Pince", "Acélszerkezet", "Ablakok", "Padlás", "Tető"};
        for (int32_t id = 1; id <= 7; ++id)
            AddTask(id, Construction, DateTime(2009, 3, 2), DateTime(2009, 3, 3), names[id - 1]);
    }
    ElementLink Links(const char* utf8Id) { return LinkOf(*host->Model().FindByIdText(Cp(utf8Id))).Slots(); }
    std::vector<std::string> ReportSince(size_t from) {
        std::vector<std::string> out;
        for (size_t i = from; i < host->ReportLines().size(); ++i) out.push_back(BKToUtf8(host->ReportLines()[i]));
        return out;
    }
    void Apply(const char* json) {
        std::string path = folder.Path("szabalyok.json");
        std::ofstream(path, std::ios::binary) << json;
        LinkRules rules;
        ASSERT_TRUE(ReadRulesFile(path, rules));
        db.SetLinkRules(rules);
        HostElementFacts facts(hider);
        ApplyRulesToModel(db, db.Rules(), facts, false);
    }
    TempFolder folder;
};

ElementLink L(std::initializer_list<int32_t> ids) {
    ElementLink l{};
    size_t k = 0;
    for (int32_t id : ids) l[k++] = id;
    return l;
}

TEST_F(LinkRulesIfcTest, EachFormByTheModelsFactsAndAgainAfterARevision) {
    size_t report = host->ReportLines().size();
    Apply(R"({"rules": [
        {"tasks": "each", "elements": {"storey": "{name}", "class": "IfcWall*"}},
        {"tasks": {"name": "acél*"}, "elements": {"material": "STEEL/*"}},
        {"tasks": {"id": [5]}, "elements": {"class": "IfcWindow", "material": "Üveg"}},
        {"tasks": {"id": 2}, "elements": {"class": "IfcSlab", "type": "floor", "tag": "1?3"}},
        {"tasks": {"id": 1}, "elements": {"Pset_WallCommon.IsExternal": "true", "classification": "Uniclass*"}},
        {"tasks": "each", "elements": {"storey": "{name}", "unlinked": true}}
    ]})");
    EXPECT_EQ(Links("Külső fal"), L({1}));
    EXPECT_EQ(Links("Belső fal"), L({1}));
    EXPECT_EQ(Links("LIGGER B/2 (2)"), L({4}));
    EXPECT_EQ(Links("Ablak"), L({5}));
    EXPECT_EQ(Links("Födém"), L({2}));
    EXPECT_EQ(Links("Tárgy"), L({3})); // the railing in the cellar, caught by the last rule
    EXPECT_EQ(ReportSince(report),
              (std::vector<std::string>{
                  "Kapcsolás szabályokkal: \"szabalyok.json\", 6 szabály",
                  "1. szabály: 7 tevékenység, 2 elem kapcsolva, 0 már kapcsolva, 0 kimaradt (már 10 kapcsolata van)",
                  "2. szabály: 1 tevékenység, 3 elem kapcsolva, 0 már kapcsolva, 0 kimaradt (már 10 kapcsolata van)",
                  "3. szabály: 1 tevékenység, 1 elem kapcsolva, 0 már kapcsolva, 0 kimaradt (már 10 kapcsolata van)",
                  "4. szabály: 1 tevékenység, 1 elem kapcsolva, 0 már kapcsolva, 0 kimaradt (már 10 kapcsolata van)",
                  "5. szabály: 1 tevékenység, 0 elem kapcsolva, 1 már kapcsolva, 0 kimaradt (már 10 kapcsolata van)",
                  // The walls and the slab hold only the task of their storey: for this rule unlinked.
                  "6. szabály: 7 tevékenység, 1 elem kapcsolva, 3 már kapcsolva, 0 kimaradt (már 10 kapcsolata van)",
                  "Minden elemet elért egy szabály."}));

    std::string error;
    ASSERT_TRUE(host->UpdateFromIfc(SourceFile("tests/data/ifc/facts-ifc2x3_rev2.ifc"), error)) << error;
    report = host->ReportLines().size();
    ReapplyRulesAfterRevision(db);
    EXPECT_EQ(Links("Padlásfal"), L({6}));
    EXPECT_EQ(Links("Kémény"), L({7}));
    EXPECT_EQ(Links("Külső fal"), L({1}));
    std::vector<std::string> lines = ReportSince(report);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "Új kapcsolatot kapott 2 elem: \"Padlásfal\", \"Kémény\"");
}

} // namespace
