#include "avifile/AVIPictureConverter.h"

extern "C" {
#include <libavutil/pixdesc.h>
}

#include <cstring>

AVIPictureConverter::~AVIPictureConverter() {
    sws_freeContext(sws_);
    av_frame_free(&frame_);
}

bool AVIPictureConverter::Open(const AVIDibFormat& source, AVPixelFormat target, int targetWidth, int targetHeight) {
    source_ = source;
    sws_freeContext(sws_);
    sws_ = nullptr;
    av_frame_free(&frame_);
    // FFmpeg's scaler gets the last pixel of an odd-width row wrong when it packs to 5-5-5, so
    // that conversion is ours; elsewhere, same size on both sides: the scaler only converts.
    direct555_ = target == AV_PIX_FMT_RGB555LE;
    if (!direct555_)
        sws_ = sws_getContext(source.width, source.height, source.pixelFormat, source.width, source.height, target,
                              SWS_BILINEAR, nullptr, nullptr, nullptr);
    frame_ = av_frame_alloc();
    if ((sws_ == nullptr && !direct555_) || frame_ == nullptr) return false;
    frame_->format = target;
    frame_->width = targetWidth;
    frame_->height = targetHeight;
    return av_frame_get_buffer(frame_, 0) >= 0;
}

AVFrame* AVIPictureConverter::Convert(std::span<const uint8_t> bits) {
    if (frame_ == nullptr || bits.size() < source_.imageSize) return nullptr;
    // The encoder may still hold the previous picture.
    if (av_frame_make_writable(frame_) < 0) return nullptr;
    const uint8_t* planes[4] = {bits.data(), nullptr, nullptr, nullptr};
    int strides[4] = {static_cast<int>(source_.rowBytes), 0, 0, 0};
    if (source_.bottomUp) {
        planes[0] = bits.data() + static_cast<size_t>(source_.height - 1) * source_.rowBytes;
        strides[0] = -strides[0];
    }
    if (source_.pixelFormat == AV_PIX_FMT_PAL8) {
        planes[1] = reinterpret_cast<const uint8_t*>(source_.palette.data());
        strides[1] = 0;
    }
    if (direct555_)
        To555(planes[0], strides[0]);
    else if (sws_scale(sws_, planes, strides, 0, source_.height, frame_->data, frame_->linesize) != source_.height)
        return nullptr;
    if (frame_->width != source_.width || frame_->height != source_.height) PadEdges();
    return frame_;
}

void AVIPictureConverter::To555(const uint8_t* top, ptrdiff_t stride) {
    for (int y = 0; y < source_.height; ++y) {
        const uint8_t* in = top + y * stride;
        uint8_t* out = frame_->data[0] + static_cast<ptrdiff_t>(y) * frame_->linesize[0];
        for (int x = 0; x < source_.width; ++x) {
            uint32_t b = 0, g = 0, r = 0;
            switch (source_.pixelFormat) {
            case AV_PIX_FMT_RGB555LE:
                out[2 * x] = in[2 * x];
                out[2 * x + 1] = in[2 * x + 1];
                continue;
            case AV_PIX_FMT_PAL8: {
                uint32_t c = source_.palette[in[x]];
                b = c & 0xFF;
                g = (c >> 8) & 0xFF;
                r = (c >> 16) & 0xFF;
                break;
            }
            case AV_PIX_FMT_BGR24: b = in[3 * x], g = in[3 * x + 1], r = in[3 * x + 2]; break;
            default: b = in[4 * x], g = in[4 * x + 1], r = in[4 * x + 2]; break;
            }
            uint32_t v = (r >> 3) << 10 | (g >> 3) << 5 | (b >> 3);
            out[2 * x] = static_cast<uint8_t>(v);
            out[2 * x + 1] = static_cast<uint8_t>(v >> 8);
        }
    }
}

void AVIPictureConverter::PadEdges() {
    // Only packed formats are padded (the block codecs take packed RGB). The step of the first
    // component is the whole pixel's size; bits per pixel would be 15 for RGB555.
    const AVPixFmtDescriptor* desc = av_pix_fmt_desc_get(static_cast<AVPixelFormat>(frame_->format));
    size_t bpp = static_cast<size_t>(desc->comp[0].step);
    size_t used = static_cast<size_t>(source_.width) * bpp;
    size_t full = static_cast<size_t>(frame_->width) * bpp;
    for (int y = 0; y < source_.height; ++y) {
        uint8_t* row = frame_->data[0] + static_cast<ptrdiff_t>(y) * frame_->linesize[0];
        for (size_t x = used; x < full; x += bpp) std::memcpy(row + x, row + used - bpp, bpp);
    }
    const uint8_t* last = frame_->data[0] + static_cast<ptrdiff_t>(source_.height - 1) * frame_->linesize[0];
    for (int y = source_.height; y < frame_->height; ++y)
        std::memcpy(frame_->data[0] + static_cast<ptrdiff_t>(y) * frame_->linesize[0], last, full);
}
