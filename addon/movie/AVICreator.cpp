#include "movie/AVICreator.h"

#include "avifile/AVIFile.h"
#include "basekit/OwnedHandle.h"
#include "bytes/FixedText.h"
#include "compatkit/CKBitmapHeader.h"
#include "compatkit/CKDibSizes.h"
#include "filekit/FKLocation.h"
#include "movie/MovieFailureReport.h"
#include "pixkit/PXPixMapToDIB.h"
#include "utilkit/UTBeep.h"
#include "utilkit/UTErrorReport.h"


namespace {

constexpr uint32_t kDefaultQuality = 0xFFFFFFFF;
constexpr uint32_t kCodecVideo1 = AVIMakeFourCC('m', 's', 'v', 'c');

// The AVI writer's state, one set for the whole module.
struct AVIWriterState {
    AVICOMPRESSOPTIONS options;
    AVISTREAMINFO info;
    PAVIFILE file = nullptr;
    PAVISTREAM stream = nullptr;
    PAVISTREAM compressed = nullptr;
    std::string path;
    std::string reportPath; // the movie's path for failure reports, kept while the path is cleared
    int16_t frameRect[4] = {}; // top, left, bottom, right
    bool compressedPending = false;
    int32_t sampleIndex = 0;
    int32_t repeatCount = 1;
    bool lastFrame = false;
    char caption[1024] = {};
    int32_t errorCode = 0;
    bool libraryStarted = false;
    bool inUse = false;
};

AVIWriterState& S() {
    static AVIWriterState state;
    return state;
}

// Records and reports a failure of the step whose text is item `text` of list 32583: through the
// utility library, and in the report window in Hungarian with the movie's
// path and the system's reason.
int32_t ReportFailure(int32_t code, int16_t text) {
    S().errorCode = code;
    if (code == AVICreator::kOwnFailure)
        UTReportError(kUTErrorMovieFile);
    else
        UTReportSystemError(kUTCategoryAVIFile, code);
    if (code == AVIERR_MEMORY) text = AVIFailureText::kMemory;
    ReportMovieFailure(kAVIFailureTexts, text, S().reportPath, AVIFileLastFailureReason());
    return AVICreator::kOwnFailure;
}

// Releases everything. The movie replaces the file at its path only when `keep` holds and its
// finishing succeeds; otherwise whatever was there stays.
void ReleaseHandles(bool keep) {
    auto& s = S();
    if (s.file != nullptr && !keep) AVIFileAbandon(s.file);
    if (s.stream != nullptr) AVIStreamRelease(s.stream);
    if (s.compressed != nullptr) AVIStreamRelease(s.compressed);
    if (s.file != nullptr) {
        AVIResult r = AVIFileClose(s.file);
        if (keep && r != AVIERR_OK && s.errorCode == 0) ReportFailure(r, AVIFailureText::kWrite);
    }
    s.stream = s.compressed = nullptr;
    s.file = nullptr;
    s.compressedPending = false;
    if (s.libraryStarted) AVIFileExit();
    s.libraryStarted = false;
}

// Closing runs again at destruction after a cancelled dialog; the second run finds nothing open.
void Close(bool keep) {
    auto& s = S();
    s.lastFrame = false;
    AVICOMPRESSOPTIONS* options[1] = {&s.options};
    AVISaveOptionsFree(1, options);
    ReleaseHandles(keep && s.errorCode == 0);
    if (s.errorCode != 0) UTBeep(0);
    s.path.clear();
}

void FillOptionsAndHeader() {
    auto& s = S();
    s.options = AVICOMPRESSOPTIONS{};
    s.options.fccType = streamtypeVIDEO;
    s.options.fccHandler = kCodecVideo1;
    s.options.dwKeyFrameEvery = 7;
    s.options.dwQuality = kDefaultQuality;
    s.options.dwBytesPerSecond = 768000;
    s.options.dwFlags = AVICOMPRESSF_KEYFRAMES | AVICOMPRESSF_DATARATE | AVICOMPRESSF_VALID;
    s.info = AVISTREAMINFO{};
    s.info.fccType = streamtypeVIDEO;
    s.info.fccHandler = 0;
    s.info.dwScale = 1;
    s.info.dwRate = 10;
}

} // namespace

AVICreator::AVICreator(std::string_view moviePath, int16_t bitsPerPixel, int32_t width, int32_t height,
                       int32_t frames, int16_t rate)
    : IMovieFileCreator(frames, rate), moviePath_(moviePath), width_(width), height_(height),
      bitsPerPixel_(bitsPerPixel) {
    if (moviePath_.empty()) ok = false;
    if (S().inUse) ok = false;
    if (!ok) return;
    ownsState_ = true;
    S().inUse = true;
    FillOptionsAndHeader();
    SetFrameRate(frameRate);
    auto& s = S();
    s.frameRect[0] = 0;
    s.frameRect[1] = 0;
    s.frameRect[2] = static_cast<int16_t>(height_);
    s.frameRect[3] = static_cast<int16_t>(width_);
    ok = Open(bitsPerPixel_) == 0;
}

