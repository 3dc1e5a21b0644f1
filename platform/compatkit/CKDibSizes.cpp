#include "compatkit/CKDibSizes.h"

#include "compatkit/CKBitmapHeader.h"

bool CKGetDIBSizes(std::span<const uint8_t> dib, uint32_t& headerSize, uint32_t& imageSize) {
    auto h = CKReadBitmapHeader(dib);
    if (!h || h->biWidth <= 0 || h->biHeight == 0 || h->biHeight == INT32_MIN || h->biPlanes != 1) return false;
    uint32_t bits = h->biBitCount;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;

    uint64_t colours = h->biClrUsed;
    if (colours == 0 && bits <= 8) colours = 1u << bits;
    if (bits <= 8 && colours > (1u << bits)) return false;
    uint64_t header = h->biSize + colours * 4;
    if (h->biCompression == kCKBiBitfields && h->biSize == kCKBitmapHeaderSize) header += 12;

    uint64_t image = h->biSizeImage;
    if (h->biCompression == kCKBiRgb || h->biCompression == kCKBiBitfields) {
        uint32_t row = CKRowBytes(h->biWidth, bits);
        if (row == 0) return false;
        uint64_t rows = h->biHeight < 0 ? -static_cast<int64_t>(h->biHeight) : h->biHeight;
        image = row * rows;
    }
    if (image == 0 || header > dib.size() || image > dib.size() - header) return false;
    headerSize = static_cast<uint32_t>(header);
    imageSize = static_cast<uint32_t>(image);
    return true;
}
