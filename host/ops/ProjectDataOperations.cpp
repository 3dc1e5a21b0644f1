// The blocks add-ons keep for the whole project.
#include "host/ops/HostOperationAreas.h"

#include "basekit/BKMemory.h"
#include "bytes/LittleEndian.h"
#include "host/ops/OperationCall.h"

#include <cstring>

using namespace hostops;

namespace {
// As for an element's user data: a block is the add-on's bookkeeping, not its documents.
constexpr size_t kMaxBlockBytes = 65536;
} // namespace

namespace hostops {

GSErr OpProjectGetUserData(uint32_t token, uint8_t* userData) {
    Call c(token);
    if (!c || !userData) return kHostErrBadParameter;
    const UserDataBlock* block = c.Model().ProjectData(c.addon->name);
    if (!block) return kHostErrNoUserData;
    BKHandle h = BKNewHandle(block->bytes.size());
    if (!h) return kHostErrNoMemory;
    if (!block->bytes.empty()) std::memcpy(BKHandleData(h), block->bytes.data(), block->bytes.size());
    auto rec = Span(userData, HostUserData::kSize);
    LE::Put<int16_t>(rec, HostUserData::kVersion, block->version);
    LE::Put<uint16_t>(rec, HostUserData::kPlatformSign, block->platformSign);
    LE::Put<uint32_t>(rec, HostUserData::kFlags, 0);
    LE::Put<uint32_t>(rec, HostUserData::kDataHandle, h);
    return kHostNoError;
}

GSErr OpProjectSetUserData(uint32_t token, const uint8_t* userData) {
    Call c(token);
    if (!c || !userData) return kHostErrBadParameter;
    auto rec = CSpan(userData, HostUserData::kSize);
    BKHandle h = LE::Get<uint32_t>(rec, HostUserData::kDataHandle);
    if (h == 0) {
        c.Model().SetProjectData(c.addon->name, std::nullopt);
        return kHostNoError;
    }
    size_t size = BKHandleSize(h);
    if (size > kMaxBlockBytes) return kHostErrUserDataRefused;
    UserDataBlock block;
    block.version = LE::Get<int16_t>(rec, HostUserData::kVersion);
    block.platformSign = LE::Get<uint16_t>(rec, HostUserData::kPlatformSign);
    if (size) block.bytes.assign(BKHandleData(h), BKHandleData(h) + size);
    c.Model().SetProjectData(c.addon->name, std::move(block));
    return kHostNoError;
}

} // namespace hostops
