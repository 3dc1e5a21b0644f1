#include "movie/MOVCreator.h"

#include "filekit/FKLocation.h"
#include "movie/MovieFailureReport.h"
#include "moviekit/MKMovie.h"

namespace {

constexpr uint32_t kCreatorCode = 0x56544F44;
// "QuorvelMovie" with its length byte in front.
constexpr uint8_t kMovieName[] = {12, 'Q', 'u', 'o', 'r', 'v', 'e', 'l', 'M', 'o', 'v', 'i', 'e'};

} // namespace

MOVCreator::MOVCreator(std::string_view moviePath, int16_t bitsPerPixel, int32_t width, int32_t height,
                       int32_t frames, int16_t rate)
    : MOVCreator(moviePath, bitsPerPixel, width, height, frames, rate, kMKContainerQuickTime) {}

MOVCreator::MOVCreator(std::string_view moviePath, int16_t bitsPerPixel, int32_t width, int32_t height,
                       int32_t frames, int16_t rate, int32_t container)
    : IMovieFileCreator(frames, rate), moviePath_(moviePath), width_(width), height_(height),
      bitsPerPixel_(bitsPerPixel), container_(container) {
    if (moviePath_.empty()) ok = false;
    MKSetFrameRate(rate);
    if (ok) ok = Open();
}

MOVCreator::~MOVCreator() { Finish(); }

bool MOVCreator::Finish() {
    // Only the movie this writer began is ended; another writer's stays open.
    if (!begun_) return false;
    begun_ = false;
    bool complete = MKEndMovie(kMovieName) == kMKNoError;
    if (!complete) Report(QuickTimeFailureText::kFinish);
    return complete && ok;
}

void MOVCreator::Report(int16_t text) {
    // One failure, one line: a movie that failed on a picture also fails to finish.
    if (reported_) return;
    reported_ = true;
    ReportMovieFailure(container_ == kMKContainerMP4 ? kMP4FailureTexts : kQuickTimeFailureTexts, text, moviePath_,
                       MKLastFailureReason());
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
    MKSetContainer(container_);
    FKLocation folder = movie.Parent();
    FKLocation scratch = folder.IsValid() ? folder.Append(kScratchName) : FKLocation::FromNativePath(kScratchName);
    begun_ = MKBeginMovie(movie.GetPathUtf16().c_str(), scratch.GetPathUtf16().c_str(), 0, 1, "BV", kCreatorCode) ==
             kMKNoError;
    if (!begun_) Report(QuickTimeFailureText::kBegin);
    return begun_;
}

bool MOVCreator::AddFrame(BKHandle picture) {
    ok = true;
    if (picture == 0 || BKHandleSize(picture) == 0) ok = false;
    if (!begun_) ok = false;
    if (ok) {
        MKSetSlideParameters(framesWritten == frameCount, 1, caption, 0);
        int16_t r = MKAddSamplesToVideo(picture, 1);
        if (r != kMKNoError) {
            ok = false;
            Report(r == kMKFileError || r == kMKNoMovie ? QuickTimeFailureText::kWrite
                   : r == kMKBadPicture                 ? QuickTimeFailureText::kFrame
                                                        : QuickTimeFailureText::kCompress);
        }
    }
    if (ok && framesWritten < frameCount) ++framesWritten;
    return ok;
}