AVICreator::~AVICreator() {
    if (!ownsState_) return;
    // Finishing by destruction keeps a movie that went well; a failed one leaves the previous file.
    Close(ok);
    S().inUse = false;
}

bool AVICreator::Finish() {
    if (!ownsState_ || S().file == nullptr) return false;
    bool complete = ok && S().errorCode == 0;
    Close(complete);
    return complete && S().errorCode == 0;
}

void AVICreator::SetFrameRate(int16_t framesPerSecond) {
    frameRate = framesPerSecond;
    if (ownsState_) S().info.dwRate = framesPerSecond > 0 ? static_cast<uint32_t>(framesPerSecond) : 0;
}

int32_t AVICreator::Open(int16_t bitsPerPixel) {
    auto& s = S();
    s.repeatCount = 1;
    s.lastFrame = false;
    s.errorCode = 0;
    AVIFileInit();
    s.libraryStarted = true;
    s.path = moviePath_;
    s.reportPath = moviePath_;

    AVIResult r = AVIFileOpen(&s.file, s.path.c_str(), OF_WRITE | OF_CREATE, nullptr);
    if (r != AVIERR_OK) {
        ReleaseHandles(false);
        s.path.clear();
        return ReportFailure(r, AVIFailureText::kStream);
    }

    s.info.rcFrame = AVIRect{0, 0, width_, height_};
    // Computed in 32 bits: a 16-bit row size would wrap for very wide pictures.
    uint32_t rowBytes = bitsPerPixel > 0 ? CKRowBytes(width_, static_cast<uint32_t>(bitsPerPixel)) : 0;
    uint64_t buffer = static_cast<uint64_t>(rowBytes) * static_cast<uint64_t>(height_ > 0 ? height_ : 0);
    s.info.dwSuggestedBufferSize = buffer > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(buffer);
    r = AVIFileCreateStream(s.file, &s.stream, &s.info);
    if (r != AVIERR_OK) {
        ReleaseHandles(false);
        s.path.clear();
        return ReportFailure(r, AVIFailureText::kStream);
    }

    AVICOMPRESSOPTIONS* options[1] = {&s.options};
    if (AVISaveOptions(0, ICMF_CHOOSE_KEYFRAME | ICMF_CHOOSE_DATARATE, 1, &s.stream, options)) {
        s.compressedPending = true;
        return 0;
    }
    // Cancelled: the user's previous movie of that name stays.
    Close(false);
    return -1;
}

bool AVICreator::AddFrame(BKHandle picture) {
    ok = true;
    if (picture == 0 || BKHandleSize(picture) == 0) ok = false;
    // Only the writer that opened the file may write into it.
    if (!ownsState_ || S().file == nullptr) ok = false;
    if (ok) {
        auto& s = S();
        s.lastFrame = framesWritten == frameCount;
        s.repeatCount = 1;
        BKCopyText(s.caption, BKTextOf(caption));
        if (WritePicture(picture) != 0) ok = false;
    }
    if (ok && framesWritten < frameCount) ++framesWritten;
    return ok;
}

int32_t AVICreator::WritePicture(BKHandle picture) {
    auto& s = S();
    OwnedHandle dib(PXPixMapToDIB(picture));
    uint8_t* data = dib.Data();
    uint32_t headerSize = 0, imageSize = 0;
    if (data == nullptr || !CKGetDIBSizes(dib.Bytes(), headerSize, imageSize)) {
        return ReportFailure(kOwnFailure, AVIFailureText::kFrame);
    }
    std::span<uint8_t> bytes(data, dib.Size());

    auto header = CKReadBitmapHeader(bytes);
    uint32_t depth = static_cast<uint32_t>(header->biPlanes) * header->biBitCount;
    if (header->biClrUsed == 0 && depth <= 8) {
        header->biClrUsed = 1u << depth;
        header->biClrImportant = header->biClrUsed;
        CKWriteBitmapHeader(bytes, *header);
    }

    if (s.compressedPending) {
        if (s.compressed != nullptr) AVIStreamRelease(s.compressed);
        s.compressed = nullptr;
        AVIResult r = AVIMakeCompressedStream(&s.compressed, s.stream, &s.options, nullptr);
        int16_t text = AVIFailureText::kCompressedStream;
        if (r == AVIERR_OK) {
            r = AVIStreamSetFormat(s.compressed, 0, data, static_cast<int32_t>(headerSize));
            text = AVIFailureText::kFormat;
        }
        if (r != AVIERR_OK) {
            return ReportFailure(r, text);
        }
        s.compressedPending = false;
        s.sampleIndex = 0;
    }

    uint32_t every = s.options.dwKeyFrameEvery;
    uint32_t flags = every != 0 && static_cast<uint32_t>(s.sampleIndex) % every == 0 ? AVIIF_KEYFRAME : 0;
    for (int32_t i = 0; i < s.repeatCount; ++i) {
        AVIResult r = AVIStreamWrite(s.compressed, s.sampleIndex, 1, data + headerSize, static_cast<int32_t>(imageSize),
                                     flags, nullptr, nullptr);
        if (r != AVIERR_OK) {
            return ReportFailure(r, AVIFailureText::kWrite);
        }
        ++s.sampleIndex;
        flags = 0;
    }
    return 0;
}
