#include "avifile/AVICompressedStream.h"

#include "avifile/AVIFileStream.h"
#include "compatkit/CKBitmapHeader.h"

extern "C" {
#include <libavutil/dict.h>
}

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

constexpr uint32_t kDefaultQuality = 0xFFFFFFFF;
constexpr size_t kReadPastEnd = 256;

int RoundUp(int v, int block) { return (v + block - 1) / block * block; }

} // namespace

AVICompressedStream::AVICompressedStream(AVIFileStream* target, const AVICodecChoice& codec,
                                         const AVICOMPRESSOPTIONS& options)
    : target_(target), codec_(codec), options_(options) {
    target_->AddRef();
    info = target_->info;
    info.fccHandler = options.fccHandler;
    packet_ = av_packet_alloc();
}

AVICompressedStream::~AVICompressedStream() {
    // The thread has stored what it was given (or known its failure) before the encoder is emptied.
    if (target_->Drain() != AVIERR_OK) target_->MarkFailed();
    if (encoder_ != nullptr) {
        // Whatever the encoder still holds belongs to the file; a movie without it is not kept.
        int32_t ignored = 0;
        if (avcodec_send_frame(encoder_, nullptr) < 0 || Drain(ignored) != AVIERR_OK) target_->MarkFailed();
        avcodec_free_context(&encoder_);
    }
    av_packet_free(&packet_);
    target_->Release();
}

AVIResult AVICompressedStream::OpenEncoder() {
    if (encoder_ != nullptr) {
        int32_t ignored = 0;
        if (avcodec_send_frame(encoder_, nullptr) >= 0) {
            AVIResult r = Drain(ignored);
            if (r != AVIERR_OK) return r;
        }
        avcodec_free_context(&encoder_);
    }
    const AVCodec* codec = avcodec_find_encoder_by_name(codec_.encoder);
    if (codec == nullptr) return AVIERR_NOCOMPRESSOR;
    encoder_ = avcodec_alloc_context3(codec);
    if (encoder_ == nullptr) return AVIERR_MEMORY;
    encoder_->width = paddedWidth_;
    encoder_->height = paddedHeight_;
    encoder_->pix_fmt = codec_.pixelFormat;
    encoder_->time_base = target_->TimeBase();
    encoder_->framerate = av_inv_q(encoder_->time_base);
    encoder_->sample_aspect_ratio = {1, 1};
    const AVCodecDescriptor* desc = avcodec_descriptor_get(codec->id);
    intraOnly_ = desc != nullptr && (desc->props & AV_CODEC_PROP_INTRA_ONLY);
    if (!intraOnly_) {
        // Key frames come only where the writer asks for them.
        encoder_->gop_size = INT_MAX / 2;
        encoder_->keyint_min = INT_MAX / 2;
    }
    AVDictionary* settings = nullptr;
    bool quality = codec_.takesQuality && options_.dwQuality != kDefaultQuality && options_.dwQuality <= 10000;
    bool dataRate = codec_.takesBitRate && (options_.dwFlags & AVICOMPRESSF_DATARATE) && options_.dwBytesPerSecond > 0;
    bool x264 = std::strcmp(codec_.encoder, "libx264") == 0;
    if (x264) {
        // Frame threads make bytes that depend on how the threads ran; fixed slices do not.
        encoder_->thread_type = FF_THREAD_SLICE;
        encoder_->thread_count = 4;
        encoder_->max_b_frames = 0;
        // Key frames only where asked for: no extra ones at scene changes.
        av_dict_set(&settings, "x264-params", "scenecut=0", 0);
        av_dict_set(&settings, "forced-idr", "1", 0);
    }
    if (quality && x264) {
        // 10000 is the best picture: constant rate factor 10; 0 the smallest file: 51.
        int crf = 51 - static_cast<int>(options_.dwQuality) * 41 / 10000;
        av_dict_set_int(&settings, "crf", crf, 0);
    } else if (quality) {
        // 10000 is the best picture: quantiser 2; 0 the smallest file: quantiser 31.
        int q = 31 - static_cast<int>(options_.dwQuality) * 29 / 10000;
        encoder_->flags |= AV_CODEC_FLAG_QSCALE;
        encoder_->global_quality = q * FF_QP2LAMBDA;
    } else if (dataRate) {
        encoder_->bit_rate = static_cast<int64_t>(options_.dwBytesPerSecond) * 8;
        encoder_->rc_max_rate = encoder_->bit_rate;
        encoder_->rc_buffer_size = static_cast<int>(std::min<int64_t>(encoder_->bit_rate, INT_MAX));
    } else if (!x264) {
        encoder_->flags |= AV_CODEC_FLAG_QSCALE;
        encoder_->global_quality = 4 * FF_QP2LAMBDA;
    }
    int opened = avcodec_open2(encoder_, codec, &settings);
    av_dict_free(&settings);
    if (opened < 0) {
        avcodec_free_context(&encoder_);
        return AVIERR_COMPRESSOR;
    }
    framesSinceOpen_ = 0;
    return AVIERR_OK;
}

