#include "moviekit/MKMovieWriter.h"

#include "moviekit/MKMovie.h"
#include "moviekit/MKTextTrack.h"
#include "pixkit/PXPixMap.h"

#include <array>
#include <cstring>

extern "C" {
#include <libavutil/dict.h>
}

namespace {
constexpr size_t kReadPast = 256;
// Copies kept for the next pictures: one waiting, one being encoded.
constexpr size_t kSpareCopies = 2;
constexpr const char* kMp4Preset = "veryfast";
constexpr const char* kMp4Quality = "21";
} // namespace

MKMovieWriter::~MKMovieWriter() {
    // The thread finishes what it was given (or drops it after a failure) before anything it uses goes.
    queue_.reset();
    // The I/O context belongs to the output file, which removes a file it did not commit.
    if (context_ != nullptr) avformat_free_context(context_);
    avcodec_free_context(&encoder_);
    sws_freeContext(sws_);
    av_frame_free(&frame_);
    av_packet_free(&packet_);
}

int16_t MKMovieWriter::Fail(int16_t code) {
    failed_ = true;
    return code;
}

int16_t MKMovieWriter::Begin(const std::string& moviePath, int width, int height, int framesPerSecond,
                             bool captionTrack, const std::string& comment, int32_t codecChoice,
                             bool encoderThread, bool mp4) {
    timeBase_ = AVRational{1, framesPerSecond};
    mp4_ = mp4;
    pictureWidth_ = width;
    pictureHeight_ = height;
    output_ = std::make_unique<FFOutputFile>(moviePath);
    if (output_->Open() != 0) return Fail(kMKFileError);
    // The muxer reopens its file by name to move the index to the front.
    if (avformat_alloc_output_context2(&context_, nullptr, mp4 ? "mp4" : "mov", output_->WorkingPath().c_str()) < 0 ||
        context_ == nullptr)
        return Fail(kMKEncoderError);
    context_->pb = output_->Context();
    context_->flags |= AVFMT_FLAG_CUSTOM_IO;

    bool h264 = codecChoice != kMKCodecAnimation;
    const AVCodec* codec = h264 ? avcodec_find_encoder_by_name("libx264") : avcodec_find_encoder(AV_CODEC_ID_QTRLE);
    encoder_ = codec != nullptr ? avcodec_alloc_context3(codec) : nullptr;
    frame_ = av_frame_alloc();
    packet_ = av_packet_alloc();
    if (encoder_ == nullptr || frame_ == nullptr || packet_ == nullptr) return Fail(kMKEncoderError);
    // 4:2:0 H.264, which every player takes, needs an even size: the edge is repeated.
    encoder_->width = h264 ? (width + 1) & ~1 : width;
    encoder_->height = h264 ? (height + 1) & ~1 : height;
    encoder_->pix_fmt = h264 ? AV_PIX_FMT_YUV420P : AV_PIX_FMT_RGB24;
    encoder_->time_base = timeBase_;
    encoder_->framerate = av_inv_q(timeBase_);
    encoder_->sample_aspect_ratio = {1, 1};
    if (h264) {
        // libx264's frame threads are deterministic for a given thread count, but the count it
        // picks follows the machine: a fixed count gives the same movie everywhere.
        encoder_->thread_type = FF_THREAD_FRAME;
        encoder_->thread_count = 3;
    }
    if (context_->oformat->flags & AVFMT_GLOBALHEADER) encoder_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    AVDictionary* encoderOptions = nullptr;
    // An MP4 movie is made at many frames a second and large sizes: x264's faster search at a
    // quality a little above its default keeps a 1080p movie ahead of real time on two cores.
    if (mp4) {
        av_dict_set(&encoderOptions, "preset", kMp4Preset, 0);
        av_dict_set(&encoderOptions, "crf", kMp4Quality, 0);
    }
    int opened = avcodec_open2(encoder_, codec, &encoderOptions);
    av_dict_free(&encoderOptions);
    if (opened < 0) return Fail(kMKEncoderError);

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
        // The sample entry is laid out as 3GPP timed text, not as classic QuickTime text.
        par->codec_tag = MKTAG('t', 'x', '3', 'g');
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
    frame_->width = encoder_->width;
    frame_->height = encoder_->height;
    if (av_frame_get_buffer(frame_, 0) < 0) return Fail(kMKEncoderError);

    if (!comment.empty()) av_dict_set(&context_->metadata, "comment", comment.c_str(), 0);
    AVDictionary* options = nullptr;
    // The index at the front lets a browser play the movie while it loads; a device cannot be
    // read back to move it there.
    if (!output_->Direct()) av_dict_set(&options, "movflags", "+faststart", 0);
    int r = avformat_write_header(context_, &options);
    av_dict_free(&options);
    if (r < 0 || context_->pb->error < 0) return Fail(kMKFileError);
    headerWritten_ = true;
    queue_ = std::make_unique<FFEncodeQueue>(encoderThread);
    return kMKNoError;
}

