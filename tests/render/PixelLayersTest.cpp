// The see-through layers of a band's pixels: read back from the farthest whatever order they came
// in, an edge covering what lies behind it, and a pixel behind more surfaces than it keeps
// blending almost as all of them would.
#include "host/render/PixelLayers.h"
#include "host/render/Renderer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace {

using Layer = PixelLayers::Layer;

Layer Surface(float z, uint32_t order, Rgb colour, float opacity) { return {z, order, false, 0, colour, opacity}; }

// The renderer's blend of a layer over a pixel.
uint32_t Over(uint32_t p, const Layer& l) {
    if (l.edge) return l.pen;
    auto ch = [](uint32_t v, int shift) { return static_cast<float>((v >> shift) & 0xFF) / 255.0f; };
    const Rgb under{ch(p, 16), ch(p, 8), ch(p, 0)};
    return PackRgb({under.r + (l.colour.r - under.r) * l.opacity, under.g + (l.colour.g - under.g) * l.opacity,
                    under.b + (l.colour.b - under.b) * l.opacity});
}

std::vector<Layer> Read(PixelLayers& layers, size_t pixel) {
    std::vector<Layer> out;
    layers.ForEach(pixel, [&out](const Layer& l) { out.push_back(l); });
    return out;
}

TEST(PixelLayersTest, LayersComeBackFromTheFarthestWhateverTheOrderTheyCameIn) {
    std::vector<Layer> given;
    for (uint32_t i = 0; i + 4 < PixelLayers::kNearest; ++i)
        given.push_back(Surface(0.0105f + 0.001f * static_cast<float>(i), i, {0.1f * static_cast<float>(i % 10), 0.5f, 0.2f}, 0.3f));
    // At one depth a surface lies behind an edge, and the later of two surfaces is nearer.
    given.push_back({0.02f, 70, true, 0x102030, {}, 1});
    given.push_back(Surface(0.02f, 90, {1, 1, 1}, 0.5f));
    given.push_back(Surface(0.03f, 92, {1, 0, 1}, 0.5f));
    given.push_back(Surface(0.03f, 91, {0, 1, 1}, 0.5f));
    std::mt19937 random(7);
    PixelLayers layers;
    for (int round = 0; round < 3; ++round) {
        std::shuffle(given.begin(), given.end(), random);
        layers.Reset(64);
        for (const Layer& l : given) layers.Add(5, l);
        layers.Add(6, Surface(0.5f, 0, {0, 0, 0}, 0.5f));
        ASSERT_TRUE(layers.Any(5));
        ASSERT_FALSE(layers.Any(4));
        const std::vector<Layer> read = Read(layers, 5);
        // The edge covers what lies behind it, the surface it bounds too: the reading starts at it.
        const auto nearer = std::count_if(given.begin(), given.end(), [](const Layer& l) { return l.z > 0.02f; });
        ASSERT_EQ(read.size(), static_cast<size_t>(nearer) + 1);
        EXPECT_TRUE(read.front().edge);
        EXPECT_EQ(read.front().pen, 0x102030u);
        for (size_t i = 1; i < read.size(); ++i) {
            EXPECT_GT(read[i].z, 0.02f);
            EXPECT_LE(read[i - 1].z, read[i].z);
            if (read[i - 1].z == read[i].z) {
                EXPECT_LT(read[i - 1].order, read[i].order);
            }
        }
        EXPECT_EQ(Read(layers, 6).size(), 1u);
    }
}

TEST(PixelLayersTest, TwoLayersComeBackFarthestFirstAndAnEdgeInFrontCoversTheOther) {
    const Layer far = Surface(0.01f, 3, {1, 0, 0}, 0.5f), nearSurface = Surface(0.02f, 1, {0, 1, 0}, 0.5f);
    const Layer nearEdge{0.02f, 1, true, 0x0000FF, {}, 1}, farEdge{0.01f, 3, true, 0x00FF00, {}, 1};
    // At one depth the later surface is the nearer, and a surface lies behind an edge.
    const Layer tieLater = Surface(0.01f, 4, {0, 0, 1}, 0.5f), tieEdge{0.01f, 2, true, 0x00FFFF, {}, 1};
    struct Case {
        Layer a, b;
        std::vector<uint32_t> orders; // read back, farthest first
    };
    for (const Case& c : {Case{far, nearSurface, {3, 1}}, Case{far, nearEdge, {1}}, Case{farEdge, nearSurface, {3, 1}},
                          Case{far, tieLater, {3, 4}}, Case{tieLater, tieEdge, {2}}}) {
        for (bool swapped : {false, true}) {
            PixelLayers layers;
            layers.Reset(4);
            layers.Add(2, swapped ? c.b : c.a);
            layers.Add(2, swapped ? c.a : c.b);
            std::vector<uint32_t> orders;
            for (const Layer& l : Read(layers, 2)) orders.push_back(l.order);
            EXPECT_EQ(orders, c.orders) << c.a.order << " " << c.b.order << (swapped ? " swapped" : "");
        }
    }
}

TEST(PixelLayersTest, APixelBehindManySurfacesKeepsTheNearestAndPoolsTheRestBehindThem) {
    // A ghost of a large model: dozens of faces at 85 % transparency one behind the other.
    constexpr uint32_t kFaces = 80;
    std::vector<Layer> given;
    for (uint32_t i = 0; i < kFaces; ++i) {
        const float shade = 0.4f + 0.5f * static_cast<float>(i % 7) / 6.0f;
        given.push_back(Surface(0.001f * static_cast<float>(i + 1), i, {shade, shade, 0.8f}, 0.15f));
    }
    // Each blend rounds to whole levels and lets 85 % of the level before through, so even
    // blending every face in order lands within 0.5 / 0.15 levels of the unrounded blend.
    double exact[3] = {0, 1, 0};
    for (const Layer& l : given) {
        const float c[3] = {l.colour.r, l.colour.g, l.colour.b};
        for (int k = 0; k < 3; ++k) exact[k] += (c[k] - exact[k]) * l.opacity;
    }
    std::mt19937 random(11);
    std::shuffle(given.begin(), given.end(), random);
    PixelLayers layers;
    layers.Reset(1);
    for (const Layer& l : given) layers.Add(0, l);
    const std::vector<Layer> read = Read(layers, 0);
    ASSERT_EQ(read.size(), PixelLayers::kNearest + 1);
    // First the pooled farther ones, letting through what all of them together let through.
    EXPECT_NEAR(read.front().opacity, 1 - std::pow(0.85, kFaces - PixelLayers::kNearest), 1e-4);
    for (uint32_t i = 1; i < read.size(); ++i) EXPECT_EQ(read[i].order, kFaces - PixelLayers::kNearest + i - 1);
    uint32_t p = 0x00FF00;
    for (const Layer& l : read) p = Over(p, l);
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(static_cast<double>(p >> (16 - 8 * k) & 0xFF), exact[k] * 255, 4) << k;
}

} // namespace
