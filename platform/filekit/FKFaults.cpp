#include "filekit/FKFaults.h"

#include "filekit/FKError.h"

#include <cerrno>
#include <mutex>
#include <vector>

namespace {

struct Fault {
    FKOperation op;
    int32_t error;
    int skip;
};

std::vector<Fault>& Faults() {
    static std::vector<Fault> faults;
    return faults;
}

// Movie writers take faults on their encoder threads while a test arms the next one.
std::mutex& FaultsLock() {
    static std::mutex lock;
    return lock;
}

} // namespace

int32_t FKErrorFromErrno(int err) {
    switch (err) {
    case 0: return kFKNoErr;
    case ENOENT:
    case ENOTDIR: return kFKNotFoundErr;
    case EACCES:
    case EPERM:
    case EROFS: return kFKPermissionErr;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return kFKDiskFullErr;
    case ENAMETOOLONG:
    case EISDIR:
    case EINVAL: return kFKBadNameErr;
    default: return kFKIOErr;
    }
}

const char* FKErrorText(int32_t code) {
    switch (code) {
    case kFKNoErr: return "no error";
    case kFKDiskFullErr: return "disk full";
    case kFKIOErr: return "input/output error";
    case kFKBadNameErr: return "not a valid file name";
    case kFKNotOpenErr: return "file not open";
    case kFKEndOfFileErr: return "file ends early";
    case kFKNotFoundErr: return "no such file or folder";
    case kFKPermissionErr: return "permission denied";
    case kFKParamErr: return "bad parameter";
    case kFKNotAFileErr: return "not a plain file";
    case kFKTooLargeErr: return "file too large";
    default: return "unknown error";
    }
}

void FKInjectFault(FKOperation op, int32_t error, int skip) {
    std::lock_guard hold(FaultsLock());
    Faults().push_back({op, error, skip < 0 ? 0 : skip});
}

void FKClearFaults() {
    std::lock_guard hold(FaultsLock());
    Faults().clear();
}

int FKPendingFaults() {
    std::lock_guard hold(FaultsLock());
    return static_cast<int>(Faults().size());
}

int32_t FKTakeFault(FKOperation op) {
    std::lock_guard hold(FaultsLock());
    auto& faults = Faults();
    int32_t result = kFKNoErr;
    for (auto it = faults.begin(); it != faults.end();) {
        if (it->op != op) {
            ++it;
        } else if (it->skip > 0) {
            --it->skip;
            ++it;
        } else if (result == kFKNoErr) {
            result = it->error;
            it = faults.erase(it);
        } else {
            ++it;
        }
    }
    return result;
}
