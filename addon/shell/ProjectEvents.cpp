#include "shell/ProjectEvents.h"

#include "basekit/BKMemory.h"
#include "basekit/OwnedHandle.h"
#include "bytes/LittleEndian.h"
#include "hostapi/HostEnvironmentRecords.h"
#include "hostapi/HostSelectors.h"
#include "hostcalls/HostInterface.h"
#include "hostcalls/HostRevision.h"
#include "linking/RevisionLinkReport.h"
#include "linking/LinkRulesCommand.h"
#include "resources/AddonAlerts.h"
#include "resources/AddonResources.h"
#include "shell/ModuleObjects.h"
#include "shell/ScheduleRecovery.h"
#include "shell/ScheduleReopen.h"

#include <array>
#include <exception>
#include <optional>
#include <vector>

namespace {
// Whether the project the next opened event announces replaced the one that was closed; an
// opened event alone (the project became shared) leaves the schedule as it is.
bool gProjectReplaced = false;
} // namespace

void OfferToSaveSchedule() {
    ModuleObjects& m = Module();
    if (!m.taskDB.IsDirty()) return;
    if (AddonAlert(kAlertSaveBeforeClosing, m.settings.projectFilePath) == 1) m.taskDB.Save(false);
}

GSErr ProjectClosingHandler(uint32_t, int32_t) {
    ModuleObjects& m = Module();
    OfferToSaveSchedule();
    m.taskDB.ClearSchedule();
    m.lastRevision = {}; // the report spoke of the project that goes
    // The next project's elements hold none of the looks the second window showed.
    m.elementHider.ClearSecondView();
    if (m.palette) {
        // The marks went with the tasks; the toggle must not offer to clear what is gone.
        m.palette->SetMarked(false);
        m.palette->DiscardRowEdit();
        m.palette->RefillList(false);
    }
    m.settings.Store();
    gProjectReplaced = true;
    return 0;
}

GSErr ProjectOpenedHandler(uint32_t, int32_t) {
    ModuleObjects& m = Module();
    std::array<uint8_t, HostProjectRecord::kSize> rec{};
    HostEnvironmentGet(kHostSelProjectInfo, rec.data(), nullptr);
    OwnedHandle path(LE::Get<uint32_t>(rec, HostProjectRecord::kPathHandle));
    OwnedHandle name(LE::Get<uint32_t>(rec, HostProjectRecord::kNameHandle));
    if (rec[HostProjectRecord::kShared] != 0 && m.palette) {
        m.palette->SetPendingSharedWarning(true);
        m.taskDB.SetSharedUserId(LE::Get<int16_t>(rec, HostProjectRecord::kUserId));
        if (m.palette->IsVisible()) {
            m.palette->SetPendingSharedWarning(false);
            AddonAlert(kAlertDemoMode);
        }
    } else {
        m.taskDB.SetSharedUserId(0);
    }
    if (gProjectReplaced) {
        gProjectReplaced = false;
        // As in a menu command, nothing the schedule throws may reach the host.
        try {
            if (!ReopenRecoveredSchedule()) ReopenRememberedSchedule();
        } catch (const std::exception&) {
            HostReportWrite("Bauvista general error!", 0);
        }
    }
    return 0;
}

GSErr NewProjectHandler(uint32_t, int32_t) {
    gProjectReplaced = false;
    ModuleObjects& m = Module();
    if (m.palette) m.palette->SetPendingSharedWarning(false);
    m.taskDB.SetSharedUserId(0);
    return 0;
}

GSErr PreferencesResetHandler(uint32_t, int32_t param) {
    if (param == 2) Module().settings.Reset();
    return 0;
}

GSErr ModelUpdatedHandler(uint32_t, int32_t) {
    ModuleObjects& m = Module();
    try {
        // The links as the revision left them, then what the rules add.
        HostRevision revision;
        if (ReadHostRevision(revision) != kHostNoError) revision = {};
        m.lastRevision = CollectRevisionLinks(revision, m.taskDB, m.elementHider);
        std::optional<std::vector<API_Guid>> unreached = ReapplyRulesAfterRevision(m.taskDB);
        AddUnreachedNewElements(m.lastRevision, revision, unreached ? &*unreached : nullptr, m.elementHider);
        WriteRevisionLinkReport(m.lastRevision);
        if (m.palette) m.palette->RefillList(true);
    } catch (const std::exception&) {
        HostReportWrite("Bauvista general error!", 0);
    }
    return 0;
}

GSErr SecondViewHandler(uint32_t, int32_t) {
    ModuleObjects& m = Module();
    try {
        // Until a pass shows a date both windows show every element as it is.
        if (m.elementHider.ShowsDate())
            m.elementHider.ShowSecondView(m.taskDB, true);
        else
            m.elementHider.ClearSecondView();
    } catch (const std::exception&) {
        HostReportWrite("Bauvista general error!", 0);
    }
    return 0;
}

GSErr RecoveryWriteHandler(uint32_t, int32_t) {
    try {
        WriteScheduleRecoveryCopy();
    } catch (const std::exception&) {
        HostReportWrite("Bauvista general error!", 0);
    }
    return 0;
}
