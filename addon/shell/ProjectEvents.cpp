#include "shell/ProjectEvents.h"

#include "basekit/BKMemory.h"
#include "basekit/OwnedHandle.h"
#include "bytes/LittleEndian.h"
#include "hostapi/HostEnvironmentRecords.h"
#include "hostapi/HostSelectors.h"
#include "hostcalls/HostInterface.h"
#include "resources/AddonAlerts.h"
#include "resources/AddonResources.h"
#include "shell/ModuleObjects.h"

#include <array>

void OfferToSaveSchedule() {
    ModuleObjects& m = Module();
    if (!m.taskDB.IsDirty()) return;
    if (AddonAlert(kAlertSaveBeforeClosing, m.settings.projectFilePath) == 1) m.taskDB.Save(false);
}

GSErr ProjectClosingHandler(uint32_t, int32_t) {
    ModuleObjects& m = Module();
    OfferToSaveSchedule();
    m.taskDB.ClearSchedule();
    if (m.palette) {
        m.palette->DiscardRowEdit();
        m.palette->RefillList(false);
    }
    m.settings.Store();
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
    return 0;
}

GSErr NewProjectHandler(uint32_t, int32_t) {
    ModuleObjects& m = Module();
    if (m.palette) m.palette->SetPendingSharedWarning(false);
    m.taskDB.SetSharedUserId(0);
    return 0;
}

GSErr PreferencesResetHandler(uint32_t, int32_t param) {
    if (param == 2) Module().settings.Reset();
    return 0;
}
