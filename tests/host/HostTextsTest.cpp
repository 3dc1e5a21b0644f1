// The host's texts in both languages: every text in each, with the same parameters, and the
// script transcript's own choice when no language was chosen.
#include "basekit/BKResources.h"
#include "host/app/IfcReportTexts.h"
#include "host/ifc/building/IfcLeftOutReport.h"
#include "host/resources/HostResources.h"
#include "TestSupport.h"

#include <algorithm>
#include <regex>

namespace {

class HostTextsTest : public ::testing::Test {
protected:
    void TearDown() override { SetHostLanguage(HostLanguage::Transcript); }
};

// The parameters a text takes: "%s" of the host's messages, "%1" of the desktop's.
std::vector<std::string> Parameters(const std::string& text) {
    static const std::regex parameter("%s|%[0-9]");
    std::vector<std::string> found;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), parameter); it != std::sregex_iterator(); ++it)
        found.push_back(it->str());
    return found;
}

TEST_F(HostTextsTest, EveryTextHasAHungarianAndAnEnglishFormWithTheSameParameters) {
    const std::pair<int16_t, int> lists[] = {{100, 42}, {101, 4}, {102, 3}, {200, 37}, {201, 24}, {202, 11}, {203, 13}, {204, 20}, {205, 4}, {206, 9}};
    for (auto [list, count] : lists)
        for (int16_t i = 1; i <= count + 1; ++i) {
            SetHostLanguage(HostLanguage::Hungarian);
            std::string hu = HostListString(list, i);
            SetHostLanguage(HostLanguage::English);
            std::string en = HostListString(list, i);
            if (i > count) {
                EXPECT_TRUE(hu.empty() && en.empty()) << list << " has more than " << count;
                continue;
            }
            EXPECT_FALSE(hu.empty() || en.empty()) << list << "/" << i;
            EXPECT_EQ(Parameters(hu), Parameters(en)) << list << "/" << i;
            // A menu item's mnemonic is marked once.
            if (list == 200) {
                EXPECT_EQ(std::count(hu.begin(), hu.end(), '&'), 1) << BKToUtf8(hu);
            }
        }
    for (int16_t id : {1001, 1002}) {
        BKAlertTemplate hu, en;
        SetHostLanguage(HostLanguage::Hungarian);
        {
            BKResModuleScope scope(HostResModule());
            ASSERT_TRUE(BKGetAlert(hu, id));
        }
        SetHostLanguage(HostLanguage::English);
        {
            BKResModuleScope scope(HostResModule());
            ASSERT_TRUE(BKGetAlert(en, id));
        }
        EXPECT_EQ(hu.kind, en.kind);
        EXPECT_EQ(hu.buttons.size(), en.buttons.size());
        EXPECT_EQ(Parameters(hu.main + hu.explanation), Parameters(en.main + en.explanation));
        EXPECT_NE(hu.main, en.main);
    }
}

TEST_F(HostTextsTest, EachLanguageSpeaksItselfAndTheTranscriptKeepsItsOwnMix) {
    SetHostLanguage(HostLanguage::Hungarian);
    EXPECT_EQ(HostString(HostText::Untitled), Cp("Névtelen"));
    EXPECT_EQ(HostKindName(1), "Fal");
    EXPECT_EQ(HostUndoStepName(HostUndoStep::IfcUpdate), Cp("IFC frissítés"));
    SetHostLanguage(HostLanguage::English);
    EXPECT_EQ(HostString(HostText::Untitled), "Untitled");
    EXPECT_EQ(HostKindName(1), "Wall");
    EXPECT_EQ(HostUndoStepName(HostUndoStep::IfcUpdate), "IFC update");
    // A script's transcript: kind and undo step names in Hungarian, messages in English.
    SetHostLanguage(HostLanguage::Transcript);
    EXPECT_EQ(HostString(HostText::Untitled), "Untitled");
    EXPECT_EQ(HostKindName(1), "Fal");
    EXPECT_EQ(HostUndoStepName(HostUndoStep::IfcUpdate), Cp("IFC frissítés"));
    EXPECT_EQ(HostKindName(0), "");
    EXPECT_EQ(HostKindName(43), "");
    EXPECT_EQ(HostLanguageOfCode("hu"), HostLanguage::Hungarian);
    EXPECT_FALSE(HostLanguageOfCode("de"));
}

TEST_F(HostTextsTest, TheIfcReportSpeaksTheHostsLanguageAndTheTranscriptsWordsAreItsEnglish) {
    std::vector<IfcSkippedProduct> leftOut = {{"0a", "IfcWall", "no body", IfcLeftOutCause::NoBody, "Fal 1"}};
    std::vector<IfcNote> notes = {{IfcNoteKind::GlobalIdOutOfRange, "\"SL-101\""}, {IfcNoteKind::DuplicateRecord, "#34"}};
    const auto transcript = IfcOpeningReport("IFC4", 1, leftOut, notes);
    SetHostLanguage(HostLanguage::English);
    EXPECT_EQ(IfcOpeningReport("IFC4", 1, leftOut, notes, HostIfcReportWords()), transcript);
    SetHostLanguage(HostLanguage::Transcript);
    EXPECT_EQ(IfcOpeningReport("IFC4", 1, leftOut, notes, HostIfcReportWords()), transcript);
    IfcRevisionCounts counts;
    counts.kept = 34;
    counts.added = 1;
    counts.skipped = leftOut;
    EXPECT_EQ(IfcRevisionReport("IFC4", counts, HostIfcReportWords()), IfcRevisionReport("IFC4", counts));
    SetHostLanguage(HostLanguage::Hungarian);
    EXPECT_EQ(IfcOpeningReport("IFC4", 1, leftOut, notes, HostIfcReportWords()),
              (std::vector<std::string>{"IFC-modell (IFC4): 1 elem, 1 termék kimaradt", "  kimaradt 1, nincs testgeometriája: \"Fal 1\"",
                                        "  megtartva 1, tartományon kívüli GlobalId: \"SL-101\"",
                                        "  elfogadva 1, kétszer, azonos szöveggel megadott rekord: #34"}));
    EXPECT_EQ(IfcRevisionReport("IFC4", counts, HostIfcReportWords()).front(),
              "IFC-revízió (IFC4): 34 megmaradt, 1 új, 0 törölve, 1 termék kimaradt");
    // What is filled in is never taken for a pattern.
    EXPECT_EQ(FillIfcPattern("%1 and %2, %3%", {"%2", "b"}), "%2 and b, %3%");
}

} // namespace
