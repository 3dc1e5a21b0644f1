#include "movie/MP4Creator.h"

#include "moviekit/MKMovie.h"

MP4Creator::MP4Creator(std::string_view moviePath, int16_t bitsPerPixel, int32_t width, int32_t height,
                       int32_t frames, int16_t rate)
    : MOVCreator(moviePath, bitsPerPixel, width, height, frames, rate, kMKContainerMP4) {}
