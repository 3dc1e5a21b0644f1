#pragma once
// A stream that compresses the bitmaps written to it into a stream of the file. A key frame is
// made exactly where the writer asks for one: the encoder is started afresh there, so its own
// key-frame rhythm never adds or drops one (only a picture it can store without reference to
// the one before is marked as well).
#include "avifile/AVICodecTable.h"
#include "avifile/AVIDibFormat.h"
#include "avifile/AVIPictureConverter.h"
#include "avifile/AVIStreamObject.h"

#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
}

class AVIFileStream;

class AVICompressedStream : public AVIStreamObject {
public:
    AVICompressedStream(AVIFileStream* target, const AVICodecChoice& codec, const AVICOMPRESSOPTIONS& options);
    ~AVICompressedStream() override;

    AVIResult SetFormat(int32_t position, std::span<const uint8_t> format) override;
    AVIResult Write(int32_t start, int32_t samples, std::span<const uint8_t> data, uint32_t flags,
                    int32_t* bytesWritten) override;

private:
    AVIResult OpenEncoder();
    AVIResult Drain(int32_t& bytesWritten);
    // Compresses and stores samples handed over (on the file's thread).
    AVIResult Encode(int32_t start, int32_t samples, std::span<const uint8_t> data, uint32_t flags);
    AVIResult WriteUncompressed(int64_t position, std::span<const uint8_t> bits, int32_t& bytesWritten);

    AVIFileStream* target_;
    AVICodecChoice codec_;
    AVICOMPRESSOPTIONS options_;
    std::optional<AVIDibFormat> format_;
    AVIPictureConverter converter_;
    AVCodecContext* encoder_ = nullptr;
    AVPacket* packet_ = nullptr;
    bool intraOnly_ = false;
    int framesSinceOpen_ = 0;
    int paddedWidth_ = 0, paddedHeight_ = 0;
    std::vector<uint8_t> rows_; // one uncompressed sample
    int32_t lastBytes_ = 0;     // what the latest samples came to
};
