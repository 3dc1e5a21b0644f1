// What a revision did to the links, as the planner reads it: a real model revised with new
// GlobalIds for a third of its elements (and every one of them), a wall deleted, the lines that
// name element and task, and the CSV beside them.
#include "DisplayFixture.h"
#include "host/HostTestFiles.h"
#include "host/IfcGlobalIdRewrite.h"

#include "dialogkit/DGAnswers.h"
#include "hostcalls/HostRevision.h"
#include "linking/HostElementFacts.h"
#include "linking/LinkRulesCommand.h"
#include "linking/RevisionLinkReport.h"
#include "linking/RulesOnModel.h"

#include <algorithm>
#include <fstream>
#include <regex>

namespace {

using enum ConstructionType;

class RevisionLinkReportTest : public DisplayFixture {
protected:
    void SetUp() override {
        DisplayFixture::SetUp();
        std::string error;
        ASSERT_TRUE(host->OpenProject(SourceFile("tests/data/ifc/facts-ifc2x3.ifc"), error)) << error;
        AddTask(1, Construction, DateTime(2009, 3, 2), DateTime(2009, 3, 3), "Falazás");
        AddTask(2, Construction, DateTime(2009, 3, 4), DateTime(2009, 3, 5), "Födémek");
        for (const auto& e : host->Model().Elements()) {
            if (!IElementDisplay::IsDisplayableKind(e->Kind())) continue;
            Link(*e, {e->Kind() == HostElement::Wall ? 1 : 2});
            ++linked;
        }
    }
    // The revision from a rewritten copy of the file; the add-on's part as after the host's event.
    RevisionLinkReport Revise(const std::string& text) {
        const std::string path = folder.Path("revision.ifc");
        std::ofstream(path, std::ios::binary) << text;
        std::string error;
        DGQueueAlertAnswer(1); // linked elements go: the host asks first
        EXPECT_TRUE(host->UpdateFromIfc(path, error)) << error;
        HostRevision revision;
        EXPECT_EQ(ReadHostRevision(revision), kHostNoError);
        RevisionLinkReport report = CollectRevisionLinks(revision, db, hider);
        AddUnreachedNewElements(report, revision, nullptr, hider);
        from = host->ReportLines().size();
        WriteRevisionLinkReport(report);
        return report;
    }
    std::vector<std::string> Lines() {
        std::vector<std::string> out;
        for (size_t i = from; i < host->ReportLines().size(); ++i) out.push_back(BKToUtf8(host->ReportLines()[i]));
        return out;
    }
    std::string Original() { return ReadWholeFile(SourceFile("tests/data/ifc/facts-ifc2x3.ifc")); }
    TempFolder folder;
    size_t linked = 0, from = 0;
};

} // namespace

TEST_F(RevisionLinkReportTest, EveryGlobalIdReissuedKeepsEveryLinkThatCanBeTold) {
    // Eight linked elements; three of them beams that stand alike in one place, so the
    // fingerprint cannot tell them apart: their links are lost, and said to be, not moved.
    ASSERT_EQ(linked, 8u);
    RevisionLinkReport report = Revise(ifctest::ReissueGlobalIds(Original(), 1));
    EXPECT_EQ(report.kept, 0u);
    EXPECT_EQ(report.rematched, 5u);
    EXPECT_EQ(report.lost, 3u);
    EXPECT_EQ(report.newUnreached, 3u);
    for (const auto& e : host->Model().Elements()) {
        if (!IElementDisplay::IsDisplayableKind(e->Kind())) continue;
        const bool beam = BKToUtf8(e->IdText()).rfind("LIGGER", 0) == 0;
        EXPECT_EQ(CountLinks(LinkOf(*e).Slots()), beam ? 0 : 1) << e->IdText();
    }

    std::vector<std::string> lines = Lines();
    ASSERT_EQ(lines.size(), 12u);
    EXPECT_EQ(lines[0], "Kapcsolatok a modell új változata után: 0 megmaradt, 5 újra párosítva, 3 elveszett; 3 új elemet egy szabály sem ért el");
    // A line names the element and the task, so a click selects either.
    const std::regex rematched(R"re(Újra párosítva: '[^']+' \(ID: "[^"]+"\), tevékenység: "(Falazás|Födémek)" \(egyezés: class\+.*box\+shape\))re");
    for (size_t i = 1; i <= 5; ++i) {
        ASSERT_TRUE(std::regex_match(lines[i], rematched)) << lines[i];
        const std::string id = lines[i].substr(lines[i].find("(ID: \"") + 6);
        EXPECT_NE(host->Model().FindByIdText(BKFromUtf8(id.substr(0, id.find('"')))), nullptr) << lines[i];
    }
    for (size_t i = 6; i <= 8; ++i)
        EXPECT_EQ(lines[i].rfind("Elveszett kapcsolat, több elem is illett rá, ezért egyikkel sem párosult: 'Gerenda' (ID: \"LIGGER B/", 0), 0u)
            << lines[i];
    for (size_t i = 9; i <= 11; ++i) EXPECT_EQ(lines[i].rfind("Új elem, egy szabály sem érte el: 'Gerenda' (ID: \"LIGGER B/", 0), 0u) << lines[i];
}

