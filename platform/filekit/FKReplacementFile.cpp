#include "filekit/FKReplacementFile.h"

#include "filekit/FKError.h"
#include "filekit/FKFaults.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

// The file the target names: a symbolic link is followed so the link itself stays a link.
std::string ResolveTarget(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) == nullptr) return path;
    return resolved;
}

} // namespace

FKReplacementFile::FKReplacementFile(FKLocation target) : target_(std::move(target)) {}

FKReplacementFile::~FKReplacementFile() { Abandon(); }

void FKReplacementFile::Abandon() {
    if (!working_) return;
    if (working_->IsOpen()) (void)working_->Close();
    if (pending_) (void)FKDeleteFile(working_->Location());
    pending_ = false;
}

int32_t FKReplacementFile::Open() {
    if (working_) return kFKParamErr;
    if (!target_.IsValid()) return kFKBadNameErr;
    std::string path = ResolveTarget(target_.NativePath());
    target_ = FKLocation::FromNativePath(path);

    struct stat st {};
    bool exists = ::stat(path.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode)) return kFKBadNameErr;
    if (exists && !S_ISREG(st.st_mode)) {
        direct_ = true;
        working_.emplace(target_);
        return working_->OpenForWriting();
    }

    if (int32_t fault = FKTakeFault(FKOperation::Open)) return fault;
    std::filesystem::path target(path);
    std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
    std::string stem = "." + target.filename().string() + "." + std::to_string(::getpid()) + "-";
    mode_t mode = exists ? (st.st_mode & 07777) : 0666;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string candidate = (folder / (stem + std::to_string(attempt) + ".tmp")).string();
        int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return FKErrorFromErrno(errno);
        }
        // The replacement keeps the permissions of the file it replaces, whatever the umask says.
        if (exists) (void)::fchmod(fd, mode);
        working_.emplace(FKLocation::FromNativePath(candidate));
        working_->AdoptDescriptor(fd, true);
        pending_ = true;
        return kFKNoErr;
    }
    return kFKIOErr;
}

int32_t FKReplacementFile::Write(const void* data, size_t size) {
    return working_ ? working_->Write(data, size) : kFKNotOpenErr;
}

int32_t FKReplacementFile::SetPosition(uint64_t position) {
    return working_ ? working_->SetPosition(position) : kFKNotOpenErr;
}

int32_t FKReplacementFile::Commit() {
    if (!working_ || !working_->IsOpen()) return kFKNotOpenErr;
    if (direct_) return working_->Close();
    int32_t err = working_->Synchronize();
    if (err == kFKNoErr) err = working_->Close();
    if (err == kFKNoErr) err = FKRenameFile(working_->Location(), target_);
    if (err != kFKNoErr) {
        Abandon();
        return err;
    }
    pending_ = false;
    return kFKNoErr;
}
