#include "avifile/AVIFileObject.h"

#include "avifile/AVIFileStream.h"

extern "C" {
#include <libavutil/dict.h>
}

#include <filesystem>

AVIResult AVIFileObject::Create(const std::string& nativePath, AVIFileObject** out) {
    *out = nullptr;
    auto* file = new AVIFileObject();
    if (avformat_alloc_output_context2(&file->context_, nullptr, "avi", nativePath.c_str()) < 0 ||
        file->context_ == nullptr) {
        delete file;
        return AVIERR_INTERNAL;
    }
    if (avio_open(&file->context_->pb, nativePath.c_str(), AVIO_FLAG_WRITE) < 0) {
        delete file;
        return AVIERR_FILEOPEN;
    }
    *out = file;
    return AVIERR_OK;
}

AVIFileObject::~AVIFileObject() {
    if (context_ != nullptr) {
        avio_closep(&context_->pb);
        avformat_free_context(context_);
    }
}

uint32_t AVIFileObject::Release() {
    uint32_t left = --refs_;
    if (left == 0) {
        Finish();
        delete this;
    }
    return left;
}

AVIResult AVIFileObject::AddStream(const AVISTREAMINFO& info, AVIFileStream** out) {
    *out = nullptr;
    if (headerWritten_) return AVIERR_UNSUPPORTED;
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
    if (r < 0) {
        failed_ = true;
        return AVIERR_FILEWRITE;
    }
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
    if (av_interleaved_write_frame(context_, packet) < 0) {
        failed_ = true;
        return AVIERR_FILEWRITE;
    }
    return AVIERR_OK;
}

void AVIFileObject::Finish() {
    if (!failed_ && !headerWritten_) WriteHeader();
    if (headerWritten_) av_write_trailer(context_);
    avio_closep(&context_->pb);
}
