#pragma once
// The host's picture ("pixel map") as it travels in a BaseKit memory block. The renderer makes
// it, the movie writers take it. Stored form, little-endian, read and written field by field:
//
//   offset size
//    0      4   magic, the bytes "QPXM"
//    4      2   version, 1
//    6      2   pixel format: 1 = 32 bits a pixel, bytes blue, green, red, unused;
//                             2 = 8-bit indexes into the colour table
//    8      4   width in pixels, 1 to 32767
//   12      4   height in pixels, 1 to 32767
//   16      4   row bytes, at least width times bytes per pixel
//   20      4   colours in the table: 1 to 256 for indexed pictures, 0 otherwise
//   24          colour table, 4 bytes a colour: blue, green, red, 0
//    ...        rows from top to bottom, row bytes apart
#include "basekit/BKMemory.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

enum class PXPixelFormat : uint16_t { Rgb32 = 1, Indexed8 = 2 };

inline constexpr uint32_t kPXMagic = 0x4D585051; // "QPXM"
inline constexpr uint16_t kPXVersion = 1;
inline constexpr size_t kPXHeaderSize = 24;
inline constexpr int32_t kPXMaxSide = 32767;

struct PXPixMapInfo {
    PXPixelFormat format = PXPixelFormat::Rgb32;
    int32_t width = 0;
    int32_t height = 0;
    int32_t rowBytes = 0;
    uint32_t colourCount = 0;
    size_t colourTableOffset = kPXHeaderSize;
    size_t pixelOffset = kPXHeaderSize;
};

// The picture's description; none when the header is damaged or the block too short for it.
std::optional<PXPixMapInfo> PXReadPixMapInfo(std::span<const uint8_t> block);
std::optional<PXPixMapInfo> PXReadPixMapInfo(BKHandle pixMap);

// A new picture with zeroed pixels (and a zeroed colour table of `colourCount` entries for an
// indexed one); 0 for impossible sizes or when memory runs out.
BKHandle PXNewPixMap(int32_t width, int32_t height, PXPixelFormat format, uint32_t colourCount = 0);
