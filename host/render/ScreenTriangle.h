#pragma once
// Triangles on a picture, walked pixel by pixel: what the renderer's camera view and the photo's
// shadow map both rasterise. Header-only: the walk runs for every pixel a triangle covers.
#include "host/model/Vector3.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <type_traits>
#include <utility>

namespace raster {

// The pixel column or row of a coordinate, held inside [0, size - 1]; far-off coordinates of
// points near the eye never reach an integer conversion.
inline int32_t Pixel(double v, int32_t size) {
    if (!(v > 0)) return 0;
    if (v >= size - 1) return size - 1;
    return static_cast<int32_t>(v);
}

// Screen-space vertex: pixel position and 1/depth.
struct ScreenVertex {
    double x, y, invZ;
};

// A triangle on the screen, ready to be walked row by row: its vertices, 1/area, the pixel
// rectangle it may cover and the scene triangle it comes from.
struct ScreenTriangle {
    ScreenVertex a, b, c;
    double inv;
    int32_t x0, x1, y0, y1;
    uint32_t source;
};

// How far outside a triangle's bounds a pixel centre may lie and still pass the walk's test. A
// centre `d` beyond the bounds has a weight below -d / (2 s), s the bounds' larger side; this is
// a generous bound on the rounding of the walk's weights, which grows with D^2 / |area| (D the
// larger side and a pixel and a half). Infinite where it is no use.
inline double RoundingReach(double w, double h, double inverseArea) {
    constexpr double u = 0x1p-53;
    const double d = std::max(w, h) + 1.5, k = d * d * std::fabs(inverseArea);
    const double e = 4 * u * (k * (100 + 10 * d + 12 * k) + 2);
    const double reach = 2 * std::max(w, h) * e;
    return reach < 1e6 ? reach : HUGE_VAL;
}

// Null for a triangle without area, wholly outside the picture, or between the pixel centres:
// rows and columns whose centres no rounding of the walk's weights could bring inside are left
// out, so only the pixels a walk of the whole rectangle would give are ever visited. x0 stays
// where the rectangle starts: each row's weights are counted from it.
inline bool SetUp(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c, int32_t width, int32_t height,
                  uint32_t source, ScreenTriangle& out) {
    double area = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
    if (!(std::fabs(area) > 1e-12)) return false;
    double minX = std::min({a.x, b.x, c.x}), maxX = std::max({a.x, b.x, c.x});
    double minY = std::min({a.y, b.y, c.y}), maxY = std::max({a.y, b.y, c.y});
    if (!(maxX >= 0 && minX < width && maxY >= 0 && minY < height)) return false;
    const double inv = 1.0 / area;
    const int32_t x0 = Pixel(minX, width), x1 = Pixel(std::ceil(maxX), width);
    int32_t y0 = Pixel(minY, height), y1 = Pixel(std::ceil(maxY), height);
    constexpr double kFar = 1e7; // beyond it the reach is not worked out
    const double reach = minX > -kFar && maxX < kFar && minY > -kFar && maxY < kFar
                             ? RoundingReach(maxX - minX, maxY - minY, inv)
                             : HUGE_VAL;
    if (reach < 1e6) {
        // The first and last row and column whose centre lies within reach of the bounds, held
        // to the rectangle before they become integers.
        auto first = [reach](double lo, int32_t from) { return std::max<double>(std::ceil(lo - reach - 0.5), from); };
        auto last = [reach](double hi, int32_t to) { return std::min<double>(std::floor(hi + reach - 0.5), to); };
        if (first(minX, x0) > last(maxX, x1)) return false;
        const double top = first(minY, y0), bottom = last(maxY, y1);
        if (top > bottom) return false;
        y0 = static_cast<int32_t>(top);
        y1 = static_cast<int32_t>(bottom);
    }
    out = {a, b, c, inv, x0, x1, y0, y1, source};
    return true;
}

// One row of a triangle: the columns from..to that may lie inside (a column to spare on each
// side; each pixel's own test decides) and the barycentric weights w0, w1 at `from` with their
// steps from one column to the next. Keeps large and slanted triangles from walking their whole
// bounding box. The row depends only on the triangle and the row, never on a tile.
struct RowWalk {
    int32_t from = 0, to = -1;
    double w0 = 0, w1 = 0, d0 = 0, d1 = 0;
};

inline bool RowSpan(const ScreenTriangle& t, double py, RowWalk& r) {
    const ScreenVertex &a = t.a, &b = t.b, &c = t.c;
    const int32_t x0 = t.x0, x1 = t.x1;
    double px = x0 + 0.5;
    double e[3] = {((b.x - px) * (c.y - py) - (b.y - py) * (c.x - px)) * t.inv,
                   ((c.x - px) * (a.y - py) - (c.y - py) * (a.x - px)) * t.inv, 0};
    double d[3] = {(b.y - c.y) * t.inv, (c.y - a.y) * t.inv, 0};
    e[2] = 1.0 - e[0] - e[1];
    d[2] = -d[0] - d[1];
    double lo = x0, hi = x1;
    for (int i = 0; i < 3; ++i) {
        if (d[i] > 0) lo = std::max(lo, x0 - e[i] / d[i]);
        else if (d[i] < 0) hi = std::min(hi, x0 - e[i] / d[i]);
        else if (e[i] < 0) return false;
    }
    if (!(lo <= hi + 1)) return false;
    r.from = std::max(x0, Pixel(std::floor(lo) - 1, x1 + 1));
    r.to = std::min(x1, Pixel(std::ceil(hi) + 1, x1 + 1));
    if (r.from > r.to) return false;
    double k = r.from - x0;
    r.w0 = e[0] + k * d[0];
    r.w1 = e[1] + k * d[1];
    r.d0 = d[0];
    r.d1 = d[1];
    return true;
}

// Calls fragment(x, invZ, w0, w1, w2) for every covered pixel centre of rows y0..y1 of `t`; the
// edge functions step from column to column.
template <typename F> void Walk(const ScreenTriangle& t, int32_t y0, int32_t y1, F&& fragmentGiven) {
    // A copy of its own, which nothing the fragments write can reach: its values stay in registers.
    std::decay_t<F> fragment(std::forward<F>(fragmentGiven));
    const double ia = t.a.invZ, ib = t.b.invZ, ic = t.c.invZ;
    for (int32_t y = std::max(y0, t.y0); y <= std::min(y1, t.y1); ++y) {
        RowWalk r;
        if (!RowSpan(t, y + 0.5, r)) continue;
        double w0 = r.w0, w1 = r.w1;
        for (int32_t x = r.from; x <= r.to; ++x, w0 += r.d0, w1 += r.d1) {
            double w2 = 1.0 - w0 - w1;
            if (w0 < 0 || w1 < 0 || w2 < 0) continue;
            fragment(x, y, w0 * ia + w1 * ib + w2 * ic, w0, w1, w2);
        }
    }
}

} // namespace raster
