#include "avifile/AVIFile.h"

#include "avifile/AVICodecTable.h"
#include "avifile/AVICompressedStream.h"
#include "avifile/AVIFileObject.h"
#include "avifile/AVIFileStream.h"
#include "avifile/AVIResults.h"
#include "basekit/BKText.h"

extern "C" {
#include <libavutil/log.h>
}

namespace {

int& InitCount() {
    static int count = 0;
    return count;
}

AVIResult& FinishResult() {
    static AVIResult result = AVIERR_OK;
    return result;
}

std::string& FailureText() {
    static std::string text;
    return text;
}

std::string& FailureReason() {
    static std::string text;
    return text;
}

bool& EncoderThread() {
    static bool on = true;
    return on;
}

} // namespace

void AVISetLastFinishResult(AVIResult result) { FinishResult() = result; }
AVIResult AVILastFinishResult() { return FinishResult(); }
void AVISetLastFailure(const std::string& utf8Text, const std::string& utf8Reason) {
    if (utf8Text.empty()) return;
    FailureText() = BKFromUtf8(utf8Text);
    FailureReason() = BKFromUtf8(utf8Reason);
}

const char* AVIFileLastFailureText() { return FailureText().c_str(); }
const char* AVIFileLastFailureReason() { return FailureReason().c_str(); }
void AVIFileSetEncoderThread(bool on) { EncoderThread() = on; }
bool AVIFileEncoderThread() { return EncoderThread(); }

void AVIFileInit() {
    // The encoders' notes (pixel format conversions and the like) are not the user's business.
    if (InitCount()++ == 0) av_log_set_level(AV_LOG_ERROR);
}

void AVIFileExit() {
    if (InitCount() > 0) --InitCount();
}

AVIResult AVIFileOpen(PAVIFILE* file, const char* path, uint32_t mode, const void* /*handler*/) {
    if (file == nullptr) return AVIERR_BADPARAM;
    *file = nullptr;
    if (InitCount() == 0) return AVIERR_ERROR;
    if (path == nullptr || *path == 0) return AVIERR_BADPARAM;
    if ((mode & (OF_CREATE | OF_WRITE)) != (OF_CREATE | OF_WRITE)) return AVIERR_UNSUPPORTED;
    FailureText().clear();
    FailureReason().clear();
    return AVIFileObject::Create(BKToUtf8(path), EncoderThread(), file);
}

uint32_t AVIFileRelease(PAVIFILE file) { return file == nullptr ? 0 : file->Release(); }

AVIResult AVIFileClose(PAVIFILE file) {
    if (file == nullptr) return AVIERR_BADHANDLE;
    FinishResult() = AVIERR_OK;
    return file->Release() == 0 ? FinishResult() : AVIERR_OK;
}

void AVIFileAbandon(PAVIFILE file) {
    if (file != nullptr) file->Abandon();
}

AVIResult AVIFileCreateStream(PAVIFILE file, PAVISTREAM* stream, const AVISTREAMINFO* info) {
    if (stream == nullptr) return AVIERR_BADPARAM;
    *stream = nullptr;
    if (file == nullptr) return AVIERR_BADHANDLE;
    if (info == nullptr) return AVIERR_BADPARAM;
    AVIFileStream* created = nullptr;
    AVIResult r = file->AddStream(*info, &created);
    *stream = created;
    return r;
}

AVIResult AVIMakeCompressedStream(PAVISTREAM* compressed, PAVISTREAM source, const AVICOMPRESSOPTIONS* options,
                                  const void* /*handler*/) {
    if (compressed == nullptr) return AVIERR_BADPARAM;
    *compressed = nullptr;
    auto* target = dynamic_cast<AVIFileStream*>(source);
    if (target == nullptr) return AVIERR_BADHANDLE;
    if (options == nullptr) return AVIERR_BADPARAM;
    const AVICodecChoice* codec = AVIFindCodec(options->fccHandler);
    if (codec == nullptr) return AVIERR_NOCOMPRESSOR;
    *compressed = new AVICompressedStream(target, *codec, *options);
    return AVIERR_OK;
}

AVIResult AVIStreamSetFormat(PAVISTREAM stream, int32_t position, const void* format, int32_t formatSize) {
    if (stream == nullptr) return AVIERR_BADHANDLE;
    if (format == nullptr || formatSize <= 0) return AVIERR_BADPARAM;
    return stream->SetFormat(position,
                             std::span<const uint8_t>(static_cast<const uint8_t*>(format), static_cast<size_t>(formatSize)));
}

AVIResult AVIStreamWrite(PAVISTREAM stream, int32_t start, int32_t samples, const void* buffer, int32_t bufferSize,
                         uint32_t flags, int32_t* samplesWritten, int32_t* bytesWritten) {
    if (samplesWritten != nullptr) *samplesWritten = 0;
    if (bytesWritten != nullptr) *bytesWritten = 0;
    if (stream == nullptr) return AVIERR_BADHANDLE;
    if (buffer == nullptr || bufferSize <= 0) return AVIERR_BADPARAM;
    AVIResult r = stream->Write(start, samples,
                                std::span<const uint8_t>(static_cast<const uint8_t*>(buffer), static_cast<size_t>(bufferSize)),
                                flags, bytesWritten);
    if (r == AVIERR_OK && samplesWritten != nullptr) *samplesWritten = samples;
    return r;
}

uint32_t AVIStreamRelease(PAVISTREAM stream) { return stream == nullptr ? 0 : stream->Release(); }

AVIResult AVISaveOptionsFree(int32_t count, AVICOMPRESSOPTIONS** options) {
    if (count < 0 || (count > 0 && options == nullptr)) return AVIERR_BADPARAM;
    // Nothing is allocated into the options; what a caller left there is not ours to free.
    for (int32_t i = 0; i < count; ++i) {
        if (options[i] == nullptr) continue;
        options[i]->lpFormat = nullptr;
        options[i]->cbFormat = 0;
        options[i]->lpParms = nullptr;
        options[i]->cbParms = 0;
    }
    return AVIERR_OK;
}
