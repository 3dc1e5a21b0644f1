// Primavera P6's XML export: one project of it as the schedule, with its plan, as from its XER
// export. Only read; a schedule from it is saved as a project file or a schedule text.
#include "schedule/formats/PrimaveraXml.h"

#include "schedule/tasks/TaskDB.h"

#include "resources/AddonAlerts.h"
#include "resources/AddonResources.h"
#include "schedule/files/ScheduleFileReading.h"
#include "schedule/formats/P6Import.h"
#include "schedule/formats/P6XmlFile.h"
#include "schedule/formats/ScheduleTextLines.h"

#include <optional>
#include <string>

namespace {

// The XER reader's messages say what both forms can lack: a date of P6's form, any project.
constexpr int16_t kXerMessages = 32625, kUnknownDate = 4, kNoActivities = 7;
constexpr int16_t kXmlMessages = 32626;

bool Refuse(const std::string& path, const P6XmlError& error) {
    size_t ignored = 0;
    std::string line = std::to_string(error.line), detail = Utf8ToCodePage(error.detail, ignored);
    std::string message = error.kind == P6XmlError::NotP6         ? AddonFormat(kXmlMessages, error.kind, {path})
                          : error.kind == P6XmlError::UnknownDate ? AddonFormat(kXerMessages, kUnknownDate, {line, detail})
                                                                  : AddonFormat(kXmlMessages, error.kind, {line, detail});
    return RefuseP6File(path, message);
}

} // namespace

bool ImportPrimaveraXml(TaskDB& db, const std::string& path) {
    std::optional<std::string> bytes = OpenScheduleFileBytes(path);
    if (!bytes) return false;
    P6XmlFile file;
    P6XmlError error;
    bool loaded = file.Load(*bytes, error);
    bytes.reset();
    if (!loaded) return Refuse(path, error);

    if (file.Projects().empty()) return RefuseP6File(path, AddonFormat(kXerMessages, kNoActivities, {path}));
    std::optional<size_t> chosen = ChooseP6Project(file.Projects());
    if (!chosen) return false;
    P6Schedule schedule;
    if (!file.Build(*chosen, schedule, error)) return Refuse(path, error);
    return TakeP6Schedule(db, path, std::move(schedule));
}
