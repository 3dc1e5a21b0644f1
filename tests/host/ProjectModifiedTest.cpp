// Whether the open project differs from what was last saved, through undo, changes outside
// steps and attributes; and steps that add, remove and reshape elements.
#include "host/model/HostModel.h"

#include <gtest/gtest.h>

namespace {

class ProjectModified : public ::testing::Test {
protected:
    void SetUp() override {
        model.CreateAttribute(HostAttribute::Layer, MakeAttributeRecord(HostAttribute::Layer, "Alap"));
        for (int i = 0; i < 2; ++i) {
            Element e;
            e.SetKind(HostElement::Wall);
            e.geometry.shape = Geometry::Shape::Box;
            e.geometry.max = {1.0 + i, 1, 1};
            guids[i] = model.AddElement(std::move(e)).Guid();
        }
        model.MarkSaved();
    }
    void Step(const char* name, const std::function<void()>& change) {
        ASSERT_TRUE(model.Undo().Open(name));
        change();
        model.CloseUndoStep();
    }
    void SetPen(const API_Guid& g, int16_t pen) {
        Element* e = model.Find(g);
        auto next = e->record;
        LE::Put<int16_t>(next, 104, pen);
        model.ChangeElement(*e, next);
    }
    bool Undo() {
        std::string name;
        return model.ApplyUndo(name);
    }
    bool Redo() {
        std::string name;
        return model.ApplyRedo(name);
    }

    HostModel model;
    API_Guid guids[2];
};

} // namespace

TEST_F(ProjectModified, UndoingBackToTheSavedStateIsCleanAgain) {
    EXPECT_FALSE(model.Modified());
    Step("a", [&] { SetPen(guids[0], 5); });
    EXPECT_TRUE(model.Modified());
    ASSERT_TRUE(Undo());
    EXPECT_FALSE(model.Modified());
    ASSERT_TRUE(Redo());
    EXPECT_TRUE(model.Modified());
    // Saved after the step: undoing it now leaves the saved state.
    model.MarkSaved();
    EXPECT_FALSE(model.Modified());
    ASSERT_TRUE(Undo());
    EXPECT_TRUE(model.Modified());
    ASSERT_TRUE(Redo());
    EXPECT_FALSE(model.Modified());
    // A new step after an undo replaces the redone future: the saved state cannot come back.
    ASSERT_TRUE(Undo());
    Step("b", [&] { SetPen(guids[1], 7); });
    ASSERT_TRUE(Undo());
    EXPECT_TRUE(model.Modified());
}

TEST_F(ProjectModified, ChangesOutsideStepsAndClearedHistoriesStayUnsavedUntilTheNextSave) {
    SetPen(guids[0], 5);
    EXPECT_TRUE(model.Modified());
    model.MarkSaved();
    Step("a", [&] { SetPen(guids[0], 6); });
    model.Undo().Clear();
    EXPECT_TRUE(model.Modified()) << "a cleared history must not look like the saved one";
    model.MarkSaved();
    EXPECT_FALSE(model.Modified());
    model.MarkModified();
    EXPECT_TRUE(model.Modified());
}

TEST_F(ProjectModified, TheOldestStepsGoingDoesNotMakeAnOlderStateLookSaved) {
    model.Undo().SetLimits(2, UndoHistory::kDefaultMaxBytes);
    for (int16_t pen = 2; pen <= 4; ++pen) Step("pen", [&] { SetPen(guids[0], pen); });
    while (Undo()) {
    }
    EXPECT_EQ(LE::Get<int16_t>(model.Find(guids[0])->Bytes(), 104), 2);
    EXPECT_TRUE(model.Modified());
}

TEST_F(ProjectModified, AttributesCountAsTheyDiffer) {
    AttributeRecord& layer = *model.Attribute(HostAttribute::Layer, 1);
    LE::Put<uint32_t>(layer, HostAttribute::kFlags, HostAttribute::kLayerHidden);
    EXPECT_TRUE(model.Modified());
    LE::Put<uint32_t>(layer, HostAttribute::kFlags, 0);
    EXPECT_FALSE(model.Modified());
    model.CreateAttribute(HostAttribute::Material, MakeAttributeRecord(HostAttribute::Material, "Új"));
    EXPECT_TRUE(model.Modified());
}

TEST_F(ProjectModified, AStepBringsBackElementsItRemovedAndTakesAwayThoseItAdded) {
    Element* kept = model.Find(guids[0]);
    kept->userData["Bauvista"] = UserDataBlock{103, 0x5757, {1, 2, 3}};
    model.MarkSaved();
    API_Guid added;
    Step("IFC frissítés", [&] {
        model.RemoveElements({guids[1]});
        Geometry moved = kept->geometry;
        moved.max = {9, 9, 9};
        model.SetGeometry(*kept, moved);
        Element e;
        e.SetKind(HostElement::Slab);
        added = model.AddElement(std::move(e)).Guid();
    });
    ASSERT_EQ(model.Elements().size(), 2u);
    ASSERT_TRUE(Undo());
    EXPECT_FALSE(model.Modified());
    ASSERT_EQ(model.Elements().size(), 2u);
    EXPECT_FALSE(model.Find(added));
    const Element* back = model.Find(guids[1]);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->geometry.max, (Vec3{2, 1, 1}));
    EXPECT_EQ(model.FindByIndex(HostElement::Wall, back->Index()), back);
    EXPECT_EQ(model.Find(guids[0])->geometry.max, (Vec3{1, 1, 1}));
    EXPECT_EQ(model.Find(guids[0])->userData.at("Bauvista").bytes, (std::vector<uint8_t>{1, 2, 3}));
    ASSERT_TRUE(Redo());
    EXPECT_FALSE(model.Find(guids[1]));
    ASSERT_TRUE(model.Find(added));
    EXPECT_EQ(model.Find(guids[0])->geometry.max, (Vec3{9, 9, 9}));
    EXPECT_EQ(model.OfKind(HostElement::Slab).size(), 1u);
}
