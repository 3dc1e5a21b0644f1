#pragma once
// Depth from the sun over the whole scene, for the photo's shadows.
#include "host/render/Scene.h"
#include "host/render/ScreenTriangle.h"
#include "host/render/ViewProjection.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

class TilePool;

class ShadowMap {
public:
    static constexpr int32_t kSize = 1024;
    static constexpr int32_t kBandRows = 32; // a multiple of the texel blocks' 8 rows

    // The map of `scene` for the sun at `toSun`, its rows filled in bands on the pool.
    void Build(const Scene& scene, const Vec3& toSun, TilePool& pool);

    // 0 (in shadow) to 1 (lit), averaged over a 3 x 3 texel neighbourhood. Asked for every lit
    // pixel of the photo, so it stays in the header where the shading can inline it.
    double Light(const Vec3& world, const Vec3& normal, const Vec3& toSun) const {
        double slope = 1 - std::fabs(Dot3(normal, toSun));
        Vec3 p = Add3(world, Scale3(normal, texel_ * 1.5));
        raster::ScreenVertex s = Map(p);
        double bias = texel_ * (1.0 + 2.0 * slope);
        int lit = 0;
        double bx = std::floor(s.x), by = std::floor(s.y);
        if (bx >= 1 && by >= 1 && bx < kSize - 1 && by < kSize - 1) {
            // The whole neighbourhood inside the map: no test a texel.
            auto x = static_cast<int32_t>(bx), y = static_cast<int32_t>(by);
            const double limit = s.invZ - bias;
            for (int32_t dy = -1; dy <= 1; ++dy)
                for (int32_t dx = -1; dx <= 1; ++dx)
                    if (limit <= depth_[Texel(x + dx, y + dy)]) ++lit;
            return lit / 9.0;
        }
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                double fx = std::floor(s.x) + dx, fy = std::floor(s.y) + dy;
                if (!(fx >= 0 && fy >= 0 && fx < kSize && fy < kSize)) {
                    ++lit;
                    continue;
                }
                auto x = static_cast<int32_t>(fx), y = static_cast<int32_t>(fy);
                if (s.invZ - bias <= depth_[Texel(x, y)]) ++lit;
            }
        return lit / 9.0;
    }

private:
    // Texels lie in blocks of 8 x 8, so that a pixel's neighbourhood and its neighbours' share
    // cache lines and pages. Whole bands of 8 rows stay together, as rows did.
    static size_t Texel(int32_t x, int32_t y) {
        auto ux = static_cast<size_t>(x), uy = static_cast<size_t>(y);
        return ((uy >> 3) * (kSize >> 3) + (ux >> 3)) * 64 + ((uy & 7) << 3) + (ux & 7);
    }

    raster::ScreenVertex Map(const Vec3& w) const {
        Vec3 v = basis_.ToView(w);
        return {kSize * 0.5 + v[0] * scale_, kSize * 0.5 - v[1] * scale_, v[2]};
    }

    ViewBasis basis_{};
    double scale_ = 1, texel_ = 1;
    std::vector<float> depth_;
    std::vector<raster::ScreenTriangle> triangles_;
    std::array<std::vector<uint32_t>, kSize / kBandRows> bins_;
};
