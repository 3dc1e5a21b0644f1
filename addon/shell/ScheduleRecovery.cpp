#include "shell/ScheduleRecovery.h"

#include "basekit/OwnedHandle.h"
#include "bytes/LittleEndian.h"
#include "filekit/FKLocation.h"
#include "hostapi/HostEnvironmentRecords.h"
#include "hostapi/HostSelectors.h"
#include "hostcalls/FileDialogs.h"
#include "hostcalls/HostInterface.h"
#include "schedule/commands/ScheduleFileMemory.h"
#include "schedule/tasks/DateTime.h"
#include "shell/ModuleObjects.h"

#include <array>
#include <optional>
#include <string>

namespace {

// The add-on's copy while the host is in `mode`, as an 8-bit path; nothing otherwise.
std::optional<std::string> RecoveryPath(int32_t mode) {
    std::array<uint8_t, HostRecoveryRecord::kSize> rec{};
    if (HostEnvironmentGet(kHostSelRecovery, rec.data(), nullptr) != 0) return std::nullopt;
    OwnedHandle path(LE::Get<uint32_t>(rec, HostRecoveryRecord::kPathHandle));
    if (LE::Get<int32_t>(rec, HostRecoveryRecord::kMode) != mode || !path) return std::nullopt;
    std::string native(reinterpret_cast<const char*>(path.Data()), path.Size());
    std::string path8;
    if (!FKLocation::FromNativePath(native).GetPath8(path8) || path8.size() > FileDialogRequest::kMaxPath)
        return std::nullopt;
    return path8;
}

} // namespace

void WriteScheduleRecoveryCopy() {
    ModuleObjects& m = Module();
    if (!m.taskDB.IsDirty()) return;
    // The host syncs the copy off the window's thread before its manifest vouches for it.
    if (auto path = RecoveryPath(HostRecoveryMode::Writing)) m.taskDB.SaveProjectFile(*path, false);
}

bool ReopenRecoveredSchedule() {
    ModuleObjects& m = Module();
    auto copy = RecoveryPath(HostRecoveryMode::Recovering);
    if (!copy || !FKLocation::FromPath8(*copy).IsValid() || !m.taskDB.LoadProjectFile(*copy)) return false;
    // Saved again where it came from, in the kind it was, when that kind can be saved.
    std::string path8;
    auto remembered = RememberedScheduleFile();
    bool savable = remembered && (remembered->kind == ProjectFileKind || remembered->kind == ScheduleTextKind ||
                                  remembered->kind == ProjectXmlKind);
    std::string original = savable ? remembered->Find(HostProjectPath()).value_or(remembered->absolute) : std::string();
    if (savable && FKLocation::FromNativePath(original).GetPath8(path8) && path8.size() <= FileDialogRequest::kMaxPath) {
        m.settings.SetProjectFilePath(path8);
        m.settings.projectFileKind = remembered->kind;
        m.settings.untitled = false;
    }
    m.taskDB.SetDirty(true);
    m.taskDB.SetCurrentDate(DateTime::Now(), true);
    return true;
}
