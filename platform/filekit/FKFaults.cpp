#include "filekit/FKFaults.h"

#include "filekit/FKError.h"

#include <cerrno>
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

void FKInjectFault(FKOperation op, int32_t error, int skip) { Faults().push_back({op, error, skip < 0 ? 0 : skip}); }

void FKClearFaults() { Faults().clear(); }

int FKPendingFaults() { return static_cast<int>(Faults().size()); }

int32_t FKTakeFault(FKOperation op) {
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
