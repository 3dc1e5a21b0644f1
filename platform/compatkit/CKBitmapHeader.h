#pragma once
// The device-independent bitmap's information header (40 bytes, little-endian), as it leads a
// packed bitmap: header, colour table, then the rows from bottom to top.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

struct CKBitmapHeader {
    uint32_t biSize = 40;
    int32_t biWidth = 0;
    int32_t biHeight = 0; // positive: rows stored bottom-up
    uint16_t biPlanes = 1;
    uint16_t biBitCount = 0;
    uint32_t biCompression = 0; // 0 = BI_RGB, 3 = BI_BITFIELDS, else a four-character code
    uint32_t biSizeImage = 0;
    int32_t biXPelsPerMeter = 0;
    int32_t biYPelsPerMeter = 0;
    uint32_t biClrUsed = 0;
    uint32_t biClrImportant = 0;
};

inline constexpr size_t kCKBitmapHeaderSize = 40;
inline constexpr uint32_t kCKBiRgb = 0;
inline constexpr uint32_t kCKBiBitfields = 3;

// Reads the header at the front of `bytes`; none when the bytes are too short or biSize is
// smaller than 40 or larger than the bytes.
std::optional<CKBitmapHeader> CKReadBitmapHeader(std::span<const uint8_t> bytes);
// Writes the 40 header bytes; false when `bytes` is shorter.
bool CKWriteBitmapHeader(std::span<uint8_t> bytes, const CKBitmapHeader& header);
// Bytes of one stored row: bits per pixel times width, rounded up to 32 bits. 0 when it overflows.
uint32_t CKRowBytes(int32_t width, uint32_t bitsPerPixel);
