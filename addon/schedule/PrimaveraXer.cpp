// Primavera P6's XER export: one project of it as the schedule, with its plan. Only read; a
// schedule from it is saved as a project file or a schedule text.
#include "schedule/TaskDB.h"

#include "resources/AddonAlerts.h"
#include "resources/AddonResources.h"
#include "schedule/P6Import.h"
#include "schedule/ScheduleTextLines.h"
#include "schedule/WholeFile.h"
#include "schedule/XerSchedule.h"
#include "schedule/XerTables.h"

#include <optional>
#include <string>
#include <vector>

namespace {

constexpr int16_t kXerMessages = 32625, kNoActivities = 7;

bool Refuse(const std::string& path, const XerError& error) {
    size_t ignored = 0;
    std::string line = std::to_string(error.line), detail = Utf8ToCodePage(error.detail, ignored);
    std::string message = error.kind == XerError::NotXer ? AddonFormat(kXerMessages, error.kind, {path})
                                                         : AddonFormat(kXerMessages, error.kind, {line, detail});
    return RefuseP6File(path, message);
}

} // namespace

bool TaskDB::ImportPrimaveraXer(const std::string& path) {
    std::optional<std::string> bytes = ReadWholeFile(path);
    if (!bytes) {
        AddonAlert(kAlertCannotLoad, path.c_str());
        return false;
    }
    const std::string text = XerTextOf(*bytes);
    bytes.reset();
    XerTables tables;
    XerError error;
    if (!ReadXerTables(text, tables, error)) return Refuse(path, error);

    std::vector<XerProject> projects = XerProjectsOf(tables);
    if (projects.empty()) return RefuseP6File(path, AddonFormat(kXerMessages, kNoActivities, {path}));
    std::optional<size_t> chosen = ChooseP6Project(projects);
    if (!chosen) return false;
    XerSchedule schedule;
    if (!BuildXerSchedule(tables, projects[*chosen].id, schedule, error)) return Refuse(path, error);
    return TakeP6Schedule(path, std::move(schedule));
}
