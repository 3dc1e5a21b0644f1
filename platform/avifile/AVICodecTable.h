#pragma once
// Which FFmpeg encoder stands behind a compressor's four-character code.
extern "C" {
#include <libavutil/pixfmt.h>
}

#include <cstdint>

struct AVICodecChoice {
    const char* encoder;   // FFmpeg encoder name; nullptr: uncompressed 24-bit bitmaps
    AVPixelFormat pixelFormat;
    bool blocksOf4;        // the picture must be a multiple of 4 pixels both ways
};

// The compressor for `fourcc` (letter case ignored); nullptr when there is none.
const AVICodecChoice* AVIFindCodec(uint32_t fourcc);
