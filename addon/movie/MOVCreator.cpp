#include "movie/MOVCreator.h"

#include "filekit/FKLocation.h"
#include "moviekit/MKMovie.h"

namespace {

constexpr uint32_t kCreatorCode = 0x56544F44;
// "QuorvelMovie" with its length byte in front.
constexpr uint8_t kMovieName[] = {12, 'Q', 'u', 'o', 'r', 'v', 'e', 'l', 'M', 'o', 'v', 'i', 'e'};

} // namespace

MOVCreator::MOVCreator(std::string_view moviePath, int16_t bitsPerPixel, int32_t width, int32_t height,
                       int32_t frames, int16_t rate)
    : IMovieFileCreator(frames, rate), moviePath_(moviePath), width_(width), height_(height),
      bitsPerPixel_(bitsPerPixel) {
    if (moviePath_.empty()) ok = false;
    MKSetFrameRate(rate);
    if (ok) ok = Open();
}

MOVCreator::~MOVCreator() { Finish(); }

bool MOVCreator::Finish() {
    // Only the movie this writer began is ended; another writer's stays open.
    if (!begun_) return false;
    begun_ = false;
    return MKEndMovie(kMovieName) == kMKNoError && ok;
}

void MOVCreator::SetFrameRate(int16_t framesPerSecond) {
    frameRate = framesPerSecond;
    MKSetFrameRate(framesPerSecond);
}

bool MOVCreator::Open() {
    FKLocation movie = FKLocation::FromPath8(moviePath_);
    std::string path;
    if (!movie.IsValid() || !movie.GetPath8(path)) return false;
    MKSetScreenRect(0, 0, height_, width_);
    FKLocation folder = movie.Parent();
    FKLocation scratch = folder.IsValid() ? folder.Append(kScratchName) : FKLocation::FromNativePath(kScratchName);
    begun_ = MKBeginMovie(movie.GetPathUtf16().c_str(), scratch.GetPathUtf16().c_str(), 0, 1, "BV", kCreatorCode) ==
             kMKNoError;
    return begun_;
}

bool MOVCreator::AddFrame(BKHandle picture) {
    ok = true;
    if (picture == 0 || BKHandleSize(picture) == 0) ok = false;
    if (!begun_) ok = false;
    if (ok) {
        MKSetSlideParameters(framesWritten == frameCount, 1, caption, 0);
        if (MKAddSamplesToVideo(picture, 1) != kMKNoError) ok = false;
    }
    if (ok && framesWritten < frameCount) ++framesWritten;
    return ok;
}
