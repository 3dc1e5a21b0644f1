#pragma once
// A movie writer: the run makes one, hands it one picture per frame and destroys it, which
// closes the movie file. The run sets `caption` before each frame.
#include "basekit/BKMemory.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

class IMovieFileCreator {
public:
    static constexpr size_t kCaptionSize = 512;

    IMovieFileCreator(int32_t frameCount, int16_t frameRate);
    IMovieFileCreator(const IMovieFileCreator&) = delete;
    IMovieFileCreator& operator=(const IMovieFileCreator&) = delete;

    virtual void SetFrameRate(int16_t framesPerSecond) = 0;
    virtual ~IMovieFileCreator();
    // Adds the frame picture (a host pixel map block); false when it could not be written.
    virtual bool AddFrame(BKHandle picture) = 0;
    // Completes the movie file; false when it is not the whole movie. Once only; destroying an
    // unfinished writer finishes it without a word.
    virtual bool Finish() = 0;

    // The caption of the frame being made, cut to 511 bytes.
    void SetCaption(std::string_view text);

    int32_t framesWritten = 0;
    int32_t frameCount = 0;
    bool ok = true;
    int16_t frameRate = 10;
    char caption[kCaptionSize] = {};
};
