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
    av_frame_free(&frame_);
    // Same size on both sides: the scaler only converts.
    sws_ = sws_getContext(source.width, source.height, source.pixelFormat, source.width, source.height, target,
                          SWS_BILINEAR, nullptr, nullptr, nullptr);
    frame_ = av_frame_alloc();
    if (sws_ == nullptr || frame_ == nullptr) return false;
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
    if (sws_scale(sws_, planes, strides, 0, source_.height, frame_->data, frame_->linesize) != source_.height)
        return nullptr;
    if (frame_->width != source_.width || frame_->height != source_.height) PadEdges();
    return frame_;
}

void AVIPictureConverter::PadEdges() {
    // Only packed formats are padded (the block codecs take packed RGB).
    const AVPixFmtDescriptor* desc = av_pix_fmt_desc_get(static_cast<AVPixelFormat>(frame_->format));
    size_t bpp = static_cast<size_t>(av_get_bits_per_pixel(desc)) / 8;
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
