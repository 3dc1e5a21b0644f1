#pragma once
// Writes the frames into a QuickTime movie through MovieKit, each with its caption. The movie
// takes shape in the scratch file "qtscr.mov" beside it and replaces the movie file when the
// writer is destroyed.
#include "movie/IMovieFileCreator.h"

#include <string>
#include <string_view>

class MOVCreator : public IMovieFileCreator {
public:
    static constexpr const char* kScratchName = "qtscr.mov";

    MOVCreator(std::string_view moviePath, int16_t bitsPerPixel, int32_t width, int32_t height, int32_t frameCount,
               int16_t frameRate);
    ~MOVCreator() override;

    void SetFrameRate(int16_t framesPerSecond) override;
    bool AddFrame(BKHandle picture) override;
    bool Finish() override;

protected:
    // A movie of the given MovieKit container (kMKContainerQuickTime or kMKContainerMP4).
    MOVCreator(std::string_view moviePath, int16_t bitsPerPixel, int32_t width, int32_t height, int32_t frameCount,
               int16_t frameRate, int32_t container);

private:
    bool Open();
    // Writes the failure's line in the report window, once per movie.
    void Report(int16_t text);

    std::string moviePath_; // 8-bit
    int32_t width_ = 0;
    int32_t height_ = 0;
    int16_t bitsPerPixel_ = 0;
    bool begun_ = false;
    bool reported_ = false;
    int32_t container_ = 0;
};
