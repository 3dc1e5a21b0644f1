#include "filekit/FKFile.h"

#include "filekit/FKError.h"
#include "filekit/FKFaults.h"

#include <cerrno>
#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

FKFile::FKFile(FKLocation location) : location_(std::move(location)) {}

FKFile::~FKFile() {
    if (fd_ >= 0) ::close(fd_);
}

void FKFile::AdoptDescriptor(int fd, bool writing) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
    writing_ = writing;
}

int32_t FKFile::OpenForReading() {
    if (fd_ >= 0) return kFKParamErr;
    if (!location_.IsValid()) return kFKBadNameErr;
    if (int32_t fault = FKTakeFault(FKOperation::Open)) return fault;
    int fd = ::open(location_.NativePath().c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return FKErrorFromErrno(errno);
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        return kFKBadNameErr;
    }
    fd_ = fd;
    writing_ = false;
    return kFKNoErr;
}

int32_t FKFile::OpenForWriting() {
    if (fd_ >= 0) return kFKParamErr;
    if (!location_.IsValid()) return kFKBadNameErr;
    if (int32_t fault = FKTakeFault(FKOperation::Open)) return fault;
    int fd = ::open(location_.NativePath().c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return FKErrorFromErrno(errno);
    fd_ = fd;
    writing_ = true;
    return kFKNoErr;
}

int32_t FKFile::Read(void* buffer, size_t size, size_t& got) {
    got = 0;
    if (fd_ < 0 || writing_) return kFKNotOpenErr;
    if (int32_t fault = FKTakeFault(FKOperation::Read)) return fault;
    auto* p = static_cast<char*>(buffer);
    while (got < size) {
        ssize_t n = ::read(fd_, p + got, size - got);
        if (n < 0) {
            if (errno == EINTR) continue;
            return FKErrorFromErrno(errno);
        }
        if (n == 0) return kFKEndOfFileErr;
        got += static_cast<size_t>(n);
    }
    return kFKNoErr;
}

int32_t FKFile::Write(const void* data, size_t size) {
    if (fd_ < 0 || !writing_) return kFKNotOpenErr;
    if (int32_t fault = FKTakeFault(FKOperation::Write)) return fault;
    const auto* p = static_cast<const char*>(data);
    size_t done = 0;
    while (done < size) {
        ssize_t n = ::write(fd_, p + done, size - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return FKErrorFromErrno(errno);
        }
        if (n == 0) return kFKDiskFullErr;
        done += static_cast<size_t>(n);
    }
    return kFKNoErr;
}

int32_t FKFile::GetPosition(uint64_t& position) const {
    if (fd_ < 0) return kFKNotOpenErr;
    off_t at = ::lseek(fd_, 0, SEEK_CUR);
    if (at < 0) return FKErrorFromErrno(errno);
    position = static_cast<uint64_t>(at);
    return kFKNoErr;
}

int32_t FKFile::SetPosition(uint64_t position) {
    if (fd_ < 0) return kFKNotOpenErr;
    if (position > static_cast<uint64_t>(INT64_MAX)) return kFKParamErr;
    if (::lseek(fd_, static_cast<off_t>(position), SEEK_SET) < 0) return FKErrorFromErrno(errno);
    return kFKNoErr;
}

int32_t FKFile::GetSize(uint64_t& size) const {
    if (fd_ < 0) return kFKNotOpenErr;
    struct stat st {};
    if (::fstat(fd_, &st) != 0) return FKErrorFromErrno(errno);
    size = st.st_size > 0 ? static_cast<uint64_t>(st.st_size) : 0;
    return kFKNoErr;
}

int32_t FKFile::Synchronize() {
    if (fd_ < 0 || !writing_) return kFKNotOpenErr;
    // Devices and pipes cannot be synchronised; that is no failure of the data written.
    if (::fsync(fd_) != 0 && errno != EINVAL && errno != EROFS) return FKErrorFromErrno(errno);
    return kFKNoErr;
}

int32_t FKFile::Close() {
    if (fd_ < 0) return kFKNotOpenErr;
    int fd = std::exchange(fd_, -1);
    int32_t fault = FKTakeFault(FKOperation::Close);
    // The descriptor is released whatever is reported, so a failed close never leaks it.
    int rc = ::close(fd);
    if (fault) return fault;
    if (rc != 0 && errno != EINTR) return FKErrorFromErrno(errno);
    return kFKNoErr;
}

int32_t FKRenameFile(const FKLocation& from, const FKLocation& to) {
    if (!from.IsValid() || !to.IsValid()) return kFKBadNameErr;
    if (int32_t fault = FKTakeFault(FKOperation::Rename)) return fault;
    if (std::rename(from.NativePath().c_str(), to.NativePath().c_str()) != 0) return FKErrorFromErrno(errno);
    return kFKNoErr;
}

int32_t FKDeleteFile(const FKLocation& location) {
    if (!location.IsValid()) return kFKBadNameErr;
    if (::unlink(location.NativePath().c_str()) != 0) return FKErrorFromErrno(errno);
    return kFKNoErr;
}

int32_t FKReadWholeFile(const FKLocation& location, size_t maxSize, std::string& out) {
    out.clear();
    if (!location.IsValid()) return kFKBadNameErr;
    if (int32_t fault = FKTakeFault(FKOperation::Open)) return fault;
    // Without O_NONBLOCK opening a pipe would wait for a writer that may never come.
    int fd = ::open(location.NativePath().c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return FKErrorFromErrno(errno);
    FKFile file(location);
    file.AdoptDescriptor(fd, false);
    struct stat st {};
    if (::fstat(fd, &st) != 0) return FKErrorFromErrno(errno);
    if (!S_ISREG(st.st_mode)) return kFKNotAFileErr;
    if (static_cast<uint64_t>(st.st_size) > maxSize) return kFKTooLargeErr;
    int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) (void)::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    // The file may grow while it is read: one byte beyond the cap is asked for to notice it.
    out.resize(static_cast<size_t>(st.st_size) + 1);
    size_t total = 0;
    for (;;) {
        size_t got = 0;
        int32_t err = file.Read(out.data() + total, out.size() - total, got);
        total += got;
        if (err == kFKEndOfFileErr) break;
        if (err != kFKNoErr) return err;
        if (total > maxSize) return kFKTooLargeErr;
        out.resize(std::min(maxSize + 1, out.size() * 2));
    }
    out.resize(total);
    return file.Close();
}
