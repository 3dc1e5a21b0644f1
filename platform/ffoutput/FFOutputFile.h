#pragma once
// Where a movie's bytes go: a file of its own beside the movie, created exclusively under a
// unique name and renamed over the movie only when all of it was written, so a failed or
// abandoned movie leaves the user's previous file of that name alone. A device is written
// directly. The muxer writes through Context(); every failure is kept with the system's reason.
#include "filekit/FKReplacementFile.h"

#include <cstdint>
#include <string>

extern "C" {
#include <libavformat/avio.h>
}

class FFOutputFile {
public:
    explicit FFOutputFile(const std::string& nativePath);
    ~FFOutputFile(); // an uncommitted file is removed
    FFOutputFile(const FFOutputFile&) = delete;
    FFOutputFile& operator=(const FFOutputFile&) = delete;

    // A FileKit code, 0 when the working file and its I/O context are ready.
    int32_t Open();
    AVIOContext* Context() const { return io_; }
    // The first write, seek or finishing failure (a FileKit code), 0 when none so far.
    int32_t Error() const { return error_; }
    // Flushes what the context holds, synchronises, closes and moves the file into place.
    int32_t Commit();
    // "path: reason" of the first failure; empty when none.
    const std::string& FailureText() const { return failureText_; }
    // The system's reason of the first failure alone ("No space left on device"); empty when none.
    const std::string& FailureReason() const { return failureReason_; }
    // Where the bytes go: the working file, or the target itself when it is a device.
    std::string WorkingPath() const { return file_.WorkingLocation().NativePath(); }
    bool Direct() const;

private:
    static int WritePacket(void* opaque, uint8_t* data, int size);
    static int64_t Seek(void* opaque, int64_t offset, int whence);
    int Record(int32_t code);
    void FreeContext();

    std::string path_;
    FKReplacementFile file_;
    AVIOContext* io_ = nullptr;
    uint64_t position_ = 0, size_ = 0;
    int32_t error_ = 0;
    std::string failureText_, failureReason_;
};
