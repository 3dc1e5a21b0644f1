#include "shell/ScheduleReopen.h"

#include "basekit/BKText.h"
#include "filekit/FKLocation.h"
#include "hostcalls/FileDialogs.h"
#include "resources/AddonAlerts.h"
#include "resources/AddonResources.h"
#include "schedule/commands/ScheduleFileMemory.h"
#include "shell/ModuleObjects.h"

namespace {
constexpr int kLocate = 1;

// The path as the alert shows it: the add-on's texts are 8-bit.
std::string Shown(const std::string& native) {
    std::string path8;
    if (FKLocation::FromNativePath(native).GetPath8(path8)) return path8;
    return BKFromUtf8(native);
}
} // namespace

void ReopenRememberedSchedule() {
    ModuleObjects& m = Module();
    auto remembered = RememberedScheduleFile();
    if (!remembered) return;
    bool opened = false;
    std::string path8;
    // A path the schedule's settings cannot hold whole would have its next save go elsewhere.
    if (auto found = remembered->Find(HostProjectPath());
        found && FKLocation::FromNativePath(*found).GetPath8(path8) && path8.size() <= FileDialogRequest::kMaxPath) {
        opened = m.taskDB.OpenScheduleFile(path8, remembered->kind);
    } else if (AddonAlert(kAlertScheduleMissing, Shown(remembered->absolute).c_str()) == kLocate) {
        opened = m.taskDB.Open();
    }
    if (opened && m.palette) {
        m.palette->DiscardRowEdit();
        m.palette->RefillList(true);
    }
}
