#include "pixkit/PXPixMapToDIB.h"

#include "compatkit/CKBitmapHeader.h"
#include "pixkit/PXPixMap.h"

#include <cstring>

BKHandle PXPixMapToDIB(BKHandle pixMap) {
    const uint8_t* src = BKHandleData(pixMap);
    size_t srcSize = BKHandleSize(pixMap);
    if (src == nullptr) return 0;
    auto info = PXReadPixMapInfo(std::span<const uint8_t>(src, srcSize));
    if (!info) return 0;

    bool indexed = info->format == PXPixelFormat::Indexed8;
    uint16_t bits = indexed ? 8 : 32;
    uint32_t rowBytes = CKRowBytes(info->width, bits);
    size_t tableBytes = static_cast<size_t>(info->colourCount) * 4;
    size_t imageBytes = static_cast<size_t>(rowBytes) * info->height;
    size_t size = kCKBitmapHeaderSize + tableBytes + imageBytes;

    BKHandle dib = BKNewHandle(size);
    uint8_t* out = BKHandleData(dib);
    if (out == nullptr) {
        BKDisposeHandle(dib);
        return 0;
    }
    // The block may have moved with the allocation above.
    src = BKHandleData(pixMap);

    CKBitmapHeader h;
    h.biWidth = info->width;
    h.biHeight = info->height;
    h.biBitCount = bits;
    h.biSizeImage = static_cast<uint32_t>(imageBytes);
    h.biClrUsed = indexed && info->colourCount < 256 ? info->colourCount : 0;
    CKWriteBitmapHeader(std::span<uint8_t>(out, size), h);
    if (tableBytes) std::memcpy(out + kCKBitmapHeaderSize, src + info->colourTableOffset, tableBytes);

    size_t copy = static_cast<size_t>(info->width) * (indexed ? 1 : 4);
    uint8_t* bitsOut = out + kCKBitmapHeaderSize + tableBytes;
    for (int32_t y = 0; y < info->height; ++y) {
        const uint8_t* row = src + info->pixelOffset + static_cast<size_t>(y) * info->rowBytes;
        std::memcpy(bitsOut + static_cast<size_t>(info->height - 1 - y) * rowBytes, row, copy);
    }
    return dib;
}
