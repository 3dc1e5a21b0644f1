#pragma once
// Writes the frames into an AVI file through the AVIFile interface. The AVI state is module-wide,
// so one AVICreator works at a time: one made while another lives is not ok and touches nothing.
// A failure is reported to the user; the file is then deleted with a warning beep on closing.
#include "movie/IMovieFileCreator.h"

#include <string>
#include <string_view>

class AVICreator : public IMovieFileCreator {
public:
    // The add-on's own failure code (reported as the utility library's error 57).
    static constexpr int32_t kOwnFailure = -1111;

    AVICreator(std::string_view moviePath, int16_t bitsPerPixel, int32_t width, int32_t height, int32_t frameCount,
               int16_t frameRate);
    ~AVICreator() override;

    void SetFrameRate(int16_t framesPerSecond) override;
    bool AddFrame(BKHandle picture) override;
    bool Finish() override;

private:
    int32_t Open(int16_t bitsPerPixel);
    int32_t WritePicture(BKHandle picture);

    std::string moviePath_; // 8-bit
    int32_t width_ = 0;
    int32_t height_ = 0;
    int16_t bitsPerPixel_ = 0;
    bool ownsState_ = false;
};