bool MKMovieWriter::Write(AVPacket* packet, AVStream* stream, AVRational timeBase) {
    av_packet_rescale_ts(packet, timeBase, stream->time_base);
    packet->stream_index = stream->index;
    // A write the I/O buffer let through may still have failed underneath it.
    return av_interleaved_write_frame(context_, packet) >= 0 && context_->pb->error >= 0;
}

bool MKMovieWriter::Drain() {
    for (;;) {
        int r = avcodec_receive_packet(encoder_, packet_);
        if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) return true;
        if (r < 0) return false;
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
    // The caller may change or free its picture as soon as this returns.
    Picture copy;
    copy.bytes = TakeSpareBytes();
    size_t size = BKHandleSize(picture);
    copy.bytes.resize(size + kReadPast);
    std::memcpy(copy.bytes.data(), data, size);
    // Zeros after the picture: swscale's vector code may read a little past its last row.
    std::memset(copy.bytes.data() + size, 0, kReadPast);
    copy.info = *info;
    copy.count = count;
    copy.start = nextPts_;
    copy.caption = utf8Caption;
    nextPts_ += count;
    int32_t r = queue_->Submit([this, copy = std::move(copy)]() mutable {
        auto result = static_cast<int32_t>(Encode(copy));
        GiveSpareBytes(std::move(copy.bytes));
        return result;
    });
    return r != 0 ? Fail(static_cast<int16_t>(r)) : kMKNoError;
}

int16_t MKMovieWriter::Encode(const Picture& picture) {
    const PXPixMapInfo& info = picture.info;
    const uint8_t* data = picture.bytes.data();
    bool indexed = info.format == PXPixelFormat::Indexed8;
    AVPixelFormat source = indexed ? AV_PIX_FMT_PAL8 : AV_PIX_FMT_BGR0;
    // An MP4 picture of the movie's own size is only converted, which the nearest sample does at
    // less than half bilinear's cost; a QuickTime movie keeps the filter its files were made with.
    bool scaled = info.width != pictureWidth_ || info.height != pictureHeight_;
    int filter = mp4_ && !scaled ? SWS_POINT : SWS_BILINEAR;
    sws_ = sws_getCachedContext(sws_, info.width, info.height, source, pictureWidth_, pictureHeight_,
                                encoder_->pix_fmt, filter, nullptr, nullptr, nullptr);
    if (sws_ == nullptr) return kMKEncoderError;
    std::array<uint32_t, 256> palette{};
    const uint8_t* planes[4] = {data + info.pixelOffset, nullptr, nullptr, nullptr};
    int strides[4] = {info.rowBytes, 0, 0, 0};
    if (indexed) {
        for (uint32_t i = 0; i < info.colourCount; ++i) {
            const uint8_t* c = data + info.colourTableOffset + 4 * i;
            palette[i] = 0xFF000000u | static_cast<uint32_t>(c[2]) << 16 | static_cast<uint32_t>(c[1]) << 8 | c[0];
        }
        planes[1] = reinterpret_cast<const uint8_t*>(palette.data());
    }
    // The encoder may still hold the previous picture.
    if (av_frame_make_writable(frame_) < 0) return kMKEncoderError;
    if (sws_scale(sws_, planes, strides, 0, info.height, frame_->data, frame_->linesize) != pictureHeight_)
        return kMKEncoderError;
    PadEdges();

    int64_t pts = picture.start;
    for (int32_t i = 0; i < picture.count; ++i) {
        frame_->pts = pts++;
        if (avcodec_send_frame(encoder_, frame_) < 0) return kMKEncoderError;
        if (!Drain()) return kMKFileError;
    }
    if (text_ != nullptr) {
        auto sample = MKTextSample(picture.caption);
        if (av_new_packet(packet_, static_cast<int>(sample.size())) < 0) return kMKEncoderError;
        std::memcpy(packet_->data, sample.data(), sample.size());
        packet_->pts = packet_->dts = picture.start;
        packet_->duration = picture.count;
        packet_->flags |= AV_PKT_FLAG_KEY;
        bool written = Write(packet_, text_, timeBase_);
        av_packet_unref(packet_);
        if (!written) return kMKFileError;
    }
    return kMKNoError;
}

