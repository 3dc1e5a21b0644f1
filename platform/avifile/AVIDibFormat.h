#pragma once
// The uncompressed bitmaps a compressed stream takes, read from the format its writer sets.
extern "C" {
#include <libavutil/pixfmt.h>
}

#include <array>
#include <cstdint>
#include <optional>
#include <span>

struct AVIDibFormat {
    int32_t width = 0;
    int32_t height = 0;     // rows, always positive
    bool bottomUp = true;   // rows stored from the bottom (the bitmap's positive height)
    AVPixelFormat pixelFormat = AV_PIX_FMT_NONE;
    uint32_t rowBytes = 0;
    uint32_t imageSize = 0;
    std::array<uint32_t, 256> palette{}; // 8-bit bitmaps: FFmpeg's 0xAARRGGBB, opaque
};

// Reads a bitmap information header with its colour table. Takes 8-bit (with colour table),
// 16-bit (5-5-5), 24-bit and 32-bit uncompressed bitmaps up to 32767 pixels a side.
std::optional<AVIDibFormat> AVIReadDibFormat(std::span<const uint8_t> format);
