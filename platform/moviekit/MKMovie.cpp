#include "moviekit/MKMovie.h"

#include "basekit/BKText.h"
#include "filekit/FKLocation.h"
#include "moviekit/MKMovieWriter.h"

#include <filesystem>

extern "C" {
#include <libavutil/log.h>
}
#include <memory>
#include <string>

namespace {

struct State {
    int16_t frameRate = 10;
    int32_t codec = kMKCodecH264;
    int32_t container = kMKContainerQuickTime;
    bool encoderThread = true;
    std::string failure, reason; // Windows-1250
    int32_t width = 0, height = 0;
    std::unique_ptr<MKMovieWriter> movie;
    std::string caption;                // UTF-8
    int32_t samplesPerPicture = 1;
};

State& S() {
    static State state;
    return state;
}

std::string NativePath(const char16_t* path) {
    if (path == nullptr || *path == 0) return {};
    std::error_code ec;
    auto absolute = std::filesystem::absolute(FKLocation::FromPathUtf16(path).NativePath(), ec);
    return ec ? std::string() : absolute.string();
}

} // namespace

void MKSetFrameRate(int16_t framesPerSecond) { S().frameRate = framesPerSecond; }
int16_t MKFrameRate() { return S().frameRate; }
void MKSetVideoCodec(int32_t codec) { S().codec = codec; }
int32_t MKVideoCodec() { return S().codec; }
void MKSetContainer(int32_t container) { S().container = container; }
int32_t MKContainer() { return S().container; }
const char* MKLastFailureText() { return S().failure.c_str(); }
const char* MKLastFailureReason() { return S().reason.c_str(); }
void MKSetEncoderThread(bool on) { S().encoderThread = on; }
bool MKEncoderThread() { return S().encoderThread; }

namespace {
// Keeps the writer's file failure, if it has one, as the latest.
void KeepFailure(const MKMovieWriter& writer) {
    if (writer.FailureText().empty()) return;
    S().failure = BKFromUtf8(writer.FailureText());
    S().reason = BKFromUtf8(writer.FailureReason());
}
} // namespace

void MKSetScreenRect(int32_t top, int32_t left, int32_t bottom, int32_t right) {
    S().width = right - left;
    S().height = bottom - top;
}

int16_t MKBeginMovie(const char16_t* moviePath, const char16_t* scratchPath, int32_t /*flags*/, int32_t captionTrack,
                     const char* creator, uint32_t creatorCode) {
    auto& s = S();
    if (s.movie) return kMKMovieOpen;
    s.failure.clear();
    s.reason.clear();
    // The encoders' and the muxer's notes are not the user's business.
    av_log_set_level(AV_LOG_ERROR);
    if (s.frameRate < 1 || s.frameRate > 1000 || s.width < 1 || s.width > 32767 || s.height < 1 || s.height > 32767)
        return kMKBadParameter;
    bool mp4 = s.container == kMKContainerMP4;
    if ((s.container != kMKContainerQuickTime && !mp4) || (mp4 && s.codec != kMKCodecH264)) return kMKBadParameter;
    std::string movie = NativePath(moviePath), scratch = NativePath(scratchPath);
    if (movie.empty() || scratch.empty()) return kMKBadParameter;

    std::string comment;
    if (creator != nullptr) comment = BKToUtf8(creator);
    char code[5] = {};
    for (int i = 0; i < 4; ++i) {
        char c = static_cast<char>(creatorCode >> (24 - 8 * i));
        code[i] = c >= 0x20 && c < 0x7F ? c : '?';
    }
    comment += std::string(comment.empty() ? "" : " ") + code;

    auto writer = std::make_unique<MKMovieWriter>();
    int16_t r = writer->Begin(movie, s.width, s.height, s.frameRate, captionTrack != 0, comment, s.codec,
                              s.encoderThread, mp4);
    if (r != kMKNoError) {
        KeepFailure(*writer);
        return r;
    }
    s.movie = std::move(writer);
    s.caption.clear();
    s.samplesPerPicture = 1;
    return kMKNoError;
}

void MKSetSlideParameters(bool /*lastSlide*/, int32_t samplesPerPicture, const char* caption, int32_t /*reserved*/) {
    auto& s = S();
    s.samplesPerPicture = samplesPerPicture;
    s.caption = caption != nullptr ? BKToUtf8(caption) : std::string();
}

int16_t MKAddSamplesToVideo(BKHandle picture, int32_t count) {
    auto& s = S();
    if (!s.movie) return kMKNoMovie;
    int16_t r = s.movie->AddPicture(picture, count, s.caption);
    if (r != kMKNoError) KeepFailure(*s.movie);
    return r;
}

int16_t MKEndMovie(const uint8_t* name) {
    auto& s = S();
    if (!s.movie) return kMKNoMovie;
    std::string title;
    if (name != nullptr) title = BKToUtf8(std::string(reinterpret_cast<const char*>(name + 1), name[0]));
    int16_t r = s.movie->Finish(title);
    KeepFailure(*s.movie);
    s.movie.reset(); // an unfinished movie's file goes with it
    return r;
}
