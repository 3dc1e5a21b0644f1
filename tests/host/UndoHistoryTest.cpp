// Undo and redo of element records and user data through the model.
#include "host/model/HostModel.h"

#include <gtest/gtest.h>

namespace {

class Undo : public ::testing::Test {
protected:
    void SetUp() override {
        for (int i = 0; i < 2; ++i) {
            Element e;
            e.SetKind(HostElement::Wall);
            LE::Put<int16_t>(e.Bytes(), 104, 1);
            elements[i] = &model.AddElement(std::move(e));
        }
    }
    void SetPen(Element& e, int16_t pen) {
        auto next = e.record;
        LE::Put<int16_t>(next, 104, pen);
        model.ChangeElement(e, next);
    }
    static int16_t Pen(const Element& e) { return LE::Get<int16_t>(e.Bytes(), 104); }
    void Close() { model.Undo().Close([this](const API_Guid& g) { return model.StateOf(g); }); }
    static UserDataBlock Block(uint8_t first) { return UserDataBlock{103, 0x5757, {first, 0, 0, 0}}; }

    HostModel model;
    Element* elements[2] = {};
};

} // namespace

TEST_F(Undo, AStepGoesBackToTheStateBeforeItsFirstChangeAndForwardAgain) {
    Element& a = *elements[0];
    Element& b = *elements[1];
    ASSERT_TRUE(model.Undo().Open("Festés"));
    SetPen(a, 5);
    SetPen(a, 7);
    SetPen(b, 9);
    Close();
    EXPECT_EQ(model.Undo().UndoCount(), 1u);

    std::string name;
    ASSERT_TRUE(model.ApplyUndo(name));
    EXPECT_EQ(name, "Festés");
    EXPECT_EQ(Pen(a), 1);
    EXPECT_EQ(Pen(b), 1);
    ASSERT_TRUE(model.ApplyRedo(name));
    EXPECT_EQ(Pen(a), 7);
    EXPECT_EQ(Pen(b), 9);
    EXPECT_FALSE(model.ApplyRedo(name));
}

TEST_F(Undo, StepsAreUndoneLastFirst) {
    Element& a = *elements[0];
    model.Undo().Open("first");
    SetPen(a, 2);
    Close();
    model.Undo().Open("second");
    SetPen(a, 3);
    Close();
    std::string name;
    ASSERT_TRUE(model.ApplyUndo(name));
    EXPECT_EQ(name, "second");
    EXPECT_EQ(Pen(a), 2);
    ASSERT_TRUE(model.ApplyUndo(name));
    EXPECT_EQ(name, "first");
    EXPECT_EQ(Pen(a), 1);
    EXPECT_FALSE(model.ApplyUndo(name));
    ASSERT_TRUE(model.ApplyRedo(name));
    EXPECT_EQ(name, "first");
    EXPECT_EQ(Pen(a), 2);
}

TEST_F(Undo, UserDataIsUndoneWithTheRecord) {
    Element& a = *elements[0];
    model.Undo().Open("link");
    model.SetUserData(a, "Bauvista", Block(1));
    SetPen(a, 4);
    Close();
    model.Undo().Open("unlink");
    model.SetUserData(a, "Bauvista", std::nullopt);
    Close();
    EXPECT_TRUE(a.userData.empty());

    std::string name;
    ASSERT_TRUE(model.ApplyUndo(name));
    ASSERT_EQ(a.userData.count("Bauvista"), 1u);
    EXPECT_EQ(a.userData.at("Bauvista"), Block(1));
    ASSERT_TRUE(model.ApplyUndo(name));
    EXPECT_TRUE(a.userData.empty());
    EXPECT_EQ(Pen(a), 1);
    ASSERT_TRUE(model.ApplyRedo(name));
    EXPECT_EQ(a.userData.at("Bauvista"), Block(1));
    EXPECT_EQ(Pen(a), 4);
}

TEST_F(Undo, AStepWithoutChangesIsNotKept) {
    model.Undo().Open("semmi");
    auto closed = model.Undo().Close([this](const API_Guid& g) { return model.StateOf(g); });
    ASSERT_TRUE(closed);
    EXPECT_EQ(*closed, "semmi");
    EXPECT_EQ(model.Undo().UndoCount(), 0u);
    EXPECT_FALSE(model.Undo().Close([this](const API_Guid& g) { return model.StateOf(g); }));
}

