#pragma once
// An AVI file being written: FFmpeg's AVI muxer on a working file beside the movie. The header
// goes out with the first sample (when every stream's format is known), the index and the
// trailer when the last reference is released; only then, and only when every write succeeded,
// does the file take the movie's name.
#include "avifile/AVIFile.h"
#include "ffoutput/FFEncodeQueue.h"
#include "ffoutput/FFOutputFile.h"

#include <memory>
#include <string>

extern "C" {
#include <libavformat/avformat.h>
}

class AVIFileStream;

struct AVIFileObject {
    ~AVIFileObject();

    static AVIResult Create(const std::string& nativePath, bool encoderThread, AVIFileObject** out);

    void AddRef() { ++refs_; }
    uint32_t Release();
    // The movie is not wanted: finishing removes it and leaves the file of its name alone.
    void Abandon() { abandoned_ = true; }
    // Something the file was to hold is lost (an encoder failed while emptying itself).
    void MarkFailed() { failed_ = true; }

    AVIResult AddStream(const AVISTREAMINFO& info, AVIFileStream** out);
    // Waits for the file's thread first: only then is the answer sure.
    bool HeaderWritten();
    // Runs `job` on the file's thread (everything that reaches the muxer goes through it, in
    // order); the first failure of an earlier job, else 0 (or the job's result without the thread).
    AVIResult Submit(FFEncodeQueue::Job job) { return queue_->Submit(std::move(job)); }
    // Waits until every job ran; the first failure of any.
    AVIResult Drain() { return queue_->Drain(); }
    // Writes one packet of `stream`, its times counted in `timeBase`; the header first if needed.
    AVIResult WritePacket(AVStream* stream, AVPacket* packet, AVRational timeBase);

private:
    AVIFileObject() = default;
    AVIResult WriteHeader();
    AVIResult Finish();
    AVIResult Fail(AVIResult code);

    AVFormatContext* context_ = nullptr;
    std::unique_ptr<FFOutputFile> output_;
    std::unique_ptr<FFEncodeQueue> queue_;
    bool abandoned_ = false;
    bool headerWritten_ = false;
    bool failed_ = false;
    uint32_t refs_ = 1;
};
