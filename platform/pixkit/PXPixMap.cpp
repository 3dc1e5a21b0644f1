#include "pixkit/PXPixMap.h"

#include "bytes/LittleEndian.h"

namespace {

uint32_t BytesPerPixel(PXPixelFormat format) { return format == PXPixelFormat::Rgb32 ? 4 : 1; }

bool ColourCountFits(PXPixelFormat format, uint32_t colours) {
    return format == PXPixelFormat::Indexed8 ? colours >= 1 && colours <= 256 : colours == 0;
}

} // namespace

std::optional<PXPixMapInfo> PXReadPixMapInfo(std::span<const uint8_t> block) {
    if (block.size() < kPXHeaderSize) return std::nullopt;
    if (LE::Get<uint32_t>(block, 0) != kPXMagic || LE::Get<uint16_t>(block, 4) != kPXVersion) return std::nullopt;
    PXPixMapInfo info;
    uint16_t format = LE::Get<uint16_t>(block, 6);
    if (format != static_cast<uint16_t>(PXPixelFormat::Rgb32) && format != static_cast<uint16_t>(PXPixelFormat::Indexed8))
        return std::nullopt;
    info.format = static_cast<PXPixelFormat>(format);
    info.width = LE::Get<int32_t>(block, 8);
    info.height = LE::Get<int32_t>(block, 12);
    info.rowBytes = LE::Get<int32_t>(block, 16);
    info.colourCount = LE::Get<uint32_t>(block, 20);
    if (info.width < 1 || info.width > kPXMaxSide || info.height < 1 || info.height > kPXMaxSide) return std::nullopt;
    if (!ColourCountFits(info.format, info.colourCount)) return std::nullopt;
    if (static_cast<int64_t>(info.rowBytes) < static_cast<int64_t>(info.width) * BytesPerPixel(info.format))
        return std::nullopt;
    info.colourTableOffset = kPXHeaderSize;
    info.pixelOffset = kPXHeaderSize + static_cast<size_t>(info.colourCount) * 4;
    uint64_t pixels = static_cast<uint64_t>(info.rowBytes) * static_cast<uint64_t>(info.height);
    if (info.pixelOffset > block.size() || pixels > block.size() - info.pixelOffset) return std::nullopt;
    return info;
}

std::optional<PXPixMapInfo> PXReadPixMapInfo(BKHandle pixMap) {
    const uint8_t* data = BKHandleData(pixMap);
    if (data == nullptr) return std::nullopt;
    return PXReadPixMapInfo(std::span<const uint8_t>(data, BKHandleSize(pixMap)));
}

BKHandle PXNewPixMap(int32_t width, int32_t height, PXPixelFormat format, uint32_t colourCount) {
    if (width < 1 || width > kPXMaxSide || height < 1 || height > kPXMaxSide) return 0;
    if (!ColourCountFits(format, colourCount)) return 0;
    uint32_t rowBytes = static_cast<uint32_t>(width) * BytesPerPixel(format);
    size_t size = kPXHeaderSize + static_cast<size_t>(colourCount) * 4 + static_cast<size_t>(rowBytes) * height;
    BKHandle h = BKNewHandle(size);
    uint8_t* data = BKHandleData(h);
    if (data == nullptr) {
        BKDisposeHandle(h);
        return 0;
    }
    std::span<uint8_t> block(data, size);
    LE::Put<uint32_t>(block, 0, kPXMagic);
    LE::Put<uint16_t>(block, 4, kPXVersion);
    LE::Put<uint16_t>(block, 6, static_cast<uint16_t>(format));
    LE::Put<int32_t>(block, 8, width);
    LE::Put<int32_t>(block, 12, height);
    LE::Put<int32_t>(block, 16, static_cast<int32_t>(rowBytes));
    LE::Put<uint32_t>(block, 20, colourCount);
    return h;
}