TEST_F(Undo, NothingIsUndoneWhileAStepIsOpen) {
    Element& a = *elements[0];
    model.Undo().Open("one");
    SetPen(a, 2);
    Close();
    EXPECT_TRUE(model.Undo().Open("two"));
    EXPECT_FALSE(model.Undo().Open("nested"));
    std::string name;
    EXPECT_FALSE(model.ApplyUndo(name));
    Close();
    EXPECT_TRUE(model.ApplyUndo(name));
    EXPECT_EQ(Pen(a), 1);
}

TEST_F(Undo, AChangeAfterAnUndoEndsTheRedoHistory) {
    Element& a = *elements[0];
    model.Undo().Open("one");
    SetPen(a, 2);
    Close();
    std::string name;
    ASSERT_TRUE(model.ApplyUndo(name));
    // Outside any step: it cannot be undone, and redoing "one" over it would lose it.
    SetPen(a, 6);
    EXPECT_FALSE(model.ApplyRedo(name));
    EXPECT_EQ(Pen(a), 6);

    model.Undo().Open("two");
    SetPen(a, 7);
    Close();
    ASSERT_TRUE(model.ApplyUndo(name));
    model.Undo().Open("three");
    SetPen(a, 8);
    Close();
    EXPECT_FALSE(model.ApplyRedo(name));
    EXPECT_EQ(Pen(a), 8);
}

TEST_F(Undo, TheOldestStepsGoWhenTheHistoryHoldsTooManySteps) {
    Element& a = *elements[0];
    model.Undo().SetLimits(3, UndoHistory::kDefaultMaxBytes);
    for (int16_t pen = 2; pen <= 6; ++pen) {
        ASSERT_TRUE(model.Undo().Open("Festés"));
        SetPen(a, pen);
        Close();
    }
    EXPECT_EQ(model.Undo().UndoCount(), 3u);
    std::string name;
    for (int k = 0; k < 3; ++k) ASSERT_TRUE(model.ApplyUndo(name));
    EXPECT_EQ(Pen(a), 3) << "the three newest steps are the ones kept";
    EXPECT_FALSE(model.ApplyUndo(name));
    for (int k = 0; k < 3; ++k) ASSERT_TRUE(model.ApplyRedo(name));
    EXPECT_EQ(Pen(a), 6);
}

TEST_F(Undo, TheOldestStepsGoWhenTheHistoryHoldsTooManyBytes) {
    auto step = [this](int16_t pen) {
        ASSERT_TRUE(model.Undo().Open("Festés"));
        SetPen(*elements[0], pen);
        SetPen(*elements[1], pen);
        Close();
    };
    step(2);
    size_t oneStep = model.Undo().KeptBytes();
    EXPECT_GE(oneStep, 4 * HostElement::kRecordSize) << "two elements, before and after";
    model.Undo().SetLimits(100, 2 * oneStep + oneStep / 2);
    for (int16_t pen = 3; pen <= 8; ++pen) step(pen);
    EXPECT_EQ(model.Undo().UndoCount(), 2u);
    EXPECT_LE(model.Undo().KeptBytes(), 2 * oneStep + oneStep / 2);

    // Undoing and redoing moves steps without changing what is kept; a new step ends the redo steps.
    std::string name;
    size_t kept = model.Undo().KeptBytes();
    ASSERT_TRUE(model.ApplyUndo(name));
    EXPECT_EQ(model.Undo().KeptBytes(), kept);
    step(9);
    EXPECT_EQ(model.Undo().RedoCount(), 0u);
    EXPECT_EQ(model.Undo().KeptBytes(), kept);

    // A step larger than the bound is kept alone, so the last action can still be undone.
    model.Undo().SetLimits(100, 1);
    EXPECT_EQ(model.Undo().UndoCount(), 1u);
    ASSERT_TRUE(model.ApplyUndo(name));
    EXPECT_EQ(Pen(*elements[0]), 7); // the state step 9 began from
    model.Undo().Clear();
    EXPECT_EQ(model.Undo().KeptBytes(), 0u);
}
