// What a view shows at its pixels: the nearest opaque surface, an opening over its wall, glass
// seen but seen through.
#include "host/model/HostModel.h"
#include "host/render/Scene.h"
#include "host/render/ViewDepth.h"

#include <gtest/gtest.h>

namespace {

class ViewDepthTest : public ::testing::Test {
protected:
    void SetUp() override {
        model.CreateAttribute(HostAttribute::Layer, MakeAttributeRecord(HostAttribute::Layer, "A"));
        auto glass = MakeAttributeRecord(HostAttribute::Material, "Glass");
        LE::Put<int16_t>(glass, HostAttribute::kMatTransparency, 80);
        glassMaterial = model.CreateAttribute(HostAttribute::Material, glass);
        wall = Add(HostElement::Wall, {0, 0, 0}, {6, 0.3, 3});
        window = Add(HostElement::Window, {2.5, 0, 1}, {3.5, 0.3, 2});
        behind = Add(HostElement::Wall, {1, 5, 0.5}, {5, 5.3, 2.5}); // wholly behind the wall
        camera.eye = {3, -10, 1.5};
        camera.target = {3, 0, 1.5};
    }
    const Element* Add(int32_t kind, Vec3 lo, Vec3 hi) {
        Element e;
        e.SetKind(kind);
        e.SetLayer(1);
        e.geometry.shape = Geometry::Shape::Box;
        e.geometry.min = lo;
        e.geometry.max = hi;
        return &model.AddElement(std::move(e));
    }
    // Every material field of an element's kind set to the glass.
    void Glaze(const Element* e) {
        Element& g = *model.Find(e->Guid());
        for (size_t off = HostElement::kHeaderSize; off + 1 < HostElement::kRecordSize; off += 2)
            LE::Put<int16_t>(g.Bytes(), off, glassMaterial);
    }
    std::unordered_set<const Element*> SeenInWholeView() {
        scene = BuildScene(model);
        return ViewDepth(scene, camera, 200, 100).SeenIn(0, 0, 199, 99);
    }

    HostModel model;
    const Element *wall = nullptr, *window = nullptr, *behind = nullptr;
    int16_t glassMaterial = 0;
    ViewCamera camera;
    Scene scene;
};

} // namespace

TEST_F(ViewDepthTest, WhatLiesWhollyBehindOthersIsNotSeenAndAnOpeningShowsInItsWall) {
    auto seen = SeenInWholeView();
    EXPECT_TRUE(seen.count(wall));
    EXPECT_TRUE(seen.count(window)) << "the window shares its wall's face and must win there";
    EXPECT_FALSE(seen.count(behind));
    // Straight through the window's middle the window is what shows.
    scene = BuildScene(model);
    ViewDepth view(scene, camera, 200, 100);
    EXPECT_EQ(view.Owner(100, 50), window);
    // A band beside the window holds only the wall.
    auto beside = view.SeenIn(30, 0, 50, 99); // the wall begins at column 28
    EXPECT_EQ(beside.size(), 1u);
    EXPECT_TRUE(beside.count(wall));
}

TEST_F(ViewDepthTest, GlassIsSeenAndWhatLiesBehindItToo) {
    Glaze(wall);
    auto seen = SeenInWholeView();
    EXPECT_TRUE(seen.count(wall));
    EXPECT_TRUE(seen.count(behind)) << "through a glass wall the wall behind it shows";
}

TEST_F(ViewDepthTest, SurfacesReachingPastTheEyeHideNothingAndBandsOutsideThePictureAreEmpty) {
    Add(HostElement::Slab, {-50, -20, -1}, {50, 50, 0}); // under the eye, reaching behind it
    auto seen = SeenInWholeView();
    EXPECT_TRUE(seen.count(wall));
    scene = BuildScene(model);
    EXPECT_TRUE(ViewDepth(scene, camera, 200, 100).SeenIn(300, 300, 400, 400).empty());
}