AVIResult AVICompressedStream::SetFormat(int32_t position, std::span<const uint8_t> format) {
    if (position != 0) return AVIERR_UNSUPPORTED;
    auto f = AVIReadDibFormat(format);
    if (!f) return AVIERR_BADFORMAT;
    if (format_) {
        // The pictures' format cannot change in the middle of a stream.
        bool same = f->width == format_->width && f->height == format_->height &&
                    f->pixelFormat == format_->pixelFormat && f->bottomUp == format_->bottomUp;
        return same ? AVIERR_OK : AVIERR_UNSUPPORTED;
    }
    paddedWidth_ = RoundUp(f->width, codec_.block);
    paddedHeight_ = RoundUp(f->height, codec_.block);
    if (!converter_.Open(*f, codec_.pixelFormat, paddedWidth_, paddedHeight_)) return AVIERR_MEMORY;
    AVIResult r = AVIERR_OK;
    if (codec_.encoder == nullptr) {
        r = target_->SetRawFormat(f->width, f->height, 24);
    } else {
        r = OpenEncoder();
        if (r == AVIERR_OK) r = target_->SetEncodedFormat(encoder_);
        if (r != AVIERR_OK) avcodec_free_context(&encoder_);
    }
    if (r == AVIERR_OK) format_ = f;
    return r;
}

AVIResult AVICompressedStream::Drain(int32_t& bytesWritten) {
    for (;;) {
        int r = avcodec_receive_packet(encoder_, packet_);
        if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) return AVIERR_OK;
        if (r < 0) return AVIERR_COMPRESSOR;
        bytesWritten += packet_->size;
        packet_->duration = 1;
        AVIResult w = target_->WritePacket(packet_);
        av_packet_unref(packet_);
        if (w != AVIERR_OK) return w;
    }
}

AVIResult AVICompressedStream::WriteUncompressed(int64_t position, std::span<const uint8_t> bits,
                                                 int32_t& bytesWritten) {
    AVFrame* frame = converter_.Convert(bits);
    if (frame == nullptr) return AVIERR_BADSIZE;
    // Bitmap rows: bottom-up, each padded to 32 bits.
    size_t row = CKRowBytes(format_->width, 24);
    size_t used = static_cast<size_t>(format_->width) * 3;
    rows_.assign(row * static_cast<size_t>(format_->height), 0);
    for (int y = 0; y < format_->height; ++y)
        std::memcpy(rows_.data() + static_cast<size_t>(format_->height - 1 - y) * row,
                    frame->data[0] + static_cast<ptrdiff_t>(y) * frame->linesize[0], used);
    bytesWritten += static_cast<int32_t>(rows_.size());
    return target_->WriteSample(position, rows_, true);
}

AVIResult AVICompressedStream::Write(int32_t start, int32_t samples, std::span<const uint8_t> data, uint32_t flags,
                                     int32_t* bytesWritten) {
    if (bytesWritten != nullptr) *bytesWritten = 0;
    if (!format_) return AVIERR_BADFORMAT;
    if (start < 0 || samples < 1) return AVIERR_BADPARAM;
    // Exactly the pictures of the format: other bytes would be shown as garbled pictures.
    if (data.size() != static_cast<size_t>(samples) * format_->imageSize) return AVIERR_BADSIZE;
    // The caller may change its pictures as soon as this returns.
    // The converter may read a little past the last picture's end (swscale's vector code does):
    // zeros there make the movie the same whoever runs it.
    std::vector<uint8_t> bits(data.size() + kReadPastEnd, 0);
    std::memcpy(bits.data(), data.data(), data.size());
    AVIResult r = target_->Submit([this, start, samples, flags, size = data.size(), bits = std::move(bits)] {
        return Encode(start, samples, std::span<const uint8_t>(bits.data(), size), flags);
    });
    if (r == AVIERR_OK && bytesWritten != nullptr) {
        r = target_->Drain();
        if (r == AVIERR_OK) *bytesWritten = lastBytes_;
    }
    return r;
}

AVIResult AVICompressedStream::Encode(int32_t start, int32_t samples, std::span<const uint8_t> data, uint32_t flags) {
    int32_t bytesWritten = 0;
    lastBytes_ = 0;
    for (int32_t i = 0; i < samples; ++i) {
        auto bits = data.subspan(static_cast<size_t>(i) * format_->imageSize, format_->imageSize);
        int64_t position = static_cast<int64_t>(start) + i;
        if (codec_.encoder == nullptr) {
            AVIResult r = WriteUncompressed(position, bits, bytesWritten);
            if (r != AVIERR_OK) return r;
            continue;
        }
        bool keyAsked = i == 0 && (flags & AVIIF_KEYFRAME) && framesSinceOpen_ > 0 && !intraOnly_;
        if (keyAsked && !codec_.keyFramesByType) {
            AVIResult r = OpenEncoder();
            if (r != AVIERR_OK) return r;
        }
        if (encoder_ == nullptr) return AVIERR_COMPRESSOR;
        AVFrame* frame = converter_.Convert(bits);
        if (frame == nullptr) return AVIERR_BADSIZE;
        frame->pts = position;
        frame->pict_type = keyAsked && codec_.keyFramesByType ? AV_PICTURE_TYPE_I : AV_PICTURE_TYPE_NONE;
        if (avcodec_send_frame(encoder_, frame) < 0) return AVIERR_COMPRESSOR;
        ++framesSinceOpen_;
        AVIResult r = Drain(bytesWritten);
        if (r != AVIERR_OK) return r;
    }
    lastBytes_ = bytesWritten;
    return AVIERR_OK;
}
