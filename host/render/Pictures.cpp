#include "host/render/Pictures.h"

#include "bytes/LittleEndian.h"
#include "pixkit/PXPixMap.h"

#include <png.h>

#include <bit>
#include <cstring>
#include <vector>

bool WritePng(const std::string& path, const Image& image, std::string& error) {
    if (image.width < 1 || image.height < 1 ||
        image.pixels.size() != static_cast<size_t>(image.width) * static_cast<size_t>(image.height)) {
        error = "empty picture";
        return false;
    }
    std::vector<png_byte> buffer(image.pixels.size() * 3);
    for (size_t i = 0; i < image.pixels.size(); ++i) {
        uint32_t p = image.pixels[i];
        buffer[3 * i] = static_cast<png_byte>(p >> 16);
        buffer[3 * i + 1] = static_cast<png_byte>(p >> 8);
        buffer[3 * i + 2] = static_cast<png_byte>(p);
    }
    png_image pi{};
    pi.version = PNG_IMAGE_VERSION;
    pi.width = static_cast<png_uint_32>(image.width);
    pi.height = static_cast<png_uint_32>(image.height);
    pi.format = PNG_FORMAT_RGB;
    if (!png_image_write_to_file(&pi, path.c_str(), 0, buffer.data(), 0, nullptr)) {
        error = "cannot write " + path;
        png_image_free(&pi);
        return false;
    }
    return true;
}

std::optional<Image> ReadPng(const std::string& path, std::string& error) {
    png_image pi{};
    pi.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&pi, path.c_str())) {
        error = "cannot read " + path;
        return std::nullopt;
    }
    pi.format = PNG_FORMAT_RGB;
    if (pi.width < 1 || pi.height < 1 || pi.width > 32767 || pi.height > 32767) {
        png_image_free(&pi);
        error = "picture too large";
        return std::nullopt;
    }
    std::vector<png_byte> buffer(PNG_IMAGE_SIZE(pi));
    if (!png_image_finish_read(&pi, nullptr, buffer.data(), 0, nullptr)) {
        png_image_free(&pi);
        error = "cannot read " + path;
        return std::nullopt;
    }
    Image image;
    image.width = static_cast<int32_t>(pi.width);
    image.height = static_cast<int32_t>(pi.height);
    image.pixels.resize(static_cast<size_t>(pi.width) * pi.height);
    for (size_t i = 0; i < image.pixels.size(); ++i)
        image.pixels[i] = static_cast<uint32_t>(buffer[3 * i]) << 16 | static_cast<uint32_t>(buffer[3 * i + 1]) << 8 | buffer[3 * i + 2];
    return image;
}

BKHandle ImageToPixMap(const Image& image) {
    OwnedHandle h(PXNewPixMap(image.width, image.height, PXPixelFormat::Rgb32));
    if (!h || !ImageIntoPixMap(image, h.Get())) return 0;
    return h.Release();
}

std::optional<Image> PixMapToImage(BKHandle pixMap) {
    auto info = PXReadPixMapInfo(pixMap);
    if (!info || info->format != PXPixelFormat::Rgb32) return std::nullopt;
    const uint8_t* data = BKHandleData(pixMap);
    Image image;
    image.width = info->width;
    image.height = info->height;
    image.pixels.resize(static_cast<size_t>(info->width) * static_cast<size_t>(info->height));
    for (int32_t y = 0; y < info->height; ++y) {
        const uint8_t* row = data + info->pixelOffset + static_cast<size_t>(y) * static_cast<size_t>(info->rowBytes);
        for (int32_t x = 0; x < info->width; ++x) {
            const uint8_t* p = row + 4 * static_cast<size_t>(x);
            image.pixels[static_cast<size_t>(y) * static_cast<size_t>(info->width) + static_cast<size_t>(x)] =
                static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[0];
        }
    }
    return image;
}

bool ImageIntoPixMap(const Image& image, BKHandle pixMap) {
    auto info = PXReadPixMapInfo(pixMap);
    if (!info || info->format != PXPixelFormat::Rgb32 || info->width != image.width || info->height != image.height ||
        image.pixels.size() != static_cast<size_t>(image.width) * static_cast<size_t>(image.height))
        return false;
    uint8_t* data = BKHandleData(pixMap);
    for (int32_t y = 0; y < info->height; ++y) {
        uint8_t* row = data + info->pixelOffset + static_cast<size_t>(y) * static_cast<size_t>(info->rowBytes);
        for (int32_t x = 0; x < info->width; ++x) {
            uint32_t v = image.At(x, y);
            uint8_t* p = row + 4 * static_cast<size_t>(x);
            p[0] = static_cast<uint8_t>(v);
            p[1] = static_cast<uint8_t>(v >> 8);
            p[2] = static_cast<uint8_t>(v >> 16);
            p[3] = 0;
        }
    }
    return true;
}

std::optional<PixelView> PixMapPixels(BKHandle pixMap) {
    static_assert(std::endian::native == std::endian::little, "the pixel map's bytes are read as little-endian words");
    auto info = PXReadPixMapInfo(pixMap);
    if (!info || info->format != PXPixelFormat::Rgb32 || info->rowBytes % 4 != 0) return std::nullopt;
    uint8_t* first = BKHandleData(pixMap) + info->pixelOffset;
    if (reinterpret_cast<uintptr_t>(first) % alignof(uint32_t) != 0) return std::nullopt;
    return PixelView{reinterpret_cast<uint32_t*>(first), info->width, info->height, info->rowBytes / 4};
}

BKHandle NewPixMap32(int32_t width, int32_t height) { return PXNewPixMap(width, height, PXPixelFormat::Rgb32); }