int16_t MKMovieWriter::Finish(const std::string& title) {
    if (!headerWritten_) return kMKNoMovie;
    headerWritten_ = false;
    // Every picture handed over is in the file (or its failure known) before the end is written.
    if (queue_->Drain() != 0) failed_ = true;
    // A movie stopped before its first picture is still a movie: players need its video track,
    // which the container leaves out while it has no sample. One black picture gives it one.
    if (!failed_ && nextPts_ == 0 && !AddBlankPicture()) failed_ = true;
    if (!failed_ && (avcodec_send_frame(encoder_, nullptr) < 0 || !Drain())) failed_ = true;
    if (failed_) return kMKFileError;
    if (!title.empty()) av_dict_set(&context_->metadata, "title", title.c_str(), 0);
    if (av_write_trailer(context_) < 0 || context_->pb->error < 0 || output_->Commit() != 0) return Fail(kMKFileError);
    return kMKNoError;
}

bool MKMovieWriter::AddBlankPicture() {
    if (av_frame_make_writable(frame_) < 0) return false;
    bool yuv = encoder_->pix_fmt == AV_PIX_FMT_YUV420P;
    for (int plane = 0; plane < (yuv ? 3 : 1); ++plane) {
        int rows = plane == 0 ? frame_->height : (frame_->height + 1) / 2;
        uint8_t value = !yuv ? 0 : plane == 0 ? 16 : 128;
        std::memset(frame_->data[plane], value, static_cast<size_t>(frame_->linesize[plane]) * static_cast<size_t>(rows));
    }
    frame_->pts = nextPts_++;
    return avcodec_send_frame(encoder_, frame_) >= 0 && Drain();
}

void MKMovieWriter::PadEdges() {
    // Only the luma plane can have a column or row more than the picture: the chroma planes
    // already cover the even size with their half-size samples.
    if (encoder_->pix_fmt != AV_PIX_FMT_YUV420P) return;
    uint8_t* luma = frame_->data[0];
    ptrdiff_t stride = frame_->linesize[0];
    if (encoder_->width > pictureWidth_)
        for (int y = 0; y < pictureHeight_; ++y) luma[y * stride + pictureWidth_] = luma[y * stride + pictureWidth_ - 1];
    if (encoder_->height > pictureHeight_)
        std::memcpy(luma + pictureHeight_ * stride, luma + (pictureHeight_ - 1) * stride,
                    static_cast<size_t>(encoder_->width));
}

std::vector<uint8_t> MKMovieWriter::TakeSpareBytes() {
    std::lock_guard lock(spareMutex_);
    if (spare_.empty()) return {};
    std::vector<uint8_t> bytes = std::move(spare_.back());
    spare_.pop_back();
    return bytes;
}

void MKMovieWriter::GiveSpareBytes(std::vector<uint8_t> bytes) {
    std::lock_guard lock(spareMutex_);
    if (spare_.size() < kSpareCopies) spare_.push_back(std::move(bytes));
}
