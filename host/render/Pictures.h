#pragma once
// Rendered images as PNG files and as the host's pictures (PixKit pixel maps).
#include "basekit/BKMemory.h"
#include "basekit/OwnedHandle.h"
#include "host/render/Renderer.h"

#include <optional>
#include <string>

bool WritePng(const std::string& path, const Image& image, std::string& error);
// Reads an 8-bit RGB or RGBA PNG (the host's own files, for tests and checks).
std::optional<Image> ReadPng(const std::string& path, std::string& error);

// A new 32-bit picture; 0 when memory runs out.
BKHandle ImageToPixMap(const Image& image);
// The picture's pixels; none for a damaged block or an indexed picture.
std::optional<Image> PixMapToImage(BKHandle pixMap);
// Puts the pixels back into a 32-bit picture of the same size; false otherwise.
bool ImageIntoPixMap(const Image& image, BKHandle pixMap);
// The pixels of a 32-bit picture, to be drawn on where they lie: its bytes blue, green, red,
// unused are a little-endian 0x00RRGGBB. None for a damaged block, an indexed picture, or rows
// that do not start on a whole pixel.
std::optional<PixelView> PixMapPixels(BKHandle pixMap);
// A new 32-bit picture of the window's size with `draw` called on its pixels; 0 when memory runs out.
template <typename F> BKHandle NewPixMapDrawn(int32_t width, int32_t height, F&& draw);

BKHandle NewPixMap32(int32_t width, int32_t height);

template <typename F> BKHandle NewPixMapDrawn(int32_t width, int32_t height, F&& draw) {
    OwnedHandle h(NewPixMap32(width, height));
    if (!h) return 0;
    auto view = PixMapPixels(h.Get());
    if (!view) return 0;
    draw(*view);
    return h.Release();
}
