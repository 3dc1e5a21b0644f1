#include "compatkit/CKBitmapHeader.h"

#include "bytes/LittleEndian.h"

std::optional<CKBitmapHeader> CKReadBitmapHeader(std::span<const uint8_t> bytes) {
    if (bytes.size() < kCKBitmapHeaderSize) return std::nullopt;
    CKBitmapHeader h;
    h.biSize = LE::Get<uint32_t>(bytes, 0);
    if (h.biSize < kCKBitmapHeaderSize || h.biSize > bytes.size()) return std::nullopt;
    h.biWidth = LE::Get<int32_t>(bytes, 4);
    h.biHeight = LE::Get<int32_t>(bytes, 8);
    h.biPlanes = LE::Get<uint16_t>(bytes, 12);
    h.biBitCount = LE::Get<uint16_t>(bytes, 14);
    h.biCompression = LE::Get<uint32_t>(bytes, 16);
    h.biSizeImage = LE::Get<uint32_t>(bytes, 20);
    h.biXPelsPerMeter = LE::Get<int32_t>(bytes, 24);
    h.biYPelsPerMeter = LE::Get<int32_t>(bytes, 28);
    h.biClrUsed = LE::Get<uint32_t>(bytes, 32);
    h.biClrImportant = LE::Get<uint32_t>(bytes, 36);
    return h;
}

bool CKWriteBitmapHeader(std::span<uint8_t> bytes, const CKBitmapHeader& h) {
    if (bytes.size() < kCKBitmapHeaderSize) return false;
    LE::Put<uint32_t>(bytes, 0, h.biSize);
    LE::Put<int32_t>(bytes, 4, h.biWidth);
    LE::Put<int32_t>(bytes, 8, h.biHeight);
    LE::Put<uint16_t>(bytes, 12, h.biPlanes);
    LE::Put<uint16_t>(bytes, 14, h.biBitCount);
    LE::Put<uint32_t>(bytes, 16, h.biCompression);
    LE::Put<uint32_t>(bytes, 20, h.biSizeImage);
    LE::Put<int32_t>(bytes, 24, h.biXPelsPerMeter);
    LE::Put<int32_t>(bytes, 28, h.biYPelsPerMeter);
    LE::Put<uint32_t>(bytes, 32, h.biClrUsed);
    LE::Put<uint32_t>(bytes, 36, h.biClrImportant);
    return true;
}

uint32_t CKRowBytes(int32_t width, uint32_t bitsPerPixel) {
    if (width <= 0 || bitsPerPixel == 0 || bitsPerPixel > 64) return 0;
    uint64_t bits = static_cast<uint64_t>(width) * bitsPerPixel;
    uint64_t bytes = (bits + 31) / 32 * 4;
    return bytes > UINT32_MAX ? 0 : static_cast<uint32_t>(bytes);
}
