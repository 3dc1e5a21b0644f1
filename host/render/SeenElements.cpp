#include "host/render/SeenElements.h"

#include <algorithm>

namespace {

// As the shadow map has it: a surface at least half opaque hides what lies behind it.
constexpr float kOpaque = 0.5f;

} // namespace

SeenElements::SeenElements(const Scene& scene, const ViewCamera& camera, int32_t width, int32_t height)
    : width_(std::max(width, 1)), height_(std::max(height, 1)),
      depth_(static_cast<size_t>(width_) * static_cast<size_t>(height_), 0.0f),
      seen_(depth_.size(), nullptr) {
    ViewProjection view(camera, width_, height_);
    for (size_t i = 0; i < scene.triangles.size() && i < scene.owners.size(); ++i) {
        const SceneTriangle& t = scene.triangles[i];
        raster::ScreenVertex v[3];
        bool inFront = true;
        for (int k = 0; k < 3; ++k) {
            Vec3 p = view.ToView(t.p[k]);
            // A surface reaching past the eye is left out rather than clipped: it hides nothing
            // a band could wholly hold.
            if (!(p[2] >= ViewProjection::kNear)) {
                inFront = false;
                break;
            }
            ScreenDepth s = view.OnScreen(p);
            v[k] = {s.x, s.y, s.invZ, t.p[k]};
        }
        raster::ScreenTriangle st;
        if (!inFront || !raster::SetUp(v[0], v[1], v[2], width_, height_, static_cast<uint32_t>(i), st)) continue;
        const double bias = t.opening ? kOpeningDepthBias : 1.0;
        if (t.opacity < kOpaque) {
            glass_.push_back(st);
            glassOwners_.push_back(scene.owners[i]);
            glassBias_.push_back(bias);
            continue;
        }
        raster::Walk(st, 0, height_ - 1, [&](int32_t x, int32_t y, double invZ, double, double, double) {
            size_t at = static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x);
            float z = static_cast<float>(invZ * bias);
            if (z > depth_[at]) {
                depth_[at] = z;
                seen_[at] = scene.owners[i];
            }
        });
    }
}

const Element* SeenElements::At(int32_t x, int32_t y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return nullptr;
    return seen_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)];
}

std::unordered_set<const Element*> SeenElements::In(int32_t left, int32_t top, int32_t right, int32_t bottom) const {
    std::unordered_set<const Element*> out;
    left = std::max(left, 0), top = std::max(top, 0);
    right = std::min(right, width_ - 1), bottom = std::min(bottom, height_ - 1);
    if (left > right || top > bottom) return out;
    for (int32_t y = top; y <= bottom; ++y)
        for (int32_t x = left; x <= right; ++x)
            if (const Element* e = At(x, y)) out.insert(e);
    // Glass is seen where it lies in front of the nearest opaque surface.
    for (size_t i = 0; i < glass_.size(); ++i) {
        const raster::ScreenTriangle& t = glass_[i];
        if (t.x1 < left || t.x0 > right || t.y1 < top || t.y0 > bottom || out.count(glassOwners_[i])) continue;
        bool found = false;
        raster::Walk(t, top, bottom, [&](int32_t x, int32_t y, double invZ, double, double, double) {
            if (found || x < left || x > right) return;
            float z = static_cast<float>(invZ * glassBias_[i]);
            if (z > depth_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)]) found = true;
        });
        if (found) out.insert(glassOwners_[i]);
    }
    return out;
}
