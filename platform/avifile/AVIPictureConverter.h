#pragma once
// Turns one uncompressed bitmap into a picture an encoder takes: another pixel format, rows top
// to bottom, and padded by repeating the last column and row when the encoder needs a larger size.
#include "avifile/AVIDibFormat.h"

extern "C" {
#include <libavutil/frame.h>
#include <libswscale/swscale.h>
}

#include <cstddef>
#include <span>

class AVIPictureConverter {
public:
    AVIPictureConverter() = default;
    AVIPictureConverter(const AVIPictureConverter&) = delete;
    AVIPictureConverter& operator=(const AVIPictureConverter&) = delete;
    ~AVIPictureConverter();

    // False when FFmpeg cannot convert between the two formats or memory runs out.
    bool Open(const AVIDibFormat& source, AVPixelFormat target, int targetWidth, int targetHeight);
    // The converted picture, owned by the converter and valid until the next call; nullptr
    // when `bits` is shorter than one image.
    AVFrame* Convert(std::span<const uint8_t> bits);

private:
    void PadEdges();
    void To555(const uint8_t* top, ptrdiff_t stride);

    AVIDibFormat source_;
    SwsContext* sws_ = nullptr;
    bool direct555_ = false;
    AVFrame* frame_ = nullptr;
};
