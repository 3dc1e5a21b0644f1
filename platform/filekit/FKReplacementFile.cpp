#include "filekit/FKReplacementFile.h"

#include "filekit/FKError.h"
#include "filekit/FKFaults.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <csignal>
#include <cstdint>
#include <sys/file.h>
#include <sys/random.h>
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

// Random letters for the temporary's name, so that no other user can lay a file or a link there
// first; the exclusive create below refuses anything that is there anyway.
std::string RandomPart() {
    uint8_t bytes[8] = {};
    size_t got = 0;
    while (got < sizeof bytes) {
        ssize_t n = ::getrandom(bytes + got, sizeof bytes - got, 0);
        if (n < 0) {
            if (errno == EINTR) continue;
            break;
        }
        got += static_cast<size_t>(n);
    }
    static const char* digits = "0123456789abcdef";
    std::string s;
    for (uint8_t b : bytes) {
        s.push_back(digits[b >> 4]);
        s.push_back(digits[b & 15]);
    }
    return s;
}

// ".NAME.PID-RANDOM.tmp": the process id tells a live writer's temporary from one a crash left.
std::string TemporaryPrefix(const std::string& fileName) { return "." + fileName + "."; }

// Whether nobody writes the temporary at `path` any more: its writer holds an advisory lock on it
// for as long as it has it open (a crash lets the lock go), and its process no longer runs. Both
// must hold: the lock alone cannot tell a writer that has just created its file and not yet
// locked it, or one between closing and renaming; the process id alone cannot see a writer of
// another process-id namespace sharing the folder. On success the lock is kept in `fd`.
bool Abandoned(const std::filesystem::path& path, long pid, int& fd) {
    fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || ::flock(fd, LOCK_EX | LOCK_NB) != 0 ||
        ::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) {
        ::close(fd);
        fd = -1;
        return false;
    }
    return true;
}

// Removes temporaries of the target that a writer left behind (it crashed or was killed); a
// temporary still being written, by this process or any other, stays.
void SweepLeftovers(const std::filesystem::path& folder, const std::string& fileName) {
    std::string prefix = TemporaryPrefix(fileName);
    std::error_code ec;
    std::filesystem::directory_iterator it(folder, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (name.size() <= prefix.size() + 4 || name.compare(0, prefix.size(), prefix) != 0) continue;
        if (name.compare(name.size() - 4, 4, ".tmp") != 0) continue;
        std::string rest = name.substr(prefix.size(), name.size() - prefix.size() - 4);
        size_t dash = rest.find('-');
        if (dash == 0 || dash == std::string::npos || rest.size() - dash - 1 != 16) continue;
        long pid = 0;
        bool digits = true;
        for (size_t i = 0; i < dash && digits; ++i) {
            digits = rest[i] >= '0' && rest[i] <= '9' && i < 9;
            pid = pid * 10 + (rest[i] - '0');
        }
        if (!digits || pid <= 0 || pid == ::getpid()) continue;
        if (it->is_symlink(ec)) continue;
        int fd = -1;
        if (!Abandoned(it->path(), pid, fd)) continue;
        std::filesystem::remove(it->path(), ec);
        ::close(fd);
        ec.clear();
    }
}

// Makes the rename itself durable; a folder that cannot be synchronised costs only that.
void SynchronizeFolder(const std::filesystem::path& folder) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    (void)::fsync(fd);
    ::close(fd);
}

std::filesystem::path FolderOf(const std::string& path) {
    std::filesystem::path target(path);
    return target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
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
    std::filesystem::path folder = FolderOf(path);
    std::string stem = TemporaryPrefix(std::filesystem::path(path).filename().string()) + std::to_string(::getpid()) + "-";
    mode_t mode = exists ? (st.st_mode & 07777) : 0666;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string candidate = (folder / (stem + RandomPart() + ".tmp")).string();
        int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return FKErrorFromErrno(errno);
        }
        // The replacement keeps the permissions of the file it replaces, whatever the umask says.
        if (exists) (void)::fchmod(fd, mode);
        // Held while the file is open: a sweep by another writer of the same target leaves it alone.
        (void)::flock(fd, LOCK_EX | LOCK_NB);
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
    int32_t err = synchronize_ ? working_->Synchronize() : kFKNoErr;
    if (err == kFKNoErr) err = working_->Close();
    if (err == kFKNoErr) err = FKRenameFile(working_->Location(), target_);
    if (err != kFKNoErr) {
        Abandon();
        return err;
    }
    pending_ = false;
    std::filesystem::path folder = FolderOf(target_.NativePath());
    if (synchronize_) SynchronizeFolder(folder);
    SweepLeftovers(folder, std::filesystem::path(target_.NativePath()).filename().string());
    return kFKNoErr;
}
