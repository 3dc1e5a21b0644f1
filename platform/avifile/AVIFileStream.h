#pragma once
// A stream of the AVI file itself. It takes samples that are ready to store: uncompressed
// bitmaps, or what a compressed stream made of them.
#include "avifile/AVIStreamObject.h"
#include "ffoutput/FFEncodeQueue.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

class AVIFileStream : public AVIStreamObject {
public:
    AVIFileStream(AVIFileObject* file, AVStream* stream, const AVISTREAMINFO& streamInfo);
    ~AVIFileStream() override;

    AVIResult SetFormat(int32_t position, std::span<const uint8_t> format) override;
    AVIResult Write(int32_t start, int32_t samples, std::span<const uint8_t> data, uint32_t flags,
                    int32_t* bytesWritten) override;

    // The stream holds what `encoder` makes.
    AVIResult SetEncodedFormat(const AVCodecContext* encoder);
    // The stream holds uncompressed bitmaps of this size and depth (24 or 32 bits), bottom-up.
    AVIResult SetRawFormat(int32_t width, int32_t height, int bitsPerPixel);
    // One stored sample at `position`; `key` marks it in the index.
    AVIResult WriteSample(int64_t position, std::span<const uint8_t> data, bool key);
    // A packet a compressor made, its times counted in samples of this stream.
    AVIResult WritePacket(AVPacket* packet);

    AVRational TimeBase() const { return timeBase_; }
    // The file's thread, through which every sample goes.
    AVIResult Submit(FFEncodeQueue::Job job);
    AVIResult Drain();
    // Samples meant for the file were lost: the file will not be put in place.
    void MarkFailed();

private:
    AVIFileObject* file_;
    AVStream* stream_;
    AVRational timeBase_;
    bool formatSet_ = false;
    uint32_t rawImageSize_ = 0; // nonzero while the stream takes uncompressed bitmaps
};
