#include "schedule/commands/ScheduleFileMemory.h"

#include "basekit/BKMemory.h"
#include "basekit/OwnedHandle.h"
#include "bytes/LittleEndian.h"
#include "filekit/FKLocation.h"
#include "hostapi/HostElementRecord.h"
#include "hostapi/HostEnvironmentRecords.h"
#include "hostapi/HostSelectors.h"
#include "hostcalls/HostInterface.h"

#include <algorithm>
#include <array>

std::string HostProjectPath() {
    std::array<uint8_t, HostProjectRecord::kSize> rec{};
    if (HostEnvironmentGet(kHostSelProjectInfo, rec.data(), nullptr) != kHostNoError) return {};
    OwnedHandle path(LE::Get<uint32_t>(rec, HostProjectRecord::kPathHandle));
    OwnedHandle name(LE::Get<uint32_t>(rec, HostProjectRecord::kNameHandle));
    if (rec[HostProjectRecord::kUntitled] != 0 || !path) return {};
    return std::string(path.Bytes().begin(), path.Bytes().end());
}

void RememberScheduleFile(const std::string& path8, int16_t kind) {
    auto remembered = RememberedSchedule::Of(FKLocation::FromPath8(path8).NativePath(), kind, HostProjectPath());
    if (!remembered) return;
    std::vector<uint8_t> bytes = remembered->Bytes();
    OwnedHandle block(BKNewHandle(bytes.size()));
    if (!block) return;
    std::copy(bytes.begin(), bytes.end(), block.Data());
    std::array<uint8_t, HostUserData::kSize> ud{};
    LE::Put<int16_t>(ud, HostUserData::kVersion, RememberedSchedule::kVersion);
    LE::Put<uint16_t>(ud, HostUserData::kPlatformSign, RememberedSchedule::kPlatformSign);
    LE::Put<uint32_t>(ud, HostUserData::kDataHandle, block.Get());
    // A host that keeps no such block only forgets the schedule: nothing to tell the user.
    (void)HostProjectSetUserData(ud.data());
}

std::optional<RememberedSchedule> RememberedScheduleFile() {
    std::array<uint8_t, HostUserData::kSize> ud{};
    GSErr err = HostProjectGetUserData(ud.data());
    OwnedHandle block(err == kHostNoError ? LE::Get<uint32_t>(ud, HostUserData::kDataHandle) : 0);
    if (err != kHostNoError || LE::Get<int16_t>(ud, HostUserData::kVersion) != RememberedSchedule::kVersion)
        return std::nullopt;
    return RememberedSchedule::FromBytes(block.Bytes());
}
