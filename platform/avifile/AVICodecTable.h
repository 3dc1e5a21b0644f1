#pragma once
// Which FFmpeg encoder stands behind a compressor's four-character code, and which of the
// options a user can set it actually follows.
extern "C" {
#include <libavutil/pixfmt.h>
}

#include <cstdint>
#include <span>

struct AVICodecChoice {
    const char* encoder;   // FFmpeg encoder name; nullptr: uncompressed 24-bit bitmaps
    AVPixelFormat pixelFormat;
    int block;             // the picture's sides must be multiples of this (1, 2 or 4)
    bool takesQuality;     // the quality setting changes the pictures
    bool takesBitRate;     // the data rate is kept to
    bool keyFramesByType;  // a key frame is asked for by the picture's type, not by starting afresh
};

struct AVICodecOffer {
    uint32_t fourcc;
    const char* label; // as the options dialog lists it
};

// The compressor for `fourcc` (letter case ignored); nullptr when there is none.
const AVICodecChoice* AVIFindCodec(uint32_t fourcc);
// The compressors the options dialog offers, the default first.
std::span<const AVICodecOffer> AVICodecOffers();
