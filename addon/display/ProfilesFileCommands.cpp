#include "display/ProfilesFileCommands.h"

#include "display/DisplayPass.h"
#include "display/ElementHider.h"
#include "display/ProfilesJson.h"
#include "filekit/FKError.h"
#include "filekit/FKFile.h"
#include "filekit/FKLocation.h"
#include "filekit/FKReplacementFile.h"
#include "hostcalls/FileDialogs.h"
#include "hostcalls/HostInterface.h"
#include "resources/AddonAlerts.h"
#include "resources/AddonResources.h"
#include "schedule/files/SaveFailureReport.h"
#include "schedule/tasks/TaskDB.h"

#include <filesystem>

namespace {

constexpr int16_t kReadTitle = 8, kWriteTitle = 9, kProfilesType = 9, kJsonExtension = 6;
constexpr int16_t kTexts = 32641, kRead = 7, kWritten = 8;
constexpr size_t kMaxProfilesFile = 4u << 20;

std::string Leaf(const std::string& path8) { return std::filesystem::path(path8).filename().string(); }

} // namespace

bool ReadProfilesFile(const std::string& path8, ElementHider& hider) {
    std::string text;
    if (FKReadWholeFile(FKLocation::FromPath8(path8), kMaxProfilesFile, text) != kFKNoErr) {
        AddonAlert(kAlertCannotLoad, path8.c_str());
        return false;
    }
    ProfilesFileProblem problem;
    ProfileSet& set = hider.Profiles();
    if (!ReadProfiles(text, set, problem)) {
        problem.params.resize(1);
        const std::string line = std::to_string(problem.line);
        const std::string why = AddonFormat(kTexts, static_cast<int16_t>(problem.kind), {problem.params[0]});
        AddonAlert(kAlertProfilesRefused, Leaf(path8).c_str(), line.c_str(), why.c_str());
        return false;
    }
    HostReportWrite(AddonFormat(kTexts, kRead, {Leaf(path8), std::to_string(set.Profiles().size())}).c_str(), 0);
    return true;
}

void ReadProfilesCommand(TaskDB& db, ElementHider& hider) {
    const std::string path = AskLinkFile(FKFileDialogKind::Open, kReadTitle, kProfilesType, kJsonExtension, {});
    if (path.empty() || !ReadProfilesFile(path, hider)) return;
    // The project file keeps them.
    db.SetDirty(true);
    if (hider.ShowsDate()) DisplayPass(hider, db).ShowAtCurrentDate(AddonString(32595, kReadTitle));
}

void WriteProfilesCommand(const ElementHider& hider) {
    const std::string path = AskLinkFile(FKFileDialogKind::Save, kWriteTitle, kProfilesType, kJsonExtension, {});
    if (path.empty()) return;
    const std::string text = WriteProfiles(hider.Profiles());
    FKReplacementFile file(FKLocation::FromPath8(path));
    int32_t error = file.Open();
    if (error == kFKNoErr) error = file.Write(text.data(), text.size());
    if (error == kFKNoErr) error = file.Commit();
    if (error != kFKNoErr) {
        ReportSaveFailure(path, error);
        AddonAlert(kAlertSaveFailed);
        return;
    }
    HostReportWrite(AddonFormat(kTexts, kWritten, {Leaf(path), std::to_string(hider.Profiles().Profiles().size())}).c_str(), 0);
}
