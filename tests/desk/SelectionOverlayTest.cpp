// The selection over the picture: drawn only where it belongs, depth-tested against what the
// renderer shows, and outlined by creases and silhouettes rather than every triangle.
#include "desk/views/ElementPicker.h"
#include "desk/views/SelectionOutline.h"
#include "desk/views/SelectionOverlay.h"
#include "host/render/ViewDepth.h"
#include "host/render/ViewProjection.h"
#include "hostapi/HostElementRecord.h"

#include <gtest/gtest.h>

namespace {

Element Body(int32_t kind, const char* id) {
    Element e;
    e.SetKind(kind);
    e.SetLayer(1);
    e.SetIdText(id);
    return e;
}

Element Box(int32_t kind, Vec3 lo, Vec3 hi, const char* id) {
    Element e = Body(kind, id);
    e.geometry.shape = Geometry::Shape::Box;
    e.geometry.min = lo;
    e.geometry.max = hi;
    return e;
}

// A flat square of n by n cells, two triangles each, as a terrain mesh comes.
Element Terrain(int n, double size) {
    Element e = Body(HostElement::Mesh, "T");
    e.geometry.shape = Geometry::Shape::Mesh;
    for (int y = 0; y <= n; ++y)
        for (int x = 0; x <= n; ++x) e.geometry.vertices.push_back({x * size / n - size / 2, y * size / n - size / 2, 0});
    auto at = [n](int x, int y) { return static_cast<int32_t>(y * (n + 1) + x); };
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            e.geometry.triangles.push_back({at(x, y), at(x + 1, y), at(x + 1, y + 1)});
            e.geometry.triangles.push_back({at(x, y), at(x + 1, y + 1), at(x, y + 1)});
        }
    return e;
}

class SelectionOverlayTest : public ::testing::Test {
protected:
    void SetUp() override {
        model.CreateAttribute(HostAttribute::Layer, MakeAttributeRecord(HostAttribute::Layer, "A"));
        camera.eye = {0, -20, 6};
        camera.target = {0, 0, 1};
    }
    HostModel model;
    ViewCamera camera;
};

TEST_F(SelectionOverlayTest, AFlatTerrainIsOutlinedByItsBorderAloneAndABoxByItsTwelveEdges) {
    Element terrain = Terrain(8, 40);
    EXPECT_EQ(OutlineEdges(terrain, camera.eye).size(), 32u); // 4 sides of 8 cells, no inner seams
    Element box = Box(HostElement::Wall, {0, 0, 0}, {4, 0.3, 3}, "W");
    EXPECT_EQ(OutlineEdges(box, camera.eye).size(), 12u);
    // A ridge of two slopes meeting gently: the ridge is a silhouette only when the eye sees
    // one slope and not the other.
    Element ridge = Body(HostElement::Mesh, "R");
    ridge.geometry.shape = Geometry::Shape::Mesh;
    ridge.geometry.vertices = {{-5, -5, 0}, {5, -5, 0}, {5, 0, 0.5}, {-5, 0, 0.5}, {5, 5, 0}, {-5, 5, 0}};
    ridge.geometry.triangles = {{0, 1, 2}, {0, 2, 3}, {3, 2, 4}, {3, 4, 5}};
    auto Ridge = [](const std::vector<std::pair<Vec3, Vec3>>& edges) {
        for (auto [a, b] : edges)
            if (a[1] == 0 && b[1] == 0 && a[0] != b[0]) return true;
        return false;
    };
    EXPECT_FALSE(Ridge(OutlineEdges(ridge, {0, -3, 20})));  // from above: both slopes in sight
    EXPECT_TRUE(Ridge(OutlineEdges(ridge, {0, -30, 0.2}))); // from low in front: the far slope is hidden
}

TEST_F(SelectionOverlayTest, TheDepthFindsWhatTheRendererShowsWithWindowsInTheirWalls) {
    Element* wall = &model.AddElement(Box(HostElement::Wall, {-3, 0, 0}, {3, 0.3, 3}, "W"));
    Element* window = &model.AddElement(Box(HostElement::Window, {-1, 0, 1}, {1, 0.3, 2}, "N"));
    ViewDepth depth(model, camera, 200, 120);
    ViewProjection view(camera, 200, 120);
    auto centre = view.Project({0, 0, 1.5}), side = view.Project({-2.5, 0, 0.5});
    EXPECT_EQ(depth.Owner(static_cast<int32_t>(centre->x), static_cast<int32_t>(centre->y)), window);
    EXPECT_EQ(depth.Owner(static_cast<int32_t>(side->x), static_cast<int32_t>(side->y)), wall);
    EXPECT_EQ(depth.Owner(1, 1), nullptr);
    EXPECT_EQ(depth.InverseDepth(1, 1), 0.0f);
    // Every pixel agrees with the picker's ray.
    int disagree = 0;
    for (int32_t y = 0; y < 120; y += 3)
        for (int32_t x = 0; x < 200; x += 3)
            if (depth.Owner(x, y) != PickElement(model, view, x + 0.5, y + 0.5)) ++disagree;
    EXPECT_LE(disagree, 4); // a pixel on an edge may fall either way
}

TEST_F(SelectionOverlayTest, TheOutlineIsStrongInSightFaintBehindAndNeverOverAnUnselectedElementInFront) {
    Element* front = &model.AddElement(Box(HostElement::Wall, {-1, -2, 0}, {1, -1.7, 2.5}, "F"));
    Element* back = &model.AddElement(Box(HostElement::Slab, {-4, 0, 0}, {4, 3, 0.3}, "B"));
    model.Selection() = {back->Guid()};
    ViewDepth depth(model, camera, 320, 200);
    QImage overlay = SelectionOverlay(model, camera, depth);
    int strong = 0, tinted = 0, overFront = 0, faintOverFront = 0;
    for (int32_t y = 0; y < overlay.height(); ++y)
        for (int32_t x = 0; x < overlay.width(); ++x) {
            int alpha = qAlpha(overlay.pixel(x, y));
            const Element* owner = depth.Owner(x, y);
            if (owner == front) {
                overFront += alpha > kHiddenOutlineAlpha;
                faintOverFront += alpha == kHiddenOutlineAlpha;
            }
            if (owner == back && alpha == kTintAlpha) ++tinted;
            if (alpha == 255) ++strong;
        }
    EXPECT_EQ(overFront, 0);
    EXPECT_GT(faintOverFront, 10); // the slab's far edge passes behind the wall
    EXPECT_GT(strong, 200);
    EXPECT_GT(tinted, 1000);
    EXPECT_EQ(qAlpha(overlay.pixel(1, 1)), 0);
    // Nothing selected, nothing drawn.
    model.Selection().clear();
    QImage none = SelectionOverlay(model, camera, depth);
    EXPECT_EQ(none.pixel(overlay.width() / 2, overlay.height() / 2), 0u);
}

} // namespace
