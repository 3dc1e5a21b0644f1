#pragma once
// The host's software renderer. The 3D window draws flat-shaded surfaces with the elements'
// contour pens on their edges; the photo window lights every pixel from the sun with soft
// shadows and a sky. See-through surfaces (glass) blend over what lies behind them, the farthest
// first, in both. Free of time or randomness: the same scene, camera and size give the same
// pixels.
//
// The picture is cut into tiles (bands of whole rows) that the renderer's threads draw side by
// side. A pixel's value depends only on the scene, the camera and the pixel, never on the tile it
// falls in or on the thread that draws it, so any thread count and any tile height give the same
// bytes. The renderer draws straight into the caller's pixels (an `Image`, or the host's pixel
// map through a `PixelView`).
#include "host/render/Scene.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

struct Image {
    int32_t width = 0, height = 0;
    std::vector<uint32_t> pixels; // 0x00RRGGBB, rows from the top

    uint32_t At(int32_t x, int32_t y) const {
        return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
    }
};

// Pixels someone else owns: 32-bit values 0x00RRGGBB (in memory on this little-endian platform:
// blue, green, red, 0, the host's pixel map format), rows from the top `stride` pixels apart.
struct PixelView {
    uint32_t* pixels = nullptr;
    int32_t width = 0, height = 0;
    ptrdiff_t stride = 0;

    uint32_t* Row(int32_t y) const { return pixels + static_cast<ptrdiff_t>(y) * stride; }
    uint32_t& At(int32_t x, int32_t y) const { return Row(y)[x]; }
};

// The image's pixels as a view (the image must already have its size).
inline PixelView ViewOf(Image& image) { return {image.pixels.data(), image.width, image.height, image.width}; }

enum class RenderStyle { Window3D, Photo };

class Renderer {
public:
    static constexpr int32_t kDefaultTileRows = 16;

    // `threads`: how many threads draw the tiles, the caller's among them (0: one a processor
    // core). `tileRows`: the height of a tile. Neither changes a single pixel.
    explicit Renderer(int32_t threads = 0, int32_t tileRows = kDefaultTileRows);
    ~Renderer();
    Renderer(const Renderer&) = delete;
    Renderer& operator=(const Renderer&) = delete;

    // Draws into every pixel of `target`. Calls from several threads wait for each other.
    void Render(const Scene& scene, const ViewCamera& camera, const PixelView& target, RenderStyle style, Rgb background);
    Image Render(const Scene& scene, const ViewCamera& camera, int32_t width, int32_t height, RenderStyle style,
                 Rgb background);

    int32_t Threads() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// The host's renderer, one for the program, drawing on every core.
Renderer& SharedRenderer();

Image RenderScene(const Scene& scene, const ViewCamera& camera, int32_t width, int32_t height, RenderStyle style,
                  Rgb background);

inline uint32_t PackRgb(Rgb c) {
    // Held to [0, 1] by selects rather than branches: every see-through layer packs its blend,
    // and a level rounds the same either way. Not a number gives 0.
    auto q = [](float v) {
        float c = v > 0 ? v : 0.0f;
        c = c < 1 ? c : 1.0f;
        return static_cast<uint32_t>(c * 255.0f + 0.5f);
    };
    return q(c.r) << 16 | q(c.g) << 8 | q(c.b);
}
