// Primavera P6's XER export: one project of it as the schedule, with its plan. Only read; a
// schedule from it is saved as a project file or a schedule text.
#include "schedule/TaskDB.h"

#include "filekit/FKError.h"
#include "filekit/FKFile.h"
#include "hostcalls/HostInterface.h"
#include "resources/AddonAlerts.h"
#include "resources/AddonResources.h"
#include "schedule/ScheduleTextLines.h"
#include "schedule/XerProjectDialog.h"
#include "schedule/XerSchedule.h"
#include "schedule/XerTables.h"

#include <optional>
#include <string>
#include <vector>

namespace {

constexpr int16_t kReadingNotes = 32614;
constexpr int16_t kXerMessages = 32625, kNoActivities = 7;
constexpr uint64_t kMaxFileBytes = 256u << 20;

std::optional<std::string> ReadWhole(FKFile& file) {
    std::string bytes;
    std::vector<char> buffer(64 * 1024);
    for (;;) {
        size_t got = 0;
        int32_t err = file.Read(buffer.data(), buffer.size(), got);
        bytes.append(buffer.data(), got);
        if (bytes.size() > kMaxFileBytes) return std::nullopt;
        if (err == kFKEndOfFileErr) return bytes;
        if (err != kFKNoErr) return std::nullopt;
    }
}

bool Refuse(const std::string& path, const std::string& message) {
    HostReportWrite(message.c_str(), 0);
    AddonAlert(kAlertXerRefused, path.c_str());
    return false;
}

bool Refuse(const std::string& path, const XerError& error) {
    size_t ignored = 0;
    std::string line = std::to_string(error.line), detail = Utf8ToCodePage(error.detail, ignored);
    std::string message = error.kind == XerError::NotXer ? AddonFormat(kXerMessages, error.kind, {path})
                                                         : AddonFormat(kXerMessages, error.kind, {line, detail});
    return Refuse(path, message);
}

} // namespace

bool TaskDB::ImportPrimaveraXer(const std::string& path) {
    FKFile file(FKLocation::FromPath8(path));
    if (file.OpenForReading() != kFKNoErr) {
        AddonAlert(kAlertCannotLoad, path.c_str());
        return false;
    }
    std::optional<std::string> bytes = ReadWhole(file);
    (void)file.Close(); // everything was read, or nothing is used
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
    if (projects.empty()) return Refuse(path, AddonFormat(kXerMessages, kNoActivities, {path}));
    size_t chosen = 0;
    if (projects.size() > 1) {
        std::vector<std::string> names;
        size_t ignored = 0;
        for (const XerProject& p : projects) names.push_back(Utf8ToCodePage(p.name, ignored));
        std::optional<size_t> answer = AskXerProject(names);
        if (!answer) return false;
        chosen = *answer;
    }
    XerSchedule schedule;
    if (!BuildXerSchedule(tables, projects[chosen].id, schedule, error)) return Refuse(path, error);
    if (schedule.tasks.empty()) return Refuse(path, AddonFormat(kXerMessages, kNoActivities, {path}));
    ReplaceTasks(std::move(schedule.tasks), std::move(schedule.plans));
    if (schedule.lost > 0) {
        std::string count = std::to_string(schedule.lost);
        HostReportWrite(AddonFormat(kReadingNotes, 1, {count}).c_str(), 0);
    }
    return true;
}
