// The window's geometry and painting without the add-on: camera moves keep their invariants,
// picking agrees with the renderer's projection, owner-drawn cells paint what they recorded.
#include "desk/dialogs/CanvasPainter.h"
#include "desk/views/CameraNavigation.h"
#include "desk/views/ElementPicker.h"
#include "host/render/Renderer.h"
#include "host/render/Scene.h"
#include "hostapi/HostElementRecord.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>

namespace {

double Distance(const Vec3& a, const Vec3& b) { return std::sqrt(Dot3(Sub3(a, b), Sub3(a, b))); }

TEST(CameraNavigationTest, OrbitKeepsDistanceAndTargetAndStopsShortOfThePole) {
    ViewCamera c;
    double r = Distance(c.eye, c.target);
    ViewCamera o = Orbit(c, 90, 10);
    EXPECT_NEAR(Distance(o.eye, o.target), r, 1e-9);
    EXPECT_EQ(o.target, c.target);
    ViewCamera top = Orbit(c, 0, 500);
    EXPECT_LT(top.eye[2] - top.target[2], r); // never straight above: the up vector stays usable
    ViewCamera back = Orbit(o, -90, -10);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(back.eye[static_cast<size_t>(i)], c.eye[static_cast<size_t>(i)], 1e-9);
}

TEST(CameraNavigationTest, PanMovesEyeAndTargetTogetherAndZoomNeverReachesTheTarget) {
    ViewCamera c;
    ViewCamera p = Pan(c, 0.1, -0.2);
    EXPECT_NEAR(Distance(p.eye, p.target), Distance(c.eye, c.target), 1e-9);
    EXPECT_GT(Distance(p.target, c.target), 0.1);
    ViewCamera z = c;
    for (int i = 0; i < 100; ++i) z = Zoom(z, 0.5);
    EXPECT_GE(Distance(z.eye, z.target), 0.5 - 1e-9);
    EXPECT_EQ(z.target, c.target);
}

Element Box(int32_t kind, Vec3 lo, Vec3 hi, const char* id) {
    Element e;
    e.SetKind(kind);
    e.SetLayer(1);
    e.SetIdText(id);
    e.geometry.shape = Geometry::Shape::Box;
    e.geometry.min = lo;
    e.geometry.max = hi;
    return e;
}

class PickerTest : public ::testing::Test {
protected:
    void SetUp() override {
        model.CreateAttribute(HostAttribute::Layer, MakeAttributeRecord(HostAttribute::Layer, "A"));
        wall = &model.AddElement(Box(HostElement::Wall, {0, 0, 0}, {6, 0.3, 3}, "W"));
        window = &model.AddElement(Box(HostElement::Window, {2, 0, 1}, {3, 0.3, 2}, "N"));
        far = &model.AddElement(Box(HostElement::Wall, {0, 5, 0}, {6, 5.3, 3}, "F"));
        camera.eye = {3, -10, 1.5};
        camera.target = {3, 0, 1.5};
    }
    HostModel model;
    Element *wall, *window, *far;
    ViewCamera camera;
};

TEST_F(PickerTest, TheNearestDrawnElementUnderThePixelIsPickedAndAnOpeningWinsInItsWall) {
    ViewProjection view(camera, 200, 100);
    auto centre = view.Project({3, 0, 1.5});
    ASSERT_TRUE(centre);
    EXPECT_EQ(PickElement(model, view, centre->x, centre->y), window);
    auto side = view.Project({0.5, 0, 0.5});
    EXPECT_EQ(PickElement(model, view, side->x, side->y), wall);
    // The renderer draws the wall where the picker finds it.
    Image image = RenderScene(BuildScene(model), camera, 200, 100, RenderStyle::Window3D, Rgb{1, 1, 1});
    EXPECT_NE(image.At(static_cast<int32_t>(side->x), static_cast<int32_t>(side->y)), 0xFFFFFFu);
    EXPECT_EQ(PickElement(model, view, 1, 1), nullptr);
    // A hidden layer's elements are not there to pick: the one behind is.
    auto& layer = *model.Attribute(HostAttribute::Layer, 1);
    LE::Put<uint32_t>(layer, HostAttribute::kFlags, HostAttribute::kLayerHidden);
    far->SetLayer(model.CreateAttribute(HostAttribute::Layer, MakeAttributeRecord(HostAttribute::Layer, "B")));
    auto through = view.Project({1.5, 0, 1});
    EXPECT_EQ(PickElement(model, view, through->x, through->y), far);
}

TEST_F(PickerTest, ARubberBandTakesOnlyWhatLiesWhollyInside) {
    ViewProjection view(camera, 200, 100);
    auto a = view.Project({2, 0, 1}), b = view.Project({3, 0, 2});
    auto inside = ElementsInside(model, view, a->x - 3, b->y - 3, b->x + 3, a->y + 3);
    ASSERT_EQ(inside.size(), 1u);
    EXPECT_EQ(inside[0], window);
    EXPECT_EQ(ElementsInside(model, view, 0, 0, 200, 100).size(), 3u);
    EXPECT_EQ(OutlineEdges(*wall).size(), 12u);
}

TEST(CanvasPainterTest, FramesFillsAndTextsLandOnTheirPixels) {
    int argc = 0;
    QGuiApplication app(argc, nullptr);
    DGCanvas canvas(40, 18);
    canvas.FrameRect(0, 1, 35, 16, 0x000000);
    canvas.FillRect(1, 2, 20, 15, 0x4040FF); // red in the toolkit's byte order
    QImage image(40, 18, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        PaintCanvas(canvas, p);
    }
    EXPECT_EQ(QColor(image.pixel(1, 2)), QColor(255, 64, 64));
    EXPECT_EQ(QColor(image.pixel(19, 14)), QColor(255, 64, 64));
    EXPECT_EQ(QColor(image.pixel(20, 8)), QColor(Qt::white)); // right edge exclusive
    EXPECT_EQ(QColor(image.pixel(0, 1)), QColor(Qt::black));
    EXPECT_EQ(QColor(image.pixel(34, 15)), QColor(Qt::black));
    EXPECT_EQ(QColor(image.pixel(35, 15)), QColor(Qt::white));
}

} // namespace
