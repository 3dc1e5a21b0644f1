#pragma once
// The host's software renderer. The 3D window draws flat-shaded surfaces with the elements'
// contour pens on their edges; the photo window lights every pixel from the sun with soft
// shadows and a sky. Single-threaded and free of time or randomness: the same scene, camera
// and size give the same pixels.
#include "host/render/Scene.h"

#include <cstdint>
#include <vector>

struct Image {
    int32_t width = 0, height = 0;
    std::vector<uint32_t> pixels; // 0x00RRGGBB, rows from the top

    uint32_t At(int32_t x, int32_t y) const {
        return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
    }
};

enum class RenderStyle { Window3D, Photo };

Image RenderScene(const Scene& scene, const ViewCamera& camera, int32_t width, int32_t height, RenderStyle style,
                  Rgb background);

inline uint32_t PackRgb(Rgb c) {
    auto q = [](float v) { return static_cast<uint32_t>(v <= 0 ? 0 : v >= 1 ? 255 : v * 255.0f + 0.5f); };
    return q(c.r) << 16 | q(c.g) << 8 | q(c.b);
}
