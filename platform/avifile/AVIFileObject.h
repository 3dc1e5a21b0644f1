#pragma once
// An AVI file being written: FFmpeg's AVI muxer on a file created at open. The header goes out
// with the first sample (when every stream's format is known), the index and the trailer when
// the last reference is released.
#include "avifile/AVIFile.h"

#include <string>

extern "C" {
#include <libavformat/avformat.h>
}

class AVIFileStream;

struct AVIFileObject {
    ~AVIFileObject();

    static AVIResult Create(const std::string& nativePath, AVIFileObject** out);

    void AddRef() { ++refs_; }
    uint32_t Release();

    AVIResult AddStream(const AVISTREAMINFO& info, AVIFileStream** out);
    bool HeaderWritten() const { return headerWritten_; }
    // Writes one packet of `stream`, its times counted in `timeBase`; the header first if needed.
    AVIResult WritePacket(AVStream* stream, AVPacket* packet, AVRational timeBase);

private:
    AVIFileObject() = default;
    AVIResult WriteHeader();
    void Finish();

    AVFormatContext* context_ = nullptr;
    bool headerWritten_ = false;
    bool failed_ = false;
    uint32_t refs_ = 1;
};
