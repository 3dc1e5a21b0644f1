// The menu's open, save and save-as: which file, which kind, and what the user is told.
#include "schedule/tasks/TaskDB.h"

#include "bytes/FixedText.h"
#include "hostcalls/FileDialogs.h"
#include "hostcalls/HostInterface.h"
#include "resources/AddonAlerts.h"
#include "resources/AddonResources.h"
#include "schedule/commands/ScheduleFileMemory.h"
#include "schedule/formats/PrimaveraXer.h"
#include "schedule/formats/PrimaveraXml.h"
#include "schedule/formats/ProjectXml.h"
#include "schedule/formats/ProjectXmlSave.h"
#include "schedule/tasks/AnimationSettings.h"

namespace {
constexpr int16_t kOpenTitle = 1, kSaveTitle = 2;
constexpr int kYes = 1, kNo = 2;
constexpr int16_t kRulesReport = 32620, kRulesNotKept = 9;
} // namespace

bool TaskDB::Save(bool saveAs) {
    if (!dirty_ && !saveAs) return false;
    std::string path(BKTextOf(settings_.projectFilePath));
    int16_t kind = settings_.projectFileKind;
    if (saveAs || settings_.untitled) {
        FileDialogRequest request(kSaveTitle, path, kind);
        if (!AskSaveFile(request)) return false;
        path = ChosenPath(request);
        kind = request.chosenKind == ScheduleTextKind ? ScheduleTextKind
               : request.chosenKind == ProjectXmlKind ? ProjectXmlKind
                                                      : ProjectFileKind;
    }
    bool saved = false;
    if (kind == ScheduleTextKind) {
        saved = SaveScheduleText(path);
    } else if (kind == ProjectXmlKind) {
        saved = SaveProjectXml(*this, path);
    } else {
        saved = SaveProjectFile(path);
        kind = ProjectFileKind;
    }
    if (!saved) {
        AddonAlert(kAlertSaveFailed);
        return false;
    }
    if (kind != ProjectFileKind && !linkRules_.Empty())
        HostReportWrite(AddonFormat(kRulesReport, kRulesNotKept, {path}).c_str(), 0);
    settings_.SetProjectFilePath(path);
    settings_.projectFileKind = kind;
    settings_.untitled = false;
    dirty_ = 0;
    RememberScheduleFile(path, kind);
    return true;
}

bool TaskDB::MayReplace() {
    if (!dirty_) return true;
    std::string current(BKTextOf(settings_.projectFilePath));
    int answer = AddonAlert(kAlertSaveChanges, current.c_str());
    if (answer == kYes) return Save(false);
    return answer == kNo;
}

bool TaskDB::Open() {
    if (!MayReplace()) return false;
    FileDialogRequest request(kOpenTitle, {}, ProjectFileKind);
    if (!AskOpenFile(request)) return false;
    std::string path = ChosenPath(request);
    int16_t kind = request.chosenKind == ProjectXmlKind     ? ProjectXmlKind
                   : request.chosenKind == PrimaveraXerKind ? PrimaveraXerKind
                   : request.chosenKind == PrimaveraXmlKind ? PrimaveraXmlKind
                   : request.chosenKind == ScheduleTextKind ? ScheduleTextKind
                                                            : ProjectFileKind;
    if (!OpenScheduleFile(path, kind)) return false;
    RememberScheduleFile(path, kind);
    return true;
}

bool TaskDB::OpenScheduleFile(const std::string& path, int16_t kind) {
    if (kind == ProjectXmlKind || kind == PrimaveraXerKind || kind == PrimaveraXmlKind) {
        // Each hands what it read to ImportSchedule.
        return kind == ProjectXmlKind     ? ImportProjectXml(*this, path)
               : kind == PrimaveraXerKind ? ImportPrimaveraXer(*this, path)
                                          : ImportPrimaveraXml(*this, path);
    }
    bool loaded = kind == ScheduleTextKind ? ImportScheduleText(path) : LoadProjectFile(path);
    if (loaded) {
        settings_.SetProjectFilePath(path);
        settings_.projectFileKind = kind;
        settings_.untitled = false;
        dirty_ = 0;
        SetCurrentDate(DateTime::Now(), true);
    }
    return loaded;
}
