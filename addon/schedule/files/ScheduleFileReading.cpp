#include "schedule/files/ScheduleFileReading.h"

#include "hostcalls/HostInterface.h"
#include "resources/AddonAlerts.h"
#include "resources/AddonResources.h"
#include "schedule/files/WholeFile.h"

std::optional<std::string> OpenScheduleFileBytes(const std::string& path) {
    std::optional<std::string> bytes = ReadWholeFile(path);
    if (!bytes) AddonAlert(kAlertCannotLoad, path.c_str());
    return bytes;
}

bool RefuseScheduleFile(const std::string& path, int16_t alert, std::string_view reason) {
    if (!reason.empty()) HostReportWrite(std::string(reason).c_str(), 0);
    AddonAlert(alert, path.c_str());
    return false;
}