TEST_F(RevisionLinkReportTest, AThirdReissuedAndAWallDeletedNamesTheLostLink) {
    // The first wall's line dropped: the model loses it and its link.
    std::string text = ifctest::ReissueGlobalIds(Original(), 3);
    const Element* wall = nullptr;
    for (const auto& e : host->Model().Elements())
        if (e->Kind() == HostElement::Wall && (!wall || e->Index() < wall->Index())) wall = e.get();
    ASSERT_NE(wall, nullptr);
    const std::string wallId = BKToUtf8(wall->IdText());
    std::string globalId;
    for (const auto& [key, value] : host->Model().FactsOf(*wall))
        if (key == "globalid") globalId = value;
    const size_t at = text.find("'" + globalId + "'");
    ASSERT_NE(at, std::string::npos) << "the wall kept its GlobalId in this revision";
    const size_t begin = text.rfind('\n', at) + 1, end = text.find('\n', at) + 1;
    text.erase(begin, end - begin);

    RevisionLinkReport report = Revise(text);
    // The wall, and one of the beams alike whose GlobalId changed.
    EXPECT_EQ(report.lost, 2u);
    EXPECT_EQ(report.kept + report.rematched + report.lost, linked);
    EXPECT_GT(report.rematched, 0u);
    EXPECT_GT(report.kept, 0u);
    std::vector<std::string> lines = Lines();
    ASSERT_FALSE(lines.empty());
    const std::string lost = "Elveszett kapcsolat: 'Fal' (ID: \"" + wallId + "\"), tevékenység: \"Falazás\"";
    EXPECT_NE(std::find(lines.begin(), lines.end(), lost), lines.end()) << lost;

    // The CSV names every link, kept ones too.
    std::string csv = RevisionLinksCsv(report);
    EXPECT_EQ(csv.rfind("\xEF\xBB\xBF" "Eredmény;Elemtípus;Elem;GlobalId;Tevékenység azonosító;Tevékenység;Egyezés\r\n", 0), 0u);
    size_t rows = 0;
    for (size_t p = csv.find("\r\n"); p != std::string::npos; p = csv.find("\r\n", p + 2)) ++rows;
    EXPECT_EQ(rows, 1 + report.kept + report.rematched + report.lost + report.newUnreached);
    EXPECT_NE(csv.find("elveszett;Fal;" + wallId + ";"), std::string::npos);
    EXPECT_NE(csv.find("megmaradt;"), std::string::npos);
    EXPECT_NE(csv.find("\r\nújra párosítva;"), std::string::npos);
}

TEST(RevisionLinksCsv, QuotesWhatASpreadsheetWouldSplit) {
    RevisionLinkReport report;
    report.taken = true;
    RevisionLinkRow row;
    row.outcome = RevisionLinkRow::Outcome::NewUnreached;
    row.kindName = "Fal";
    row.idText = "Fal; \"A\"";
    row.globalId = "0-1";
    report.rows.push_back(row);
    std::string csv = RevisionLinksCsv(report);
    EXPECT_NE(csv.find("\r\n\"új, szabály nem érte el\";Fal;\"Fal; \"\"A\"\"\";0-1;;;\r\n"), std::string::npos) << csv;
}

TEST(HostRevisionEntries, ReadsWhatTheHostWritesAndRefusesTheRest) {
    auto entries = [](std::initializer_list<std::initializer_list<std::string>> list) {
        std::string bytes;
        for (const auto& entry : list)
            for (const std::string& field : entry) bytes += field + '\0';
        return bytes;
    };
    const std::string a = "1F000000-0000-0000-0000-000000000001", b = "1F000000-0000-0000-0000-000000000065";
    HostRevision r;
    ASSERT_TRUE(ParseHostRevision(entries({{"kept", a, "1"}, {"rematched", a, b, "1", "class+box+shape"},
                                           {"lost", b, "3", "Ablak", "1", "103", "0A0b"}, {"added", b, "5"}}),
                                  4, r));
    EXPECT_TRUE(r.taken);
    ASSERT_EQ(r.lost.size(), 1u);
    EXPECT_EQ(r.lost[0].bytes, (std::vector<uint8_t>{0x0A, 0x0B}));
    EXPECT_TRUE(r.lost[0].ambiguous);
    EXPECT_EQ(r.rematched[0].how, "class+box+shape");
    EXPECT_EQ(r.added[0].kind, 5);
    // None at all is no revision; anything not as written is refused whole.
    EXPECT_TRUE(ParseHostRevision({}, 0, r));
    EXPECT_FALSE(r.taken);
    for (const std::string& bad : {entries({{"kept", a}}), entries({{"kept", a, "43"}}), entries({{"kept", "1F00", "1"}}),
                                   entries({{"lost", b, "3", "Ablak", "2", "103", ""}}),
                                   entries({{"lost", b, "3", "Ablak", "0", "103", "ABC"}}),
                                   entries({{"lost", b, "3", "Ablak", "0", "103", "0G"}}), entries({{"moved", a, "1"}}),
                                   entries({{"kept", a, "1"}}) + "x"})
        EXPECT_FALSE(ParseHostRevision(bad, 1, r)) << bad;
    EXPECT_FALSE(ParseHostRevision(entries({{"kept", a, "1"}}), 2, r));
    EXPECT_FALSE(ParseHostRevision("kept", -1, r));
}
