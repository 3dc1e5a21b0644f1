#include "schedule/P6Import.h"

#include "hostcalls/HostInterface.h"
#include "resources/AddonAlerts.h"
#include "resources/AddonResources.h"
#include "schedule/P6Schedule.h"
#include "schedule/ScheduleTextLines.h"
#include "schedule/TaskDB.h"
#include "schedule/XerProjectDialog.h"

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
    HostReportWrite(reason.c_str(), 0);
    AddonAlert(kAlertP6Refused, path.c_str());
    return false;
}

bool TaskDB::TakeP6Schedule(const std::string& path, P6Schedule&& schedule) {
    if (schedule.tasks.empty()) return RefuseP6File(path, AddonFormat(kXerMessages, kNoActivities, {path}));
    ReplaceTasks(std::move(schedule.tasks), std::move(schedule.plans));
    if (schedule.lost > 0) {
        std::string count = std::to_string(schedule.lost);
        HostReportWrite(AddonFormat(kReadingNotes, 1, {count}).c_str(), 0);
    }
    return true;
}
