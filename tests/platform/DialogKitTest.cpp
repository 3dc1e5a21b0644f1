#include "basekit/BKResources.h"
#include "basekit/BKTime.h"
#include "bytes/LittleEndian.h"
#include "dialogkit/DGAlert.h"
#include "dialogkit/DGAnswers.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

std::vector<uint8_t> AlertBlob(int16_t id, int16_t kind, std::vector<const char*> texts) {
    std::vector<uint8_t> body;
    LE::Append<int16_t>(body, kind);
    texts.resize(6, "");
    for (const char* t : texts) {
        body.insert(body.end(), t, t + std::strlen(t));
        body.push_back(0);
    }
    std::vector<uint8_t> b = {'B', 'V', 'R', 'S'};
    LE::Append<uint32_t>(b, 1);
    b.insert(b.end(), {'A', 'L', 'R', 'T'});
    LE::Append<int16_t>(b, id);
    LE::Append<uint16_t>(b, 0);
    LE::Append<uint32_t>(b, static_cast<uint32_t>(body.size() + 4));
    LE::Append<uint32_t>(b, static_cast<uint32_t>(body.size()));
    b.insert(b.end(), body.begin(), body.end());
    return b;
}

class DialogKitTest : public ::testing::Test {
protected:
    void SetUp() override { DGResetAnswers(); }
    void TearDown() override {
        BKUseResModule(0);
        BKRemoveResModule(module);
        DGResetAnswers();
    }
    void Use(const std::vector<uint8_t>& blob) {
        bytes = blob;
        module = BKAddResModule(bytes, "t");
        ASSERT_NE(module, 0);
        BKUseResModule(module);
    }
    std::vector<uint8_t> bytes;
    BKResModule module = 0;
};

TEST_F(DialogKitTest, ParametersFillInOrderAcrossTexts) {
    Use(AlertBlob(5, -1, {"", "A(z) '%s' (ID: \"%s\") %s", "then %s %s", "OK"}));
    EXPECT_EQ(DGAlert(5, "fal", "12", "3"), 1);
    ASSERT_EQ(DGShownAlerts().size(), 1u);
    const auto& r = DGShownAlerts()[0];
    EXPECT_EQ(r.main, "A(z) 'fal' (ID: \"12\") 3");
    EXPECT_EQ(r.explanation, "then %s %s");
    EXPECT_EQ(r.params.size(), 3u);
    EXPECT_EQ(r.kind, -1);
    EXPECT_EQ(DGUnansweredQuestions(), 0); // one button needs no answer
}

TEST_F(DialogKitTest, QuestionsTakeQueuedAnswersOrCancel) {
    Use(AlertBlob(7, -2, {"", "Q?", "", "Igen", "Nem", "Mégse"}));
    DGQueueAlertAnswer(2);
    DGQueueAlertAnswer(9); // out of range: treated as unanswered
    EXPECT_EQ(DGAlert(7), 2);
    EXPECT_EQ(DGAlert(7), 3);
    EXPECT_EQ(DGAlert(7), 3);
    EXPECT_EQ(DGUnansweredQuestions(), 2);
    EXPECT_TRUE(DGShownAlerts()[0].fromQueue);
    EXPECT_FALSE(DGShownAlerts()[2].fromQueue);
    EXPECT_EQ(DGAlert(99), 0); // no such alert
    EXPECT_EQ(DGShownAlerts().size(), 3u);
}

TEST_F(DialogKitTest, DialogAnswersAreTakenByIdInOrder) {
    DGQueueDialogAnswer({"a", {{"4", "2"}}, 1});
    DGQueueDialogAnswer({"b", {}, 2});
    DGQueueDialogAnswer({"a", {{"4", "3"}}, 1});
    auto first = DGTakeDialogAnswer("a");
    ASSERT_TRUE(first);
    EXPECT_EQ(first->items[0].second, "2");
    auto b = DGTakeDialogAnswer("b");
    ASSERT_TRUE(b);
    EXPECT_EQ(b->press, 2);
    EXPECT_EQ(DGTakeDialogAnswer("a")->items[0].second, "3");
    EXPECT_FALSE(DGTakeDialogAnswer("a"));
    int heard = 0;
    DGSetDialogListener([&](const DGDialogRecord& r) { heard += r.confirmed ? 1 : 10; });
    DGRecordDialog({"a", true});
    DGSetDialogListener(nullptr);
    EXPECT_EQ(heard, 1);
}

} // namespace

#include "dialogkit/DGModalDialog.h"

