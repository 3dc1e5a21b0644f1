#include "schedule/formats/P6Import.h"

#include "hostcalls/HostInterface.h"
#include "resources/AddonAlerts.h"
#include "resources/AddonResources.h"
#include "schedule/files/ScheduleFileReading.h"
#include "schedule/formats/P6Schedule.h"
#include "schedule/formats/ScheduleTextLines.h"
#include "schedule/formats/XerProjectDialog.h"
#include "schedule/tasks/TaskDB.h"

namespace {
constexpr int16_t kReadingNotes = 32614;
constexpr int16_t kXerMessages = 32625, kNoActivities = 7;
} // namespace

std::optional<size_t> ChooseP6Project(const std::vector<P6Project>& projects) {
    if (projects.size() < 2) return projects.empty() ? std::nullopt : std::optional<size_t>(0);
    std::vector<std::string> names;
    size_t ignored = 0;
    for (const P6Project& p : projects) names.push_back(Utf8ToCodePage(p.name, ignored));
    return AskXerProject(names);
}

bool RefuseP6File(const std::string& path, const std::string& reason) {
    return RefuseScheduleFile(path, kAlertP6Refused, reason);
}

bool TakeP6Schedule(TaskDB& db, const std::string& path, P6Schedule&& schedule) {
    if (schedule.tasks.empty()) return RefuseP6File(path, AddonFormat(kXerMessages, kNoActivities, {path}));
    if (!db.ImportPlan(std::move(schedule.tasks), std::move(schedule.plans), path)) return false;
    if (schedule.lost > 0) {
        std::string count = std::to_string(schedule.lost);
        HostReportWrite(AddonFormat(kReadingNotes, 1, {count}).c_str(), 0);
    }
    return true;
}
