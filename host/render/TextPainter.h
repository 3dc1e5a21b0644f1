#pragma once
// Text on rendered pictures, drawn with FreeType from the DejaVu fonts the platform installs.
#include "host/render/Renderer.h"

#include <string>

struct TextExtent {
    int32_t width = 0;   // advance of the whole line in pixels
    int32_t ascent = 0;  // above the baseline
    int32_t descent = 0; // below the baseline
};

// False when no font can be loaded (the text is then not drawn).
bool MeasureText(const std::u32string& text, int32_t pixelHeight, TextExtent& extent);
// Draws one line with its baseline at `baseline`, blending the glyphs' coverage into the image.
bool DrawText(const PixelView& image, const std::u32string& text, int32_t x, int32_t baseline, int32_t pixelHeight, Rgb colour);
inline bool DrawText(Image& image, const std::u32string& text, int32_t x, int32_t baseline, int32_t pixelHeight, Rgb colour) {
    return DrawText(ViewOf(image), text, x, baseline, pixelHeight, colour);
}
