#pragma once
// Writes the frames into an MP4 file: H.264 in 4:2:0 with the index at the front, which any
// browser and phone plays, and the captions in a timed-text track. Made, finished and failed as
// the QuickTime movie is: a stopped movie is a shorter whole file, a failed one leaves no file.
#include "movie/MOVCreator.h"

class MP4Creator : public MOVCreator {
public:
    MP4Creator(std::string_view moviePath, int16_t bitsPerPixel, int32_t width, int32_t height, int32_t frameCount,
               int16_t frameRate);
};
