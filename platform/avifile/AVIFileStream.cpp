#include "avifile/AVIFileStream.h"

#include "avifile/AVIFileObject.h"
#include "compatkit/CKBitmapHeader.h"

#include <cstring>
#include <vector>

namespace {

AVRational TimeBaseOf(const AVISTREAMINFO& info) {
    AVRational tb{static_cast<int>(info.dwScale), static_cast<int>(info.dwRate)};
    av_reduce(&tb.num, &tb.den, tb.num, tb.den, INT32_MAX);
    return tb;
}

} // namespace

AVIFileStream::AVIFileStream(AVIFileObject* file, AVStream* stream, const AVISTREAMINFO& streamInfo)
    : file_(file), stream_(stream), timeBase_(TimeBaseOf(streamInfo)) {
    info = streamInfo;
    stream_->time_base = timeBase_;
    stream_->avg_frame_rate = av_inv_q(timeBase_);
    stream_->r_frame_rate = stream_->avg_frame_rate;
    // Until a format is set the stream describes uncompressed bitmaps of its frame, so a file
    // without samples still has a readable header.
    int32_t w = streamInfo.rcFrame.right - streamInfo.rcFrame.left;
    int32_t h = streamInfo.rcFrame.bottom - streamInfo.rcFrame.top;
    SetRawFormat(w > 0 && w <= 32767 ? w : 1, h > 0 && h <= 32767 ? h : 1, 24);
    formatSet_ = false;
    rawImageSize_ = 0;
}

AVIFileStream::~AVIFileStream() {
    // What was handed over for this stream is stored before the stream goes.
    file_->Drain();
    file_->Release();
}

AVIResult AVIFileStream::Submit(FFEncodeQueue::Job job) { return file_->Submit(std::move(job)); }
AVIResult AVIFileStream::Drain() { return file_->Drain(); }

AVIResult AVIFileStream::SetRawFormat(int32_t width, int32_t height, int bitsPerPixel) {
    if (file_->HeaderWritten()) return AVIERR_UNSUPPORTED;
    AVCodecParameters* par = stream_->codecpar;
    avcodec_parameters_free(&stream_->codecpar);
    par = stream_->codecpar = avcodec_parameters_alloc();
    if (par == nullptr) return AVIERR_MEMORY;
    par->codec_type = AVMEDIA_TYPE_VIDEO;
    par->codec_id = AV_CODEC_ID_RAWVIDEO;
    par->codec_tag = 0;
    par->width = width;
    par->height = height;
    par->format = bitsPerPixel == 32 ? AV_PIX_FMT_BGR0 : AV_PIX_FMT_BGR24;
    par->bits_per_coded_sample = bitsPerPixel;
    rawImageSize_ = CKRowBytes(width, static_cast<uint32_t>(bitsPerPixel)) * static_cast<uint32_t>(height);
    formatSet_ = true;
    return AVIERR_OK;
}

AVIResult AVIFileStream::SetEncodedFormat(const AVCodecContext* encoder) {
    if (file_->HeaderWritten()) return AVIERR_UNSUPPORTED;
    if (avcodec_parameters_from_context(stream_->codecpar, encoder) < 0) return AVIERR_MEMORY;
    stream_->codecpar->codec_tag = 0; // the muxer picks the code that belongs to the codec
    rawImageSize_ = 0;
    formatSet_ = true;
    return AVIERR_OK;
}

AVIResult AVIFileStream::SetFormat(int32_t position, std::span<const uint8_t> format) {
    if (position != 0) return AVIERR_UNSUPPORTED;
    auto h = CKReadBitmapHeader(format);
    if (!h) return AVIERR_BADFORMAT;
    if (h->biCompression != kCKBiRgb || (h->biBitCount != 24 && h->biBitCount != 32) || h->biWidth <= 0 ||
        h->biWidth > 32767 || h->biHeight <= 0 || h->biHeight > 32767 || h->biPlanes != 1)
        return AVIERR_BADFORMAT;
    if (file_->HeaderWritten()) {
        // Samples already went out: only the format they have may be set again.
        const AVCodecParameters* par = stream_->codecpar;
        bool same = rawImageSize_ != 0 && par->width == h->biWidth && par->height == h->biHeight &&
                    par->bits_per_coded_sample == h->biBitCount;
        return same ? AVIERR_OK : AVIERR_UNSUPPORTED;
    }
    return SetRawFormat(h->biWidth, h->biHeight, h->biBitCount);
}

AVIResult AVIFileStream::Write(int32_t start, int32_t samples, std::span<const uint8_t> data, uint32_t flags,
                               int32_t* bytesWritten) {
    if (bytesWritten != nullptr) *bytesWritten = 0;
    if (!formatSet_ || rawImageSize_ == 0) return AVIERR_BADFORMAT;
    if (start < 0 || samples < 1) return AVIERR_BADPARAM;
    if (data.size() != static_cast<size_t>(samples) * rawImageSize_) return AVIERR_BADSIZE;
    (void)flags; // uncompressed samples can all be shown on their own
    uint32_t size = rawImageSize_;
    AVIResult r = Submit([this, start, samples, size, bits = std::vector<uint8_t>(data.begin(), data.end())] {
        for (int32_t i = 0; i < samples; ++i) {
            std::span<const uint8_t> all(bits);
            AVIResult w = WriteSample(static_cast<int64_t>(start) + i, all.subspan(static_cast<size_t>(i) * size, size), true);
            if (w != AVIERR_OK) return w;
        }
        return AVIERR_OK;
    });
    if (r == AVIERR_OK && bytesWritten != nullptr) {
        r = Drain();
        if (r == AVIERR_OK) *bytesWritten = static_cast<int32_t>(static_cast<int64_t>(samples) * size);
    }
    return r;
}

AVIResult AVIFileStream::WriteSample(int64_t position, std::span<const uint8_t> data, bool key) {
    AVPacket* pkt = av_packet_alloc();
    if (pkt == nullptr || av_new_packet(pkt, static_cast<int>(data.size())) < 0) {
        av_packet_free(&pkt);
        return AVIERR_MEMORY;
    }
    if (!data.empty()) std::memcpy(pkt->data, data.data(), data.size());
    pkt->pts = pkt->dts = position;
    pkt->duration = 1;
    if (key) pkt->flags |= AV_PKT_FLAG_KEY;
    AVIResult r = WritePacket(pkt);
    av_packet_free(&pkt);
    return r;
}

AVIResult AVIFileStream::WritePacket(AVPacket* packet) { return file_->WritePacket(stream_, packet, timeBase_); }

void AVIFileStream::MarkFailed() { file_->MarkFailed(); }
