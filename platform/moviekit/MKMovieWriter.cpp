#include "moviekit/MKMovieWriter.h"

#include "moviekit/MKMovie.h"
#include "moviekit/MKTextTrack.h"
#include "pixkit/PXPixMap.h"

#include <array>
#include <cstring>

extern "C" {
#include <libavutil/dict.h>
}

MKMovieWriter::~MKMovieWriter() {
    if (context_ != nullptr) {
        avio_closep(&context_->pb);
        avformat_free_context(context_);
    }
    avcodec_free_context(&encoder_);
    sws_freeContext(sws_);
    av_frame_free(&frame_);
    av_packet_free(&packet_);
}

int16_t MKMovieWriter::Fail(int16_t code) {
    failed_ = true;
    return code;
}

int16_t MKMovieWriter::Begin(const std::string& scratchPath, int width, int height, int framesPerSecond,
                             bool captionTrack, const std::string& comment) {
    timeBase_ = AVRational{1, framesPerSecond};
    if (avformat_alloc_output_context2(&context_, nullptr, "mov", scratchPath.c_str()) < 0 || context_ == nullptr)
        return Fail(kMKEncoderError);

    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_QTRLE);
    encoder_ = codec != nullptr ? avcodec_alloc_context3(codec) : nullptr;
    frame_ = av_frame_alloc();
    packet_ = av_packet_alloc();
    if (encoder_ == nullptr || frame_ == nullptr || packet_ == nullptr) return Fail(kMKEncoderError);
    encoder_->width = width;
    encoder_->height = height;
    encoder_->pix_fmt = AV_PIX_FMT_RGB24;
    encoder_->time_base = timeBase_;
    encoder_->framerate = av_inv_q(timeBase_);
    encoder_->sample_aspect_ratio = {1, 1};
    if (context_->oformat->flags & AVFMT_GLOBALHEADER) encoder_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (avcodec_open2(encoder_, codec, nullptr) < 0) return Fail(kMKEncoderError);

    video_ = avformat_new_stream(context_, nullptr);
    if (video_ == nullptr || avcodec_parameters_from_context(video_->codecpar, encoder_) < 0)
        return Fail(kMKEncoderError);
    video_->time_base = timeBase_;
    video_->avg_frame_rate = encoder_->framerate;

    if (captionTrack) {
        text_ = avformat_new_stream(context_, nullptr);
        if (text_ == nullptr) return Fail(kMKEncoderError);
        AVCodecParameters* par = text_->codecpar;
        par->codec_type = AVMEDIA_TYPE_SUBTITLE;
        par->codec_id = AV_CODEC_ID_MOV_TEXT;
        par->width = width;
        par->height = height;
        auto entry = MKTextSampleEntry(width, height);
        par->extradata = static_cast<uint8_t*>(av_mallocz(entry.size() + AV_INPUT_BUFFER_PADDING_SIZE));
        if (par->extradata == nullptr) return Fail(kMKEncoderError);
        std::memcpy(par->extradata, entry.data(), entry.size());
        par->extradata_size = static_cast<int>(entry.size());
        text_->time_base = timeBase_;
        // Players show a text track only when it is enabled.
        text_->disposition = AV_DISPOSITION_DEFAULT;
    }

    frame_->format = encoder_->pix_fmt;
    frame_->width = width;
    frame_->height = height;
    if (av_frame_get_buffer(frame_, 0) < 0) return Fail(kMKEncoderError);

    if (!comment.empty()) av_dict_set(&context_->metadata, "comment", comment.c_str(), 0);
    if (avio_open(&context_->pb, scratchPath.c_str(), AVIO_FLAG_WRITE) < 0) return Fail(kMKFileError);
    if (avformat_write_header(context_, nullptr) < 0) return Fail(kMKFileError);
    headerWritten_ = true;
    return kMKNoError;
}

bool MKMovieWriter::Write(AVPacket* packet, AVStream* stream, AVRational timeBase) {
    av_packet_rescale_ts(packet, timeBase, stream->time_base);
    packet->stream_index = stream->index;
    if (av_interleaved_write_frame(context_, packet) < 0) {
        failed_ = true;
        return false;
    }
    return true;
}

bool MKMovieWriter::Drain() {
    for (;;) {
        int r = avcodec_receive_packet(encoder_, packet_);
        if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) return true;
        if (r < 0) {
            failed_ = true;
            return false;
        }
        bool written = Write(packet_, video_, encoder_->time_base);
        av_packet_unref(packet_);
        if (!written) return false;
    }
}

int16_t MKMovieWriter::AddPicture(BKHandle picture, int32_t count, const std::string& utf8Caption) {
    if (!headerWritten_ || failed_) return kMKNoMovie;
    // A movie that lost a picture is not the movie that was asked for: it will not be kept.
    if (count < 1) return Fail(kMKBadParameter);
    const uint8_t* data = BKHandleData(picture);
    auto info = PXReadPixMapInfo(picture);
    if (data == nullptr || !info) return Fail(kMKBadPicture);

    bool indexed = info->format == PXPixelFormat::Indexed8;
    AVPixelFormat source = indexed ? AV_PIX_FMT_PAL8 : AV_PIX_FMT_BGR0;
    sws_ = sws_getCachedContext(sws_, info->width, info->height, source, encoder_->width, encoder_->height,
                                encoder_->pix_fmt, SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (sws_ == nullptr) return Fail(kMKEncoderError);
    std::array<uint32_t, 256> palette{};
    const uint8_t* planes[4] = {data + info->pixelOffset, nullptr, nullptr, nullptr};
    int strides[4] = {info->rowBytes, 0, 0, 0};
    if (indexed) {
        for (uint32_t i = 0; i < info->colourCount; ++i) {
            const uint8_t* c = data + info->colourTableOffset + 4 * i;
            palette[i] = 0xFF000000u | static_cast<uint32_t>(c[2]) << 16 | static_cast<uint32_t>(c[1]) << 8 | c[0];
        }
        planes[1] = reinterpret_cast<const uint8_t*>(palette.data());
    }
    // The encoder may still hold the previous picture.
    if (av_frame_make_writable(frame_) < 0) return Fail(kMKEncoderError);
    if (sws_scale(sws_, planes, strides, 0, info->height, frame_->data, frame_->linesize) != encoder_->height)
        return Fail(kMKEncoderError);

    int64_t start = nextPts_;
    for (int32_t i = 0; i < count; ++i) {
        frame_->pts = nextPts_++;
        if (avcodec_send_frame(encoder_, frame_) < 0) return Fail(kMKEncoderError);
        if (!Drain()) return kMKFileError;
    }
    if (text_ != nullptr) {
        auto sample = MKTextSample(utf8Caption);
        if (av_new_packet(packet_, static_cast<int>(sample.size())) < 0) return Fail(kMKEncoderError);
        std::memcpy(packet_->data, sample.data(), sample.size());
        packet_->pts = packet_->dts = start;
        packet_->duration = count;
        packet_->flags |= AV_PKT_FLAG_KEY;
        bool written = Write(packet_, text_, timeBase_);
        av_packet_unref(packet_);
        if (!written) return kMKFileError;
    }
    return kMKNoError;
}

bool MKMovieWriter::Finish(const std::string& title) {
    if (!headerWritten_) return false;
    if (!failed_ && avcodec_send_frame(encoder_, nullptr) >= 0) Drain();
    if (!title.empty()) av_dict_set(&context_->metadata, "title", title.c_str(), 0);
    if (av_write_trailer(context_) < 0) failed_ = true;
    if (avio_closep(&context_->pb) < 0) failed_ = true;
    headerWritten_ = false;
    return !failed_;
}
