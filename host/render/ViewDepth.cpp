#include "host/render/ViewDepth.h"

#include "host/render/ViewProjection.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// As the shadow map has it: a surface at least half opaque hides what lies behind it.
constexpr float kOpaque = 0.5f;
// A line on a surface is in sight up to this share of the depth behind it.
constexpr double kDepthSlack = 0.001;

// The polygon's part at or beyond the near plane (view coordinates).
std::vector<Vec3> ClipNear(const std::array<Vec3, 3>& triangle) {
    constexpr double near = ViewProjection::kNear;
    std::vector<Vec3> out;
    for (size_t i = 0; i < 3; ++i) {
        const Vec3& a = triangle[i];
        const Vec3& b = triangle[(i + 1) % 3];
        bool inA = a[2] >= near, inB = b[2] >= near;
        if (inA) out.push_back(a);
        if (inA != inB) out.push_back(Lerp3(a, b, (near - a[2]) / (b[2] - a[2])));
    }
    return out;
}

} // namespace

ViewDepth::ViewDepth(const Scene& scene, const ViewCamera& camera, int32_t width, int32_t height)
    : width_(std::max(1, width)), height_(std::max(1, height)),
      depth_(static_cast<size_t>(width_) * static_cast<size_t>(height_), 0.0f), owner_(depth_.size(), nullptr) {
    Draw(scene, camera);
}

ViewDepth::ViewDepth(HostModel& model, const ViewCamera& camera, int32_t width, int32_t height)
    : ViewDepth(BuildScene(model), camera, width, height) {}

void ViewDepth::Draw(const Scene& scene, const ViewCamera& camera) {
    ViewProjection view(camera, width_, height_);
    ForEachDrawnTriangle(scene, [&](uint32_t t) {
        if (t >= scene.owners.size()) return;
        const SceneTriangle& tri = scene.triangles[t];
        const Element* owner = scene.owners[t];
        const double bias = tri.opening ? kOpeningDepthBias : 1.0;
        std::vector<Vec3> poly = ClipNear({view.ToView(tri.p[0]), view.ToView(tri.p[1]), view.ToView(tri.p[2])});
        std::vector<raster::ScreenVertex> screen;
        for (const Vec3& v : poly) {
            ScreenDepth s = view.OnScreen(v);
            screen.push_back({s.x, s.y, s.invZ});
        }
        for (size_t k = 1; k + 1 < screen.size(); ++k) {
            raster::ScreenTriangle st;
            if (!raster::SetUp(screen[0], screen[k], screen[k + 1], width_, height_, 0, st)) continue;
            if (tri.opacity < kOpaque) {
                glass_.push_back({st, owner, bias});
                continue;
            }
            raster::Walk(st, 0, height_ - 1, [&](int32_t x, int32_t y, double invZ, double, double, double) {
                auto nearer = static_cast<float>(invZ * bias);
                size_t i = Index(x, y);
                if (nearer > depth_[i]) {
                    depth_[i] = nearer;
                    owner_[i] = owner;
                }
            });
        }
    });
}

bool ViewDepth::InSight(int32_t x, int32_t y, double inverseDepth) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return false;
    size_t i = Index(x, y);
    double d = depth_[i];
    if (d == 0) return true;
    // The surface's own change of depth to its neighbours; a neighbour of another element is an
    // edge in the picture, not a slope.
    double slope = 0;
    auto neighbour = [&](int32_t nx, int32_t ny) {
        if (nx < 0 || ny < 0 || nx >= width_ || ny >= height_) return;
        size_t n = Index(nx, ny);
        if (owner_[n] == owner_[i]) slope = std::max(slope, std::fabs(static_cast<double>(depth_[n]) - d));
    };
    neighbour(x - 1, y), neighbour(x + 1, y), neighbour(x, y - 1), neighbour(x, y + 1);
    return inverseDepth >= d - 1.5 * slope - d * kDepthSlack;
}

std::unordered_set<const Element*> ViewDepth::SeenIn(int32_t left, int32_t top, int32_t right, int32_t bottom) const {
    std::unordered_set<const Element*> out;
    left = std::max(left, 0), top = std::max(top, 0);
    right = std::min(right, width_ - 1), bottom = std::min(bottom, height_ - 1);
    if (left > right || top > bottom) return out;
    for (int32_t y = top; y <= bottom; ++y)
        for (int32_t x = left; x <= right; ++x)
            if (const Element* e = owner_[Index(x, y)]) out.insert(e);
    // Glass is seen where it lies in front of the nearest hiding surface.
    for (const Glass& g : glass_) {
        const raster::ScreenTriangle& t = g.triangle;
        if (t.x1 < left || t.x0 > right || t.y1 < top || t.y0 > bottom || out.count(g.owner)) continue;
        bool found = false;
        raster::Walk(t, top, bottom, [&](int32_t x, int32_t y, double invZ, double, double, double) {
            if (!found && x >= left && x <= right && static_cast<float>(invZ * g.bias) > depth_[Index(x, y)]) found = true;
        });
        if (found) out.insert(g.owner);
    }
    return out;
}
