// The window's geometry and painting without the add-on: camera moves keep their invariants,
// picking agrees with the renderer's projection, owner-drawn cells paint what they recorded.
#include "desk/dialogs/CanvasPainter.h"
#include "desk/dialogs/FileDialogAsker.h"
#include "desk/views/CameraNavigation.h"
#include "desk/views/ElementPicker.h"
#include "desk/views/SelectionOutline.h"
#include "host/render/Renderer.h"
#include "host/render/ViewProjection.h"
#include "host/render/Scene.h"
#include "hostapi/HostElementRecord.h"
#include "QtTestApp.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

double Distance(const Vec3& a, const Vec3& b) { return std::sqrt(Dot3(Sub3(a, b), Sub3(a, b))); }

TEST(FileDialogAskerTest, AChosenNameOfAnotherFiltersExtensionTakesThatFilter) {
    const std::vector<FKFileFilter> filters = {{"Project", {"csp"}}, {"Text", {"txt"}}, {"XML", {"xml"}}, {"P6 XML", {"xml"}}};
    EXPECT_EQ(FilterOfChosenName(filters, "/tmp/haz.csp", 1), 0);
    EXPECT_EQ(FilterOfChosenName(filters, "/tmp/HAZ.CSP", 1), 0);
    EXPECT_EQ(FilterOfChosenName(filters, "/tmp/haz.txt", 1), 1);
    EXPECT_EQ(FilterOfChosenName(filters, "/tmp/haz.txt", 0), 1);
    // Without an extension, with one no filter has, or one two filters share: the user's choice.
    EXPECT_EQ(FilterOfChosenName(filters, "/tmp/haz", 1), 1);
    EXPECT_EQ(FilterOfChosenName(filters, "/tmp/haz.doc", 1), 1);
    EXPECT_EQ(FilterOfChosenName(filters, "/tmp/terv.xml", 0), 0);
    EXPECT_EQ(FilterOfChosenName(filters, "/tmp/terv.xml", 3), 3);
}

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

TEST(CameraNavigationTest, StandardViewsLookFromTheirSideAtTheSameDistance) {
    ViewCamera c;
    double r = Distance(c.eye, c.target);
    const std::pair<StandardView, Vec3> sides[] = {{StandardView::Front, {0, 1, 0}}, {StandardView::Back, {0, -1, 0}},
                                                   {StandardView::Left, {1, 0, 0}},  {StandardView::Right, {-1, 0, 0}},
                                                   {StandardView::Top, {0, 0, -1}}};
    for (auto [side, forward] : sides) {
        ViewCamera v = LookFrom(c, side);
        EXPECT_NEAR(Distance(v.eye, v.target), r, 1e-9);
        EXPECT_EQ(v.target, c.target);
        ViewProjection p(v, 200, 100);
        EXPECT_GT(Dot3(p.Forward(), forward), 0.999);
    }
    // Seen from the top, north is up on the screen.
    ViewProjection top(LookFrom(c, StandardView::Top), 200, 100);
    EXPECT_GT(top.Up()[1], 0.99);
    ViewProjection iso(LookFrom(c, StandardView::Isometric), 200, 100);
    EXPECT_NEAR(iso.Forward()[0], iso.Forward()[1], 1e-9);
    EXPECT_LT(iso.Forward()[2], -0.5);
}

TEST(CameraNavigationTest, ParallelProjectionKeepsWhatIsAtTheTargetTheSameSizeAndComesBack) {
    ViewCamera c;
    ASSERT_FALSE(IsParallel(c));
    ViewCamera parallel = WithViewAngle(c, kParallelViewAngle);
    EXPECT_TRUE(IsParallel(parallel));
    // A metre across the line of sight at the target spans the same pixels either way.
    auto span = [](const ViewCamera& v) {
        ViewProjection p(v, 400, 300);
        Vec3 side = Add3(v.target, p.Right());
        return p.Project(side)->x - p.Project(v.target)->x;
    };
    EXPECT_NEAR(span(parallel), span(c), 1e-6);
    // Far from the target the sizes hardly change with depth: the lines run (nearly) parallel.
    ViewProjection p(parallel, 400, 300);
    Vec3 nearer = Add3(parallel.target, Scale3(p.Forward(), -5)), farther = Add3(parallel.target, Scale3(p.Forward(), 5));
    double a = p.Project(Add3(nearer, p.Right()))->x - p.Project(nearer)->x;
    double b = p.Project(Add3(farther, p.Right()))->x - p.Project(farther)->x;
    EXPECT_LT(a / b, 1.15);
    ViewCamera back = WithViewAngle(parallel, kPerspectiveViewAngle);
    for (size_t i = 0; i < 3; ++i) EXPECT_NEAR(back.eye[i], c.eye[i], 1e-9);
}

TEST(CameraNavigationTest, AFitFillsTheViewWithEveryPointInsideFromAnySide) {
    std::vector<Vec3> points;
    for (int i = 0; i < 8; ++i) points.push_back({(i & 1) ? 40.0 : -40.0, (i & 2) ? 30.0 : -30.0, (i & 4) ? 8.0 : 0.0});
    for (StandardView side : {StandardView::Isometric, StandardView::Front, StandardView::Top}) {
        ViewCamera fitted = FitToView(LookFrom(ViewCamera{}, side), points, 400, 300);
        ViewProjection p(fitted, 400, 300);
        double left = 1e9, right = -1e9, top = 1e9, bottom = -1e9;
        for (const Vec3& point : points) {
            auto s = p.Project(point);
            ASSERT_TRUE(s);
            left = std::min(left, s->x), right = std::max(right, s->x);
            top = std::min(top, s->y), bottom = std::max(bottom, s->y);
        }
        EXPECT_GE(left, 0);
        EXPECT_LE(right, 400);
        EXPECT_GE(top, 0);
        EXPECT_LE(bottom, 300);
        EXPECT_TRUE(right - left > 0.85 * 400 || bottom - top > 0.85 * 300) << static_cast<int>(side);
    }
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
    EXPECT_EQ(OutlineEdges(*wall, camera.eye).size(), 12u);
}

TEST(CanvasPainterTest, FramesFillsAndTextsLandOnTheirPixels) {
    QtTestApp();
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
