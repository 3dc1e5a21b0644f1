#include "schedule/files/FileStreams.h"

#include "filekit/FKError.h"

#include <cstring>

FileInStream::FileInStream(FKFile& file, size_t bufferSize) : file_(file), buffer_(bufferSize ? bufferSize : 1) {}

bool FileInStream::ReadBytes(void* data, size_t size) {
    auto* out = static_cast<uint8_t*>(data);
    while (size > 0) {
        if (pos_ == end_) {
            if (atEnd_ || error_ != 0) return false;
            size_t got = 0;
            int32_t err = file_.Read(buffer_.data(), buffer_.size(), got);
            if (err == kFKEndOfFileErr) atEnd_ = true;
            else if (err != kFKNoErr) error_ = err;
            pos_ = 0;
            end_ = got;
            if (got == 0) return false;
        }
        size_t n = end_ - pos_ < size ? end_ - pos_ : size;
        std::memcpy(out, buffer_.data() + pos_, n);
        pos_ += n;
        out += n;
        size -= n;
    }
    return true;
}

FileOutStream::FileOutStream(FKReplacementFile& file, size_t bufferSize)
    : file_(file), buffer_(bufferSize ? bufferSize : 1) {}

bool FileOutStream::WriteBytes(const void* data, size_t size) {
    if (error_ != 0) return false;
    const auto* in = static_cast<const uint8_t*>(data);
    if (size >= buffer_.size()) {
        if (!Flush()) return false;
        error_ = file_.Write(in, size);
        return error_ == 0;
    }
    if (buffer_.size() - used_ < size && !Flush()) return false;
    std::memcpy(buffer_.data() + used_, in, size);
    used_ += size;
    return true;
}

bool FileOutStream::Flush() {
    if (error_ != 0) return false;
    if (used_ > 0) error_ = file_.Write(buffer_.data(), used_);
    used_ = 0;
    return error_ == 0;
}
