// Primavera P6's XER export: one project of it as the schedule, with its plan. Only read; a
// schedule from it is saved as a project file or a schedule text.
#include "schedule/formats/PrimaveraXer.h"

#include "schedule/tasks/TaskDB.h"

#include "resources/AddonAlerts.h"
#include "resources/AddonResources.h"
#include "schedule/files/ScheduleFileReading.h"
#include "schedule/formats/P6Import.h"
#include "schedule/formats/ScheduleTextLines.h"
#include "schedule/formats/XerSchedule.h"
#include "schedule/formats/XerTables.h"

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

bool ImportPrimaveraXer(TaskDB& db, const std::string& path) {
    std::optional<std::string> bytes = OpenScheduleFileBytes(path);
    if (!bytes) return false;
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
    return TakeP6Schedule(db, path, std::move(schedule));
}
