// A triangle set up for the walk gives the very pixels and values a walk of its whole rectangle
// gives: the rows and triangles left out between the pixel centres hold nothing, for small,
// thin, nearly flat and far-reaching triangles alike.
#include "host/render/ScreenTriangle.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <optional>
#include <random>
#include <vector>

namespace {

using raster::ScreenTriangle;
using raster::ScreenVertex;

constexpr int32_t kWidth = 64, kHeight = 48;

// The rectangle a triangle may cover, every row and column of it, as the walk first had it.
std::optional<ScreenTriangle> Whole(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c) {
    double area = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
    if (!(std::fabs(area) > 1e-12)) return std::nullopt;
    double minX = std::min({a.x, b.x, c.x}), maxX = std::max({a.x, b.x, c.x});
    double minY = std::min({a.y, b.y, c.y}), maxY = std::max({a.y, b.y, c.y});
    if (!(maxX >= 0 && minX < kWidth && maxY >= 0 && minY < kHeight)) return std::nullopt;
    return ScreenTriangle{a, b, c, 1.0 / area, raster::Pixel(minX, kWidth), raster::Pixel(std::ceil(maxX), kWidth),
                          raster::Pixel(minY, kHeight), raster::Pixel(std::ceil(maxY), kHeight), 0};
}

// Every fragment's pixel and values, bit for bit.
std::vector<uint64_t> Fragments(const ScreenTriangle& t) {
    std::vector<uint64_t> out;
    auto bits = [&out](double v) {
        uint64_t b;
        std::memcpy(&b, &v, sizeof b);
        out.push_back(b);
    };
    raster::Walk(t, 0, kHeight - 1, [&](int32_t x, int32_t y, double invZ, double w0, double w1, double w2) {
        out.push_back(static_cast<uint64_t>(y) << 32 | static_cast<uint32_t>(x));
        bits(invZ), bits(w0), bits(w1), bits(w2);
    });
    return out;
}

struct Counts {
    int drawn = 0, leftOut = 0;
};

// Checks one triangle; counts whether it showed and whether the set-up left it out.
void Check(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c, Counts& counts) {
    std::optional<ScreenTriangle> whole = Whole(a, b, c);
    ScreenTriangle t;
    bool set = raster::SetUp(a, b, c, kWidth, kHeight, 0, t);
    if (!whole) {
        EXPECT_FALSE(set);
        return;
    }
    std::vector<uint64_t> expected = Fragments(*whole);
    if (!expected.empty()) ++counts.drawn;
    if (!set) {
        ++counts.leftOut;
        EXPECT_TRUE(expected.empty()) << a.x << "," << a.y << " " << b.x << "," << b.y << " " << c.x << "," << c.y;
        return;
    }
    EXPECT_EQ(t.x0, whole->x0);
    EXPECT_EQ(t.x1, whole->x1);
    EXPECT_GE(t.y0, whole->y0);
    EXPECT_LE(t.y1, whole->y1);
    EXPECT_EQ(Fragments(t), expected) << a.x << "," << a.y << " " << b.x << "," << b.y << " " << c.x << "," << c.y;
}

class Points {
public:
    double Uniform(double lo, double hi) { return lo + (hi - lo) * static_cast<double>(rng_() >> 11) * 0x1p-53; }
    // On a grid of quarter pixels now and then: corners on pixel centres and edges through them.
    double Place(double lo, double hi) {
        double v = Uniform(lo, hi);
        return rng_() % 3 == 0 ? std::round(v * 4) / 4 : v;
    }
    ScreenVertex Near(const ScreenVertex& p, double reach) {
        return {Place(p.x - reach, p.x + reach), Place(p.y - reach, p.y + reach), Uniform(0.01, 2)};
    }
    ScreenVertex Anywhere(double margin) {
        return {Place(-margin, kWidth + margin), Place(-margin, kHeight + margin), Uniform(0.01, 2)};
    }

private:
    std::mt19937_64 rng_{20261209};
};

TEST(ScreenTriangle, SmallTrianglesGiveTheWholeRectanglesPixels) {
    Points p;
    Counts counts;
    for (int i = 0; i < 60000; ++i) {
        ScreenVertex a = p.Anywhere(3);
        double reach = i % 2 ? 0.8 : 2.5;
        Check(a, p.Near(a, reach), p.Near(a, reach), counts);
    }
    // Most such triangles fall between the centres and are left out; the rest still show.
    EXPECT_GT(counts.leftOut, 10000);
    EXPECT_GT(counts.drawn, 10000);
}

TEST(ScreenTriangle, ThinAndNearlyFlatTrianglesGiveTheWholeRectanglesPixels) {
    Points p;
    Counts counts;
    for (int i = 0; i < 60000; ++i) {
        ScreenVertex a = p.Anywhere(5), b = p.Anywhere(5);
        // The third corner on the line through the other two, pushed off it by a hair.
        double t = p.Uniform(-0.5, 1.5), off = std::pow(10.0, p.Uniform(-13, -1));
        double dx = b.x - a.x, dy = b.y - a.y, len = std::hypot(dx, dy);
        ScreenVertex c{a.x + t * dx - dy / len * off, a.y + t * dy + dx / len * off, p.Uniform(0.01, 2)};
        if (i % 3 == 0) b = {a.x + p.Uniform(-1e-6, 1e-6), a.y + p.Uniform(-1e-6, 1e-6), 1}; // two corners together
        Check(a, b, c, counts);
    }
    EXPECT_GT(counts.drawn, 1000);
}

TEST(ScreenTriangle, LargeAndFarReachingTrianglesGiveTheWholeRectanglesPixels) {
    Points p;
    Counts counts;
    for (int i = 0; i < 3000; ++i) {
        double margin = i % 3 == 0 ? 1e6 : i % 3 == 1 ? 1e8 : 40;
        Check(p.Anywhere(margin), p.Anywhere(margin), p.Anywhere(40), counts);
    }
    EXPECT_GT(counts.drawn, 1000);
}

} // namespace
