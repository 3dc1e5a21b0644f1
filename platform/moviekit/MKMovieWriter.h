#pragma once
// One QuickTime movie being written: the muxer, the video encoder and the text track. With the
// encoder thread, AddPicture copies the picture and returns; the conversion, the encoding and
// the muxing of it run on the movie's own thread, and a failure there is the answer of the next
// AddPicture or of Finish.
#include "basekit/BKMemory.h"
#include "ffoutput/FFEncodeQueue.h"
#include "ffoutput/FFOutputFile.h"
#include "pixkit/PXPixMap.h"

#include <memory>
#include <mutex>
#include <string>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

class MKMovieWriter {
public:
    MKMovieWriter() = default;
    MKMovieWriter(const MKMovieWriter&) = delete;
    MKMovieWriter& operator=(const MKMovieWriter&) = delete;
    ~MKMovieWriter();

    // Creates the working file beside `moviePath` and writes the movie's header; `mp4` chooses
    // the MP4 container over QuickTime's.
    int16_t Begin(const std::string& moviePath, int width, int height, int framesPerSecond, bool captionTrack,
                  const std::string& comment, int32_t codec, bool encoderThread, bool mp4 = false);
    int16_t AddPicture(BKHandle picture, int32_t count, const std::string& utf8Caption);
    // Writes the index and moves the movie into place; kMKNoError only when it is complete there.
    int16_t Finish(const std::string& title);
    bool Failed() const { return failed_; }
    // The path and the system's reason of a file failure; empty when none.
    const std::string& FailureText() const { return output_ ? output_->FailureText() : empty_; }
    // The system's reason alone; empty when none.
    const std::string& FailureReason() const { return output_ ? output_->FailureReason() : empty_; }

private:
    // A picture handed over: the host pixel map's bytes, copied.
    struct Picture {
        std::vector<uint8_t> bytes;
        PXPixMapInfo info;
        int32_t count = 1;
        int64_t start = 0;
        std::string caption;
    };
    // Converts, encodes and writes one picture (on the movie's thread); 0 or a kMK code.
    int16_t Encode(const Picture& picture);
    int16_t Fail(int16_t code);
    // A picture copy's storage of an earlier picture, so a large picture is not asked of the
    // system and given back every frame; empty when none is spare.
    std::vector<uint8_t> TakeSpareBytes();
    void GiveSpareBytes(std::vector<uint8_t> bytes);
    bool Drain();
    bool Write(AVPacket* packet, AVStream* stream, AVRational timeBase);
    void PadEdges();

    std::mutex spareMutex_;
    std::vector<std::vector<uint8_t>> spare_;
    std::unique_ptr<FFOutputFile> output_;
    std::unique_ptr<FFEncodeQueue> queue_; // the movie's thread, if any; it uses everything below
    AVFormatContext* context_ = nullptr;
    AVStream* video_ = nullptr;
    AVStream* text_ = nullptr;
    AVCodecContext* encoder_ = nullptr;
    SwsContext* sws_ = nullptr;
    AVFrame* frame_ = nullptr;
    AVPacket* packet_ = nullptr;
    AVRational timeBase_{1, 10};
    int pictureWidth_ = 0, pictureHeight_ = 0; // before padding to the encoder's size
    int64_t nextPts_ = 0;
    bool AddBlankPicture();
    bool headerWritten_ = false;
    bool mp4_ = false;
    bool failed_ = false;
    std::string empty_;
};
