#pragma once
// Byte streams over FileKit files, buffered so that the many small fields of a stored form
// cost one system call per block rather than one each.
#include "filekit/FKFile.h"
#include "filekit/FKReplacementFile.h"
#include "schedule/tasks/ByteStream.h"

#include <cstdint>
#include <vector>

class FileInStream final : public IInStream {
public:
    explicit FileInStream(FKFile& file, size_t bufferSize = 64 * 1024);
    bool ReadBytes(void* data, size_t size) override;
    // The FileKit error that ended reading, or 0 when it was the end of the file or none.
    int32_t Error() const { return error_; }

private:
    FKFile& file_;
    std::vector<uint8_t> buffer_;
    size_t pos_ = 0, end_ = 0;
    bool atEnd_ = false;
    int32_t error_ = 0;
};

class FileOutStream final : public IOutStream {
public:
    explicit FileOutStream(FKReplacementFile& file, size_t bufferSize = 64 * 1024);
    bool WriteBytes(const void* data, size_t size) override;
    // Writes what is buffered; false once any write failed.
    bool Flush();
    int32_t Error() const { return error_; }

private:
    FKReplacementFile& file_;
    std::vector<uint8_t> buffer_;
    size_t used_ = 0;
    int32_t error_ = 0;
};
