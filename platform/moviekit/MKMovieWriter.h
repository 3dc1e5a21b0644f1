#pragma once
// One QuickTime movie being written: the muxer, the video encoder and the text track.
#include "basekit/BKMemory.h"

#include <string>

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

    // Creates the scratch file and writes the movie's header.
    int16_t Begin(const std::string& scratchPath, int width, int height, int framesPerSecond, bool captionTrack,
                  const std::string& comment);
    int16_t AddPicture(BKHandle picture, int32_t count, const std::string& utf8Caption);
    // Writes the index; false when the movie is not complete.
    bool Finish(const std::string& title);
    bool Failed() const { return failed_; }

private:
    int16_t Fail(int16_t code);
    bool Drain();
    bool Write(AVPacket* packet, AVStream* stream, AVRational timeBase);

    AVFormatContext* context_ = nullptr;
    AVStream* video_ = nullptr;
    AVStream* text_ = nullptr;
    AVCodecContext* encoder_ = nullptr;
    SwsContext* sws_ = nullptr;
    AVFrame* frame_ = nullptr;
    AVPacket* packet_ = nullptr;
    AVRational timeBase_{1, 10};
    int64_t nextPts_ = 0;
    bool headerWritten_ = false;
    bool failed_ = false;
};