namespace {

DGModalDialog OrderDialog() {
    DGModalDialog d("32505", "Bauvista");
    d.AddItem({1, DGItemKind::Button, "", "OK", {}, 0, true, true, {}});
    d.AddItem({2, DGItemKind::Button, "", "Mégse", {}, 0, true, true, {}});
    DGItem popup{4, DGItemKind::PopUp, "order", "", {}, 1, true, true, {}};
    popup.entries = {{"31/01/00", 1}, {"01/31/00", 2}};
    d.AddItem(popup);
    d.AddItem({5, DGItemKind::DateControl, "", "", {}, 0, true, true, {}});
    return d;
}

TEST_F(DialogKitTest, ModalDialogAppliesQueuedChangesThenPresses) {
    DGModalDialog d = OrderDialog();
    std::vector<int16_t> changed;
    d.onChange = [&](DGModalDialog&, int16_t item) { changed.push_back(item); };
    DGQueueDialogAnswer({"32505", {{"order", "2"}, {"5", "2041-06-30"}}, 1});
    EXPECT_EQ(d.Run(1, 2), 1);
    EXPECT_EQ(d.FindItem(4)->value, 2);
    EXPECT_EQ(d.FindItem(5)->value, *BKMakeTime(2041, 6, 30, 0, 0));
    EXPECT_EQ(changed, (std::vector<int16_t>{4, 5}));
    ASSERT_EQ(DGShownDialogs().size(), 1u);
    EXPECT_TRUE(DGShownDialogs()[0].confirmed);
    EXPECT_EQ(DGUnansweredQuestions(), 0);
}

TEST_F(DialogKitTest, ModalDialogWithoutAnswerOrWithBadOneCancels) {
    DGModalDialog d = OrderDialog();
    EXPECT_EQ(d.Run(1, 2), 2);
    EXPECT_EQ(DGUnansweredQuestions(), 1);
    DGQueueDialogAnswer({"32505", {{"4", "3"}}, 1}); // no third entry
    EXPECT_EQ(d.Run(1, 2), 1);
    EXPECT_EQ(d.FindItem(4)->value, 1);
    EXPECT_EQ(DGUnansweredQuestions(), 2);
    DGQueueDialogAnswer({"32505", {}, 4}); // a pop-up is not a button
    EXPECT_EQ(d.Run(1, 2), 2);
    EXPECT_FALSE(DGShownDialogs().back().confirmed);
    // A confirm check that refuses keeps nobody waiting: the run ends cancelled.
    d.onClick = [](DGModalDialog&, int16_t item) { return item != 1; };
    DGQueueDialogAnswer({"32505", {}, 1});
    EXPECT_EQ(d.Run(1, 2), 2);
}

// A press names its button by number or by name; `ok` and `cancel` are the buttons the dialog
// confirms and cancels with, unless an item of its own has that name.
TEST_F(DialogKitTest, ModalDialogPressesByNameWithOkAndCancel) {
    DGModalDialog d = OrderDialog();
    DGDialogAnswer answer;
    answer.dialogId = "32505";
    answer.steps = {{"order", "2", false}, {"cancel", {}, true}};
    DGQueueDialogAnswer(answer);
    EXPECT_EQ(d.Run(1, 2), 2);
    answer.steps = {{"ok", {}, true}};
    DGQueueDialogAnswer(answer);
    EXPECT_EQ(d.Run(1, 2), 1);
    EXPECT_TRUE(DGShownDialogs().back().confirmed);
    EXPECT_EQ(DGUnansweredQuestions(), 0);
    d.AddItem({7, DGItemKind::Button, "ok", "Tovább", {}, 0, true, true, {}});
    DGQueueDialogAnswer(answer);
    EXPECT_EQ(d.Run(1, 2), 7);
    answer.steps = {{"order", {}, true}}; // a pop-up is no button
    DGQueueDialogAnswer(answer);
    EXPECT_EQ(d.Run(1, 2), 2);
    EXPECT_EQ(DGUnansweredQuestions(), 2);
}


} // namespace

TEST_F(DialogKitTest, AModalListTakesARowOfItsEntriesAndDrawsItsRows) {
    DGModalDialog d("lists", "Lists");
    DGItem ok;
    ok.id = 1;
    d.AddItem(ok);
    DGItem list;
    list.id = 3;
    list.kind = DGItemKind::List;
    list.name = "rows";
    list.entries = {{"first", 0}, {"second", 0}};
    d.AddItem(list);
    EXPECT_TRUE(d.ApplyChange("rows", "2"));
    EXPECT_EQ(d.FindItem(3)->value, 2);
    EXPECT_FALSE(d.ApplyChange("rows", "3"));
    EXPECT_FALSE(d.ApplyChange("rows", "0"));
    EXPECT_EQ(d.FindItem(3)->value, 2);

    // Without an owner a row shows its entry; with one, what the owner draws; past the rows, nothing.
    DGCanvas plain = d.DrawRow(3, 1, 100, 20);
    ASSERT_EQ(plain.Ops().size(), 1u);
    EXPECT_EQ(plain.Ops()[0].text, "first");
    d.onDrawRow = [](DGModalDialog&, int16_t, int32_t row, DGCanvas& c) { c.FillRect(0, 0, row, 1, 0xFF); };
    DGCanvas owned = d.DrawRow(3, 2, 100, 20);
    ASSERT_EQ(owned.Ops().size(), 1u);
    EXPECT_EQ(owned.Ops()[0].right, 2);
    EXPECT_TRUE(d.DrawRow(3, 3, 100, 20).Ops().empty());
    EXPECT_TRUE(d.DrawRow(1, 1, 100, 20).Ops().empty());

    // A queued answer names the list's bounds when it asks for a row it has not.
    std::string refusal;
    DGSetDialogRefusalListener([&](const std::string&, const std::string& reason) { refusal = reason; });
    DGQueueDialogAnswer({"lists", {{"rows", "5"}}, 1});
    d.Run(1, 1);
    DGSetDialogRefusalListener(nullptr);
    EXPECT_EQ(refusal, "item rows refuses 5 (rows 1-2)");
}
