#include "dialogkit/DGAnswers.h"
#include "filekit/FKFileDialog.h"
#include "filekit/FKSpecialFolders.h"

#include <gtest/gtest.h>

namespace {

class FileDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        FKResetFileDialogs();
        DGResetAnswers();
        spec.kind = FKFileDialogKind::Save;
        spec.title = "Save";
        spec.filters = {{"Project", {"csp"}}, {"Text", {"txt"}}};
        spec.preselectedFilter = 1;
    }
    void TearDown() override {
        FKResetFileDialogs();
        FKSetFileDialogListener(nullptr);
        DGResetAnswers();
    }
    FKFileDialogSpec spec;
};

TEST_F(FileDialogTest, AnswersComeFromTheQueueInOrder) {
    std::vector<std::string> lines;
    FKSetFileDialogListener([&](const FKFileDialogRecord& r) { lines.push_back(FKFileDialogTranscriptLine(r)); });
    FKQueueFileDialogAnswer({false, "/tmp/a plan.csp", 0});
    FKQueueFileDialogAnswer({false, "/tmp/b", std::nullopt});
    FKQueueFileDialogAnswer({true, "", std::nullopt});

    FKLocation chosen;
    int32_t filter = -1;
    EXPECT_TRUE(FKRunFileDialog(spec, chosen, filter));
    EXPECT_EQ(chosen.NativePath(), "/tmp/a plan.csp");
    EXPECT_EQ(filter, 0);
    // No extension: the selected filter's is added, as a system save dialog does.
    EXPECT_TRUE(FKRunFileDialog(spec, chosen, filter));
    EXPECT_EQ(chosen.NativePath(), "/tmp/b.txt");
    EXPECT_EQ(filter, 1);
    // A cancel leaves the previous answer alone.
    EXPECT_FALSE(FKRunFileDialog(spec, chosen, filter));
    EXPECT_EQ(chosen.NativePath(), "/tmp/b.txt");
    EXPECT_EQ(DGUnansweredQuestions(), 0);

    EXPECT_EQ(lines, (std::vector<std::string>{"file-dialog save \"/tmp/a plan.csp\" 0", "file-dialog save /tmp/b.txt 1",
                                               "file-dialog save cancel 1"}));
}

TEST_F(FileDialogTest, RecordsWhatWasAskedAndDefaultsTheFolder) {
    spec.kind = FKFileDialogKind::Open;
    FKQueueFileDialogAnswer({false, "/tmp/x", std::nullopt});
    FKLocation chosen;
    int32_t filter = 0;
    ASSERT_TRUE(FKRunFileDialog(spec, chosen, filter));
    EXPECT_EQ(chosen.NativePath(), "/tmp/x"); // an open dialog adds nothing
    ASSERT_EQ(FKShownFileDialogs().size(), 1u);
    const auto& r = FKShownFileDialogs()[0];
    EXPECT_EQ(r.title, "Save");
    EXPECT_EQ(r.filters, spec.filters);
    EXPECT_EQ(r.preselectedFilter, 1);
    FKLocation documents;
    ASSERT_EQ(FKGetSpecialFolder(FKSpecialFolder::Documents, documents), 0);
    EXPECT_EQ(r.startFolder, documents);
    EXPECT_TRUE(r.fromQueue);
}

TEST_F(FileDialogTest, UnansweredOrUnusableAnswersCancelAndCount) {
    FKLocation chosen;
    int32_t filter = 7;
    EXPECT_FALSE(FKRunFileDialog(spec, chosen, filter));
    EXPECT_EQ(DGUnansweredQuestions(), 1);
    FKQueueFileDialogAnswer({false, "/tmp/x.csp", 5}); // no filter 5
    EXPECT_FALSE(FKRunFileDialog(spec, chosen, filter));
    FKQueueFileDialogAnswer({false, "", std::nullopt});
    EXPECT_FALSE(FKRunFileDialog(spec, chosen, filter));
    EXPECT_EQ(DGUnansweredQuestions(), 3);
    EXPECT_EQ(filter, 7);
    EXPECT_FALSE(chosen.IsValid());
    EXPECT_FALSE(FKShownFileDialogs()[0].fromQueue);
}

} // namespace

namespace {

TEST_F(FileDialogTest, AToolkitAnswersInsteadOfTheQueueWithTheSameRules) {
    FKQueueFileDialogAnswer({false, "/tmp/queued.csp", 0});
    std::vector<FKFileDialogRecord> asked;
    FKSetFileDialogBackEnd([&](const FKFileDialogRecord& r) {
        asked.push_back(r);
        return FKFileDialogAnswer{false, "/tmp/typed", std::nullopt};
    });
    FKLocation chosen;
    int32_t filter = -1;
    EXPECT_TRUE(FKRunFileDialog(spec, chosen, filter));
    FKSetFileDialogBackEnd(nullptr);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].preselectedFilter, 1);
    EXPECT_TRUE(asked[0].startFolder.IsValid()); // the default folder was filled in before asking
    // The preselected filter's extension is added, as for a queued answer.
    EXPECT_EQ(chosen.NativePath(), "/tmp/typed.txt");
    EXPECT_EQ(filter, 1);
    EXPECT_EQ(FKPendingFileDialogAnswers(), 1u); // the queue was not touched
    EXPECT_FALSE(FKShownFileDialogs().back().fromQueue);
    EXPECT_EQ(DGUnansweredQuestions(), 0);
}

} // namespace
