// The 3D window's and the photo's pixels for real buildings, from views that put them whole in
// the picture, partly outside it, around the eye and far off, on any number of threads: the same
// bytes as the renderer has always drawn, however it comes to them.
#include "OpenedHostTest.h"
#include "PictureFingerprint.h"
#include "bytes/LittleEndian.h"
#include "host/app/Host.h"
#include "host/render/Renderer.h"
#include "host/render/Scene.h"
#include "host/render/WindowPictures.h"
#include "hostapi/HostAttributeRecord.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Shot {
    ViewCamera camera;
    RenderStyle style;
    uint64_t expected;
};

ViewCamera Looking(const ViewCamera& base, Vec3 eye, Vec3 target, double fov = 0) {
    ViewCamera c = base;
    c.eye = eye;
    c.target = target;
    if (fov > 0) c.fov = fov;
    return c;
}

void Expect(const Scene& scene, const std::vector<Shot>& shots, int32_t width, int32_t height) {
    Renderer one(1, 100000), two(2), three(3, 7);
    for (size_t i = 0; i < shots.size(); ++i) {
        const Shot& s = shots[i];
        Rgb background = s.style == RenderStyle::Photo ? Rgb{0.75f, 0.85f, 0.95f} : Rgb{1, 1, 1};
        for (Renderer* r : {&one, &two, &three}) {
            Image image = r->Render(scene, s.camera, width, height, s.style, background);
            EXPECT_EQ(Fingerprint(image), s.expected) << "shot " << i << ", " << r->Threads() << " threads";
        }
    }
}

class PicturesKept : public OpenedHostTest {};

TEST_F(PicturesKept, TheExampleHouse) {
    Open(SourceDir() + "/examples/house/house.qvp");
    const ViewCamera base = host.Model().view.Camera();
    Scene scene = BuildScene(host.Model());
    const auto W = RenderStyle::Window3D, P = RenderStyle::Photo;
    Expect(scene,
           {
               {base, W, 18320668879963271226ull},
               {base, P, 15933136639109089982ull},
               {Looking(base, {3, -6, 1.8}, {4, 4, 1.4}), W, 18193842171552696102ull}, // close by, the near plane cutting walls
               {Looking(base, {5, 4, 1.6}, {12, 9, 1.2}), W, 3143639234099245442ull}, // from inside
               {Looking(base, {5, 4, 1.6}, {-3, -6, 2.0}), P, 4989094960453166193ull}, // inside, the photo
               {Looking(base, {-20, -25, 8}, {-30, 10, 3}), W, 10562850345611119909ull}, // the house at the picture's edge
               {Looking(base, {-20, -25, 8}, {-6, 30, 3}), W, 5282459518709263596ull}, // half of it out of the picture
               {Looking(base, {400, -700, 120}, {5, 4, 2}), W, 13451115900894399572ull}, // far off: a few pixels
               {Looking(base, {5, 4, -30}, {5, 4.5, 5}, 80), W, 10847144830839769218ull}, // from below, looking up
               {Looking(base, {-12, -14, 6}, {5, 4, 3}, 120), W, 14998322558602500055ull}, // a wide angle
           },
           480, 270);
}

TEST_F(PicturesKept, TheExampleHouseWithALayerHidden) {
    Open(SourceDir() + "/examples/house/house.qvp");
    HostModel& m = host.Model();
    // The first layer any element with a body stands on.
    for (const auto& e : m.Elements())
        if (HostElement::HasBody(e->Kind()) && e->geometry.shape != Geometry::Shape::None) {
            AttributeRecord* r = m.Attribute(HostAttribute::Layer, e->Layer());
            ASSERT_NE(r, nullptr);
            LE::Put<uint32_t>(*r, HostAttribute::kFlags, LE::Get<uint32_t>(*r, HostAttribute::kFlags) | HostAttribute::kLayerHidden);
            break;
        }
    Scene scene = BuildScene(m);
    Expect(scene, {{m.view.Camera(), RenderStyle::Window3D, 1295981133100167299ull}}, 480, 270);
}

// Revit geometry: many small triangles, creases and outlines.
TEST_F(PicturesKept, TheDuplex) {
    Open(SourceDir() + "/tests/data/ifc/duplex.ifc");
    const ViewCamera base = host.Model().view.Camera();
    Scene scene = BuildScene(host.Model());
    const Vec3 middle = Scale3(Add3(scene.min, scene.max), 0.5);
    const auto W = RenderStyle::Window3D, P = RenderStyle::Photo;
    Expect(scene,
           {
               {base, W, 825548412398495966ull},
               {base, P, 5547008512977417959ull},
               {Looking(base, Add3(middle, {0, 0, 1}), Add3(middle, {10, 6, 0})), W, 10049050112471581477ull},
               {Looking(base, base.eye, Add3(base.target, Scale3(Sub3(scene.max, scene.min), 0.45))), W, 5207010951449385197ull},
           },
           640, 360);
}

} // namespace
