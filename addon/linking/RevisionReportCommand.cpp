#include "linking/RevisionReportCommand.h"

#include "bytes/FixedText.h"
#include "filekit/FKError.h"
#include "hostcalls/FileDialogs.h"
#include "hostcalls/HostInterface.h"
#include "resources/AddonAlerts.h"
#include "resources/AddonResources.h"
#include "schedule/files/ScheduleFileSave.h"
#include "schedule/tasks/AnimationSettings.h"

namespace {

constexpr int16_t kWriteTitle = 10, kCsvType = 5, kCsvExtension = 7;
constexpr int16_t kReport = 32647, kWritten = 11, kNoRevision = 12;
constexpr int16_t kExtensions = 32598;

} // namespace

void WriteRevisionReportCommand(const RevisionLinkReport& report, TaskDB& db) {
    if (!report.taken) {
        HostReportWrite(AddonString(kReport, kNoRevision).c_str(), 0);
        return;
    }
    // Beside the schedule, named after it.
    std::string start(db.Settings().untitled ? std::string_view() : BKTextOf(db.Settings().projectFilePath));
    if (size_t dot = start.rfind('.'); dot != std::string::npos && start.find('/', dot) == std::string::npos) start.erase(dot);
    if (!start.empty()) start += "-revision." + AddonString(kExtensions, kCsvExtension);
    std::string path = AskLinkFile(FKFileDialogKind::Save, kWriteTitle, kCsvType, kCsvExtension, start);
    if (path.empty()) return;
    const std::string text = RevisionLinksCsv(report);
    auto write = [&](FKReplacementFile& file, int32_t& error) { return (error = file.Write(text.data(), text.size())) == kFKNoErr; };
    if (!SaveScheduleFile(path, write)) {
        AddonAlert(kAlertSaveFailed);
        return;
    }
    size_t slash = path.find_last_of("/\\");
    HostReportWrite(AddonFormat(kReport, kWritten, {slash == std::string::npos ? path : path.substr(slash + 1),
                                                    std::to_string(report.rows.size())})
                        .c_str(),
                    0);
}
