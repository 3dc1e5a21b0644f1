// A windowing back-end sees every dialog and answers every question; the dialog's own rules
// (records, click handlers, refused closes) stay the same as with queued answers.
#include "basekit/BKResources.h"
#include "bytes/LittleEndian.h"
#include "dialogkit/DGAlert.h"
#include "dialogkit/DGAnswers.h"
#include "dialogkit/DGBackEnd.h"
#include "dialogkit/DGDialog.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

class RecordingBackEnd : public IDGBackEnd {
public:
    void DialogCreated(DGDialog& d) override { created.push_back(d.Id()); }
    void DialogDestroyed(DGDialog& d) override { destroyed.push_back(d.Id()); }
    int16_t RunModal(DGModalDialog& d, int16_t okItem, int16_t) override {
        // The user changes an item, presses OK (refused once), then presses it again.
        d.ApplyChange("2", "1");
        for (int i = 0; i < 2; ++i)
            if (!d.onClick || d.onClick(d, okItem)) return okItem;
        return 0;
    }
    int RunAlert(const DGAlertRecord& alert) override {
        alerts.push_back(alert);
        return answer;
    }
    void ProcessEvents() override { ++pumps; }

    std::vector<int32_t> created, destroyed;
    std::vector<DGAlertRecord> alerts;
    int answer = 2;
    int pumps = 0;
};

std::vector<uint8_t> OneAlertBlob() {
    std::vector<uint8_t> body;
    LE::Append<int16_t>(body, -2);
    for (const char* t : {"Title", "Delete %s?", "It cannot be undone", "Yes", "No", "Cancel"}) {
        body.insert(body.end(), t, t + std::strlen(t));
        body.push_back(0);
    }
    std::vector<uint8_t> b = {'B', 'V', 'R', 'S'};
    LE::Append<uint32_t>(b, 1);
    b.insert(b.end(), {'A', 'L', 'R', 'T'});
    LE::Append<int16_t>(b, 900);
    LE::Append<uint16_t>(b, 0);
    LE::Append<uint32_t>(b, static_cast<uint32_t>(body.size() + 4));
    LE::Append<uint32_t>(b, static_cast<uint32_t>(body.size()));
    b.insert(b.end(), body.begin(), body.end());
    return b;
}

class DialogBackEndTest : public ::testing::Test {
protected:
    void SetUp() override {
        DGResetAnswers();
        DGSetBackEnd(&backEnd);
    }
    void TearDown() override {
        DGSetBackEnd(nullptr);
        DGResetAnswers();
    }
    RecordingBackEnd backEnd;
};

TEST_F(DialogBackEndTest, ModelessDialogsAreAnnouncedForTheirWholeLife) {
    {
        DGDialog d(32400, "Palette", 100, 50, {});
        EXPECT_EQ(backEnd.created, std::vector<int32_t>{32400});
        EXPECT_TRUE(backEnd.destroyed.empty());
        DGProcessEvents();
    }
    EXPECT_EQ(backEnd.destroyed, std::vector<int32_t>{32400});
    EXPECT_EQ(backEnd.pumps, 1);
}

TEST_F(DialogBackEndTest, ModalDialogRunsThroughTheBackEndAndIsRecorded) {
    DGModalDialog d("32505", "Settings");
    DGItem ok;
    ok.id = 1;
    d.AddItem(ok);
    DGItem check;
    check.id = 2;
    check.kind = DGItemKind::CheckBox;
    d.AddItem(check);
    int refusals = 0, changes = 0;
    d.onChange = [&](DGModalDialog&, int16_t) { ++changes; };
    d.onClick = [&](DGModalDialog&, int16_t) { return refusals++ > 0; };
    EXPECT_EQ(d.Run(1, 3), 1);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(d.FindItem(2)->value, 1);
    ASSERT_EQ(DGShownDialogs().size(), 1u);
    EXPECT_TRUE(DGShownDialogs()[0].confirmed);
    // The person answered: nothing is counted against a script.
    EXPECT_EQ(DGUnansweredQuestions(), 0);
}

TEST_F(DialogBackEndTest, AlertsAreAskedWithTheirTextsFilledIn) {
    auto blob = OneAlertBlob();
    BKResModule module = BKAddResModule(blob, "test");
    BKUseResModule(module);
    EXPECT_EQ(DGAlert(900, "wall"), 2);
    ASSERT_EQ(backEnd.alerts.size(), 1u);
    EXPECT_EQ(backEnd.alerts[0].main, "Delete wall?");
    EXPECT_EQ(backEnd.alerts[0].kind, -2);
    EXPECT_EQ(backEnd.alerts[0].buttons, (std::vector<std::string>{"Yes", "No", "Cancel"}));
    // An answer the alert has no button for is taken as its cancelling one.
    backEnd.answer = 7;
    EXPECT_EQ(DGAlert(900, "wall"), 3);
    EXPECT_EQ(DGUnansweredQuestions(), 0);
    ASSERT_EQ(DGShownAlerts().size(), 2u);
    BKUseResModule(0);
    BKRemoveResModule(module);
}

TEST_F(DialogBackEndTest, HeadlessDefaultReturnsOnceTheBackEndIsRemoved) {
    DGSetBackEnd(nullptr);
    DGModalDialog d("32505", "Settings");
    DGItem ok;
    ok.id = 1;
    d.AddItem(ok);
    EXPECT_EQ(d.Run(1, 2), 2); // nobody queued an answer
    EXPECT_EQ(DGUnansweredQuestions(), 1);
    DGDialog modeless(1, "x", 1, 1, {});
    EXPECT_TRUE(backEnd.created.empty());
}

} // namespace
