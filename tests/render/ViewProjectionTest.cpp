// The one projection the renderer draws with and the desktop picks with: a point lands on the
// pixels drawn for it, the ray through that place runs back through the point, and a camera
// looking along its up direction still gets an upright picture.
#include "host/render/Renderer.h"
#include "host/render/ViewProjection.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

constexpr int32_t kWidth = 161, kHeight = 97; // odd: the centre falls inside a pixel

std::vector<ViewCamera> Cameras() {
    ViewCamera standing;
    ViewCamera down;
    down.eye = {5, 4, 40};
    down.target = {5, 4, 0}; // along the up direction
    ViewCamera tilted;
    tilted.eye = {20, -15, 6};
    tilted.target = {3, 2, 1};
    tilted.up = {0.3, 0.1, 1};
    tilted.fov = 80;
    return {standing, down, tilted};
}

// A cube of half-size `h` about `c`.
Scene Cube(const Vec3& c, double h) {
    Scene s;
    auto corner = [&](int i) { return Vec3{c[0] + (i & 1 ? h : -h), c[1] + (i & 2 ? h : -h), c[2] + (i & 4 ? h : -h)}; };
    const int quads[6][4] = {{0, 1, 3, 2}, {4, 6, 7, 5}, {0, 4, 5, 1}, {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 5, 7, 3}};
    for (const auto& q : quads)
        for (int k : {1, 2}) {
            SceneTriangle t{{corner(q[0]), corner(q[k]), corner(q[k + 1])}, {}, {0.9f, 0.1f, 0.1f}};
            t.normal = Unit3(Cross3(Sub3(t.p[1], t.p[0]), Sub3(t.p[2], t.p[0])), {0, 0, 1});
            s.triangles.push_back(t);
        }
    s.min = corner(0);
    s.max = corner(7);
    return s;
}

TEST(ViewProjectionTest, TheRendererDrawsACubeExactlyInsideItsProjectedCornersAndOverItsCentre) {
    const Vec3 centres[] = {{6, 4, 2.5}, {2, 1, 0.5}, {9, 7, 4}};
    for (const ViewCamera& camera : Cameras())
        for (const Vec3& c : centres) {
            SCOPED_TRACE(testing::Message() << "eye " << camera.eye[0] << "," << camera.eye[1] << " cube " << c[0]);
            const double h = 0.6;
            ViewProjection view(camera, kWidth, kHeight);
            double left = 1e9, right = -1e9, top = 1e9, bottom = -1e9;
            for (int i = 0; i < 8; ++i) {
                auto p = view.Project({c[0] + (i & 1 ? h : -h), c[1] + (i & 2 ? h : -h), c[2] + (i & 4 ? h : -h)});
                ASSERT_TRUE(p);
                left = std::min(left, p->x), right = std::max(right, p->x);
                top = std::min(top, p->y), bottom = std::max(bottom, p->y);
            }
            Image image = RenderScene(Cube(c, h), camera, kWidth, kHeight, RenderStyle::Window3D, Rgb{1, 1, 1});
            int drawn = 0;
            for (int32_t y = 0; y < kHeight; ++y)
                for (int32_t x = 0; x < kWidth; ++x) {
                    if (image.At(x, y) == 0xFFFFFFu) continue;
                    ++drawn;
                    // A pixel is drawn when its centre lies inside the cube's outline.
                    EXPECT_GE(x + 0.5, left - 1e-6) << x << "," << y;
                    EXPECT_LE(x + 0.5, right + 1e-6) << x << "," << y;
                    EXPECT_GE(y + 0.5, top - 1e-6) << x << "," << y;
                    EXPECT_LE(y + 0.5, bottom + 1e-6) << x << "," << y;
                }
            EXPECT_GT(drawn, 20);
            auto centre = view.Project(c);
            ASSERT_TRUE(centre);
            EXPECT_NE(image.At(static_cast<int32_t>(centre->x), static_cast<int32_t>(centre->y)), 0xFFFFFFu);
        }
}

TEST(ViewProjectionTest, TheRayThroughAPointsPlaceRunsBackThroughThePoint) {
    for (const ViewCamera& camera : Cameras()) {
        ViewProjection view(camera, kWidth, kHeight);
        for (double x = -4; x <= 14; x += 3.5)
            for (double y = -3; y <= 11; y += 2.8)
                for (double z = 0; z <= 6; z += 1.5) {
                    const Vec3 p{x, y, z};
                    auto at = view.Project(p);
                    ASSERT_TRUE(at);
                    Vec3 origin, direction;
                    view.Ray(at->x, at->y, origin, direction);
                    Vec3 toPoint = Sub3(p, origin);
                    EXPECT_NEAR(Dot3(direction, direction), 1, 1e-12);
                    EXPECT_GT(Dot3(direction, toPoint), 0);
                    Vec3 off = Cross3(toPoint, direction);
                    EXPECT_LT(std::sqrt(Dot3(off, off)), 1e-9 * std::sqrt(Dot3(toPoint, toPoint)));
                    // The rasteriser's place for it is the same, to rounding.
                    ScreenDepth s = view.OnScreen(view.ToView(p));
                    EXPECT_NEAR(s.x, at->x, 1e-9);
                    EXPECT_NEAR(s.y, at->y, 1e-9);
                    EXPECT_NEAR(s.invZ * at->depth, 1, 1e-12);
                }
    }
}

TEST(ViewProjectionTest, BasisStaysUprightLookingAlongUpAndNothingBeforeTheNearPlaneHasAPlace) {
    for (const ViewCamera& camera : Cameras()) {
        ViewProjection view(camera, kWidth, kHeight);
        const Vec3 &r = view.Right(), &u = view.Up(), &f = view.Forward();
        EXPECT_NEAR(Dot3(r, r), 1, 1e-12);
        EXPECT_NEAR(Dot3(u, u), 1, 1e-12);
        EXPECT_NEAR(Dot3(f, f), 1, 1e-12);
        EXPECT_NEAR(Dot3(r, u), 0, 1e-12);
        EXPECT_NEAR(Dot3(r, f), 0, 1e-12);
        Vec3 back = Cross3(r, u); // right-handed: right x up points at the viewer
        for (size_t i = 0; i < 3; ++i) EXPECT_NEAR(back[i], -f[i], 1e-12);
    }
    // Straight down: north up the picture, east to the right.
    ViewProjection down(Cameras()[1], kWidth, kHeight);
    auto middle = down.Project({5, 4, 0}), east = down.Project({6, 4, 0}), north = down.Project({5, 5, 0});
    ASSERT_TRUE(middle && east && north);
    EXPECT_DOUBLE_EQ(middle->x, kWidth * 0.5);
    EXPECT_DOUBLE_EQ(middle->y, kHeight * 0.5);
    EXPECT_GT(east->x, middle->x + 1);
    EXPECT_LT(north->y, middle->y - 1);

    ViewCamera at;
    at.eye = {0, 0, 0};
    at.target = {0, 1, 0};
    ViewProjection view(at, kWidth, kHeight);
    EXPECT_FALSE(view.Project({0, ViewProjection::kNear * 0.8, 0}));
    EXPECT_FALSE(view.Project({0, -3, 0}));
    EXPECT_TRUE(view.Project({0, ViewProjection::kNear * 1.2, 0}));
}

} // namespace
