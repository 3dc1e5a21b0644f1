#include "avifile/AVIFileObject.h"

#include "avifile/AVIFileStream.h"
#include "avifile/AVIResults.h"

extern "C" {
#include <libavutil/dict.h>
}

#include <filesystem>

AVIResult AVIFileObject::Create(const std::string& nativePath, bool encoderThread, AVIFileObject** out) {
    *out = nullptr;
    auto file = std::unique_ptr<AVIFileObject>(new AVIFileObject());
    if (avformat_alloc_output_context2(&file->context_, nullptr, "avi", nativePath.c_str()) < 0 ||
        file->context_ == nullptr)
        return AVIERR_INTERNAL;
    file->output_ = std::make_unique<FFOutputFile>(nativePath);
    if (file->output_->Open() != 0) {
        AVISetLastFailure(file->output_->FailureText(), file->output_->FailureReason());
        return AVIERR_FILEOPEN;
    }
    file->queue_ = std::make_unique<FFEncodeQueue>(encoderThread);
    file->context_->pb = file->output_->Context();
    file->context_->flags |= AVFMT_FLAG_CUSTOM_IO;
    *out = file.release();
    return AVIERR_OK;
}

AVIFileObject::~AVIFileObject() {
    queue_.reset(); // the thread is idle by now: every stream waited for it when it went
    // The I/O context belongs to the output file, which removes a file it did not commit.
    if (context_ != nullptr) avformat_free_context(context_);
}

uint32_t AVIFileObject::Release() {
    uint32_t left = --refs_;
    if (left == 0) {
        AVISetLastFinishResult(Finish());
        delete this;
    }
    return left;
}

AVIResult AVIFileObject::Fail(AVIResult code) {
    failed_ = true;
    if (output_->Error() != 0) AVISetLastFailure(output_->FailureText(), output_->FailureReason());
    return code;
}

bool AVIFileObject::HeaderWritten() {
    queue_->Drain();
    return headerWritten_;
}

AVIResult AVIFileObject::AddStream(const AVISTREAMINFO& info, AVIFileStream** out) {
    *out = nullptr;
    if (HeaderWritten()) return AVIERR_UNSUPPORTED;
    if (info.fccType != streamtypeVIDEO) return AVIERR_UNSUPPORTED;
    if (info.dwRate == 0 || info.dwScale == 0 || info.dwRate > INT32_MAX || info.dwScale > INT32_MAX)
        return AVIERR_BADPARAM;
    AVStream* st = avformat_new_stream(context_, nullptr);
    if (st == nullptr) return AVIERR_MEMORY;
    auto* stream = new AVIFileStream(this, st, info);
    AddRef(); // the stream keeps the file
    *out = stream;
    return AVIERR_OK;
}

AVIResult AVIFileObject::WriteHeader() {
    AVDictionary* options = nullptr;
    // Uncompressed bitmaps are stored bottom-up, as the bitmap format has them.
    av_dict_set(&options, "flipped_raw_rgb", "1", 0);
    int r = avformat_write_header(context_, &options);
    av_dict_free(&options);
    if (r < 0 || context_->pb->error < 0) return Fail(AVIERR_FILEWRITE);
    headerWritten_ = true;
    return AVIERR_OK;
}

AVIResult AVIFileObject::WritePacket(AVStream* stream, AVPacket* packet, AVRational timeBase) {
    if (failed_) return AVIERR_FILEWRITE;
    if (!headerWritten_) {
        AVIResult r = WriteHeader();
        if (r != AVIERR_OK) return r;
    }
    // The muxer may have chosen its own time base while writing the header.
    av_packet_rescale_ts(packet, timeBase, stream->time_base);
    packet->stream_index = stream->index;
    packet->pos = -1;
    // A write the I/O buffer let through may still have failed underneath it.
    if (av_interleaved_write_frame(context_, packet) < 0 || context_->pb->error < 0) return Fail(AVIERR_FILEWRITE);
    return AVIERR_OK;
}

AVIResult AVIFileObject::Finish() {
    if (queue_ && queue_->Drain() != 0) failed_ = true;
    if (abandoned_) return AVIERR_OK;
    if (!failed_ && !headerWritten_) WriteHeader();
    if (!failed_ && (av_write_trailer(context_) < 0 || context_->pb->error < 0)) Fail(AVIERR_FILEWRITE);
    if (failed_) return AVIERR_FILEWRITE;
    if (output_->Commit() != 0) {
        AVISetLastFailure(output_->FailureText(), output_->FailureReason());
        return AVIERR_FILEWRITE;
    }
    return AVIERR_OK;
}
