#include "desk/views/ViewDepth.h"

#include "desk/views/ElementPicker.h"
#include "host/render/ScreenTriangle.h"
#include "host/render/ViewProjection.h"

#include <algorithm>
#include <cmath>

namespace {

// The renderer's nudge of windows and doors towards the eye, so they show in their walls.
constexpr double kOpeningBias = 1.0015;
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

bool IsOpening(const Element& e) { return e.Kind() == HostElement::Window || e.Kind() == HostElement::Door; }

} // namespace

ViewDepth::ViewDepth(HostModel& model, const ViewCamera& camera, int32_t width, int32_t height)
    : width_(std::max(1, width)), height_(std::max(1, height)),
      depth_(static_cast<size_t>(width_) * static_cast<size_t>(height_), 0.0f),
      owner_(depth_.size(), -1) {
    ViewProjection view(camera, width_, height_);
    for (const auto& e : model.Elements()) {
        if (!IsElementDrawn(model, *e)) continue;
        auto index = static_cast<int32_t>(elements_.size());
        elements_.push_back(e.get());
        double bias = IsOpening(*e) ? kOpeningBias : 1.0;
        for (const auto& t : ElementTriangles(*e)) {
            std::vector<Vec3> poly = ClipNear({view.ToView(t[0]), view.ToView(t[1]), view.ToView(t[2])});
            std::vector<raster::ScreenVertex> screen;
            for (const Vec3& v : poly) {
                ScreenDepth s = view.OnScreen(v);
                screen.push_back({s.x, s.y, s.invZ, v});
            }
            for (size_t k = 1; k + 1 < screen.size(); ++k) {
                raster::ScreenTriangle st;
                if (!raster::SetUp(screen[0], screen[k], screen[k + 1], width_, height_, 0, st)) continue;
                raster::Walk(st, 0, height_ - 1, [&](int32_t x, int32_t y, double invZ, double, double, double) {
                    auto nearer = static_cast<float>(invZ * bias);
                    size_t i = Index(x, y);
                    if (nearer > depth_[i]) {
                        depth_[i] = nearer;
                        owner_[i] = index;
                    }
                });
            }
        }
    }
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
