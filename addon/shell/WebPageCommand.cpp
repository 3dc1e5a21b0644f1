#include "shell/WebPageCommand.h"

#include "bytes/FixedText.h"
#include "hostcalls/FileDialogs.h"
#include "hostcalls/HostInterface.h"
#include "movie/ProgressWindow.h"
#include "resources/AddonAlerts.h"
#include "resources/AddonResources.h"
#include "schedule/files/SaveFailureReport.h"
#include "schedule/tasks/AnimationSettings.h"
#include "schedule/tasks/TaskDB.h"
#include "webpage/WebPageFile.h"

namespace {

constexpr int16_t kTitle = 11, kType = 10, kExtension = 11; // of lists 32595, 32597, 32598
constexpr int16_t kExtensions = 32598;
constexpr int16_t kTexts = 32648;
enum : int16_t { kProgressText = 1, kWritten = 2, kNotWritten = 3, kNoModel = 4 };
// The progress window moves in tenths, so a script's transcript keeps ten lines of it.
constexpr int32_t kProgressSteps = 10;

std::string FileName(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

void ShareWebPageCommand(const ElementHider& hider, TaskDB& db) {
    // Beside the schedule, named after it.
    std::string start(db.Settings().untitled ? std::string_view() : BKTextOf(db.Settings().projectFilePath));
    if (size_t dot = start.rfind('.'); dot != std::string::npos && start.find('/', dot) == std::string::npos) start.erase(dot);
    if (!start.empty()) start += "." + AddonString(kExtensions, kExtension);
    const std::string path = AskLinkFile(FKFileDialogKind::Save, kTitle, kType, kExtension, start);
    if (path.empty()) return;

    ProgressWindow window(kProgressSteps, AddonString(32595, kTitle), AddonString(kTexts, kProgressText));
    ProgressWindowObserver observer(window);
    const WebPageResult result = WriteWebPage(hider, db, path, [&window](size_t done, size_t total) {
        const auto tenth = static_cast<int32_t>(total == 0 ? kProgressSteps : done * kProgressSteps / total);
        if (tenth != window.Current()) window.SetFrame(tenth);
        return !window.StopRequested();
    });
    switch (result.outcome) {
    case WebPageOutcome::Written:
        HostReportWrite(AddonFormat(kTexts, kWritten, {FileName(path), std::to_string((result.bytes + 1023) / 1024)}).c_str(), 0);
        break;
    case WebPageOutcome::Stopped: break;
    case WebPageOutcome::NoModel: AddonAlert(kAlertWebPageFailed, path.c_str(), AddonString(kTexts, kNoModel).c_str()); break;
    case WebPageOutcome::NotWritten:
        ReportSaveFailure(path, result.fileError);
        AddonAlert(kAlertWebPageFailed, path.c_str(), AddonString(kTexts, kNotWritten).c_str());
        break;
    }
}
