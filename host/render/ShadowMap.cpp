#include "host/render/ShadowMap.h"

#include "host/render/TilePool.h"

#include <algorithm>
#include <limits>

void ShadowMap::Build(const Scene& scene, const Vec3& toSun, TilePool& pool) {
    Vec3 centre = Scale3(Add3(scene.min, scene.max), 0.5);
    double radius = std::sqrt(Dot3(Sub3(scene.max, scene.min), Sub3(scene.max, scene.min))) * 0.5 + 1;
    basis_ = LookingAt(Add3(centre, Scale3(toSun, radius * 2)), centre, {0, 0, 1});
    scale_ = kSize / (2 * radius);
    texel_ = 1 / scale_;
    depth_.resize(static_cast<size_t>(kSize) * kSize);
    triangles_.clear();
    ForEachDrawnTriangle(scene, [&](uint32_t i) {
        const auto& t = scene.triangles[i];
        if (t.opacity < 0.5f) return; // glass lets the sun through
        raster::ScreenVertex s[3];
        for (int k = 0; k < 3; ++k) s[k] = Map(t.p[k]);
        raster::ScreenTriangle st;
        if (raster::SetUp(s[0], s[1], s[2], kSize, kSize, i, st)) triangles_.push_back(st);
    });
    constexpr int32_t bands = kSize / kBandRows;
    for (auto& b : bins_) b.clear();
    for (uint32_t i = 0; i < triangles_.size(); ++i)
        for (int32_t b = triangles_[i].y0 / kBandRows; b <= triangles_[i].y1 / kBandRows; ++b) bins_[b].push_back(i);
    pool.Run(bands, [this](int32_t band) {
        int32_t y0 = band * kBandRows, y1 = y0 + kBandRows - 1;
        std::fill(depth_.begin() + static_cast<ptrdiff_t>(y0) * kSize, depth_.begin() + static_cast<ptrdiff_t>(y1 + 1) * kSize,
                  std::numeric_limits<float>::infinity());
        for (uint32_t i : bins_[band])
            raster::Walk(triangles_[i], y0, y1, [&](int32_t x, int32_t y, double z, double, double, double) {
                // Orthographic: depth is linear.
                float& d = depth_[Texel(x, y)];
                d = std::min(d, static_cast<float>(z));
            });
    });
}
