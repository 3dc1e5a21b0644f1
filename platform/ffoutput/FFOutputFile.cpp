#include "ffoutput/FFOutputFile.h"

#include "filekit/FKError.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

extern "C" {
#include <libavutil/error.h>
#include <libavutil/mem.h>
}

namespace {

constexpr int kBufferSize = 256 * 1024;

int ErrnoOf(int32_t code) {
    switch (code) {
    case kFKDiskFullErr: return ENOSPC;
    case kFKPermissionErr: return EACCES;
    case kFKNotFoundErr: return ENOENT;
    case kFKBadNameErr: return EINVAL;
    default: return EIO;
    }
}

} // namespace

FFOutputFile::FFOutputFile(const std::string& nativePath)
    : path_(nativePath), file_(FKLocation::FromNativePath(nativePath)) {}

FFOutputFile::~FFOutputFile() { FreeContext(); }

void FFOutputFile::FreeContext() {
    if (io_ == nullptr) return;
    av_freep(&io_->buffer);
    avio_context_free(&io_);
}

int FFOutputFile::Record(int32_t code) {
    if (error_ == 0) {
        error_ = code;
        failureReason_ = std::strerror(ErrnoOf(code));
        failureText_ = path_ + ": " + failureReason_;
    }
    return AVERROR(ErrnoOf(code));
}

int32_t FFOutputFile::Open() {
    if (int32_t r = file_.Open(); r != kFKNoErr) {
        Record(r);
        return r;
    }
    auto* buffer = static_cast<unsigned char*>(av_malloc(kBufferSize));
    io_ = buffer != nullptr ? avio_alloc_context(buffer, kBufferSize, 1, this, nullptr, WritePacket, Seek) : nullptr;
    if (io_ == nullptr) {
        av_free(buffer);
        Record(kFKIOErr);
        return kFKIOErr;
    }
    return kFKNoErr;
}

int FFOutputFile::WritePacket(void* opaque, uint8_t* data, int size) {
    auto* self = static_cast<FFOutputFile*>(opaque);
    if (self->error_ != 0) return AVERROR(ErrnoOf(self->error_));
    if (int32_t r = self->file_.Write(data, static_cast<size_t>(size)); r != kFKNoErr) return self->Record(r);
    self->position_ += static_cast<uint64_t>(size);
    if (self->position_ > self->size_) self->size_ = self->position_;
    return size;
}

int64_t FFOutputFile::Seek(void* opaque, int64_t offset, int whence) {
    auto* self = static_cast<FFOutputFile*>(opaque);
    if ((whence & AVSEEK_SIZE) != 0) return static_cast<int64_t>(self->size_);
    int64_t base = 0;
    switch (whence & ~AVSEEK_FORCE) {
    case SEEK_SET: break;
    case SEEK_CUR: base = static_cast<int64_t>(self->position_); break;
    case SEEK_END: base = static_cast<int64_t>(self->size_); break;
    default: return AVERROR(EINVAL);
    }
    int64_t target = base + offset;
    if (target < 0) return AVERROR(EINVAL);
    if (int32_t r = self->file_.SetPosition(static_cast<uint64_t>(target)); r != kFKNoErr) return self->Record(r);
    self->position_ = static_cast<uint64_t>(target);
    return target;
}

int32_t FFOutputFile::Commit() {
    if (io_ == nullptr) return error_ != 0 ? error_ : kFKNotOpenErr;
    avio_flush(io_);
    if (io_->error < 0 && error_ == 0) Record(kFKIOErr);
    FreeContext();
    if (error_ != 0) return error_;
    if (int32_t r = file_.Commit(); r != kFKNoErr) {
        Record(r);
        return r;
    }
    return kFKNoErr;
}

bool FFOutputFile::Direct() const {
    struct stat st {};
    return ::stat(WorkingPath().c_str(), &st) == 0 && !S_ISREG(st.st_mode);
}
