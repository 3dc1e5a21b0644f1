#pragma once
// A file at a location, opened for reading or for writing with its content replaced. Every
// operation reports a FileKit code (FKError.h); the file is unbuffered, so callers read and
// write in blocks of their own choosing.
#include "filekit/FKLocation.h"

#include <cstddef>
#include <cstdint>
#include <string>

class FKFile {
public:
    explicit FKFile(FKLocation location);
    ~FKFile(); // closes a file left open; its close error is lost, so callers close themselves
    FKFile(const FKFile&) = delete;
    FKFile& operator=(const FKFile&) = delete;

    const FKLocation& Location() const { return location_; }
    bool IsOpen() const { return fd_ >= 0; }

    int32_t OpenForReading();
    // Creates the file or empties the one there.
    int32_t OpenForWriting();

    // Reads up to `size` bytes; `got` tells how many came. Fewer than asked gives kFKEndOfFileErr.
    int32_t Read(void* buffer, size_t size, size_t& got);
    // Writes all `size` bytes or reports why not.
    int32_t Write(const void* data, size_t size);
    int32_t GetPosition(uint64_t& position) const;
    int32_t SetPosition(uint64_t position);
    int32_t GetSize(uint64_t& size) const;
    // Pushes written bytes to the medium.
    int32_t Synchronize();
    int32_t Close();

    // For FileKit's own use: takes a descriptor opened elsewhere (the replacement file's).
    void AdoptDescriptor(int fd, bool writing);

private:
    FKLocation location_;
    int fd_ = -1;
    bool writing_ = false;
};

// Renames `from` to `to`, replacing a file at `to` in one step.
int32_t FKRenameFile(const FKLocation& from, const FKLocation& to);
// Removes a file; kFKNotFoundErr when there is none.
int32_t FKDeleteFile(const FKLocation& location);

// Reads a whole plain file of at most `maxSize` bytes. A folder, device or pipe is refused
// (kFKNotAFileErr) without waiting on it, as is a longer file (kFKTooLargeErr).
int32_t FKReadWholeFile(const FKLocation& location, size_t maxSize, std::string& out);
