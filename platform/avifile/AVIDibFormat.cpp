#include "avifile/AVIDibFormat.h"

#include "bytes/LittleEndian.h"
#include "compatkit/CKBitmapHeader.h"

std::optional<AVIDibFormat> AVIReadDibFormat(std::span<const uint8_t> format) {
    auto h = CKReadBitmapHeader(format);
    if (!h || h->biCompression != kCKBiRgb || h->biPlanes != 1) return std::nullopt;
    if (h->biWidth <= 0 || h->biWidth > 32767 || h->biHeight == 0 || h->biHeight < -32767 || h->biHeight > 32767)
        return std::nullopt;
    AVIDibFormat f;
    f.width = h->biWidth;
    f.height = h->biHeight < 0 ? -h->biHeight : h->biHeight;
    f.bottomUp = h->biHeight > 0;
    switch (h->biBitCount) {
    case 8: f.pixelFormat = AV_PIX_FMT_PAL8; break;
    case 16: f.pixelFormat = AV_PIX_FMT_RGB555LE; break;
    case 24: f.pixelFormat = AV_PIX_FMT_BGR24; break;
    case 32: f.pixelFormat = AV_PIX_FMT_BGR0; break;
    default: return std::nullopt;
    }
    if (h->biBitCount == 8) {
        uint32_t colours = h->biClrUsed == 0 ? 256 : h->biClrUsed;
        if (colours > 256) return std::nullopt;
        size_t table = h->biSize;
        if (format.size() < table || (format.size() - table) / 4 < colours) return std::nullopt;
        for (uint32_t i = 0; i < colours; ++i)
            f.palette[i] = 0xFF000000u | (LE::Get<uint32_t>(format, table + 4 * i) & 0x00FFFFFFu);
    }
    f.rowBytes = CKRowBytes(f.width, h->biBitCount);
    f.imageSize = f.rowBytes * static_cast<uint32_t>(f.height);
    return f;
}
