#include "shell/AddonEntries.h"

#include "bytes/LittleEndian.h"
#include "dialogkit/DGHelp.h"
#include "filekit/FKLocation.h"
#include "hostapi/HostEnvironmentRecords.h"
#include "hostapi/HostRegistrationRecord.h"
#include "hostapi/HostSecondView.h"
#include "hostapi/HostSelectors.h"
#include "hostcalls/HostInterface.h"
#include "linking/HostElementFacts.h"
#include "linking/TaskWeights.h"
#include "movie/LabelParts.h"
#include "resources/AddonMenu.h"
#include "resources/AddonResources.h"
#include "shell/MenuHandler.h"
#include "shell/ModuleObjects.h"
#include "shell/ProjectEvents.h"
#include "shell/SupportCheckCommand.h"

#include <array>
#include <clocale>
#include <cstring>

namespace {

// The platform's classic "memory full": what a start that could not make the palette returns.
constexpr GSErr kAddonErrNoMemory = -108;

} // namespace

extern "C" GSErr GetExportedFuncAddrs(uint8_t* entryRecord) {
    if (entryRecord == nullptr) return kHostErrBadParameter;
    HostEntryRecord r{};
    r.signature = kHostEntrySignature;
    r.checkEnvironment = AddonCheckEnvironment;
    r.registerInterface = AddonRegisterInterface;
    r.initialize = AddonInitialize;
    r.freeData = AddonFreeData;
    r.hostVersion = kHostEntryVersion;
    std::memcpy(entryRecord, &r, sizeof r);
    return kHostNoError;
}

int32_t AddonCheckEnvironment(uint8_t* record) {
    if (!HostTablePresent() || record == nullptr) return 0;
    std::span<uint8_t> r(record, HostEnvironmentRecord::kSize);
    if (LE::Get<int32_t>(r, HostEnvironmentRecord::kDecline) != 0) return 0;
    LE::PutText(r, HostEnvironmentRecord::kName, HostEnvironmentRecord::kTextSize, AddonString(32000, 1));
    LE::PutText(r, HostEnvironmentRecord::kDescription, HostEnvironmentRecord::kTextSize, AddonString(32000, 2));
    return 2;
}

GSErr AddonRegisterInterface() {
    if (!HostTablePresent()) return kHostErrNoTable;
    std::array<uint8_t, HostMenuRecord::kSize> menu{};
    LE::Put<int16_t>(menu, HostMenuRecord::kMenuResId, kAddonMenuId);
    LE::Put<int16_t>(menu, HostMenuRecord::kPromptResId, kAddonMenuPromptId);
    LE::Put<int32_t>(menu, HostMenuRecord::kPlacement, 9);
    LE::Put<int32_t>(menu, HostMenuRecord::kFlags, 0);
    if (GSErr err = HostRegisterMenu(menu.data()); err != kHostNoError) return err;
    std::array<uint8_t, HostObjectTypeRecord::kSize> type{};
    LE::Put<int32_t>(type, HostObjectTypeRecord::kSignature, static_cast<int32_t>(kLabelObjectVariation));
    LE::Put<int16_t>(type, HostObjectTypeRecord::kTemplateId, kLabelObjectTemplateId);
    LE::Put<int16_t>(type, HostObjectTypeRecord::kNameResId, kLabelObjectNameId);
    LE::Put<int16_t>(type, HostObjectTypeRecord::kIconId, kLabelObjectTemplateId);
    return HostRegisterObjectType(type.data());
}

GSErr AddonInitialize(uint32_t token) {
    if (!HostTablePresent()) return kHostErrNoTable;
    SetAddonToken(token);
    ModuleObjects& m = Module();
    if (GSErr err = HostInstallMenuHandler(kAddonMenuId, AddonMenuHandler); err != kHostNoError) return err;
    try {
        m.palette = std::make_unique<MainDialogCPP>(m.taskDB, m.elementHider);
        m.observer = std::make_unique<MainDialogObserver>(*m.palette);
    } catch (const std::exception&) {
        m.observer.reset();
        m.palette.reset();
        return kAddonErrNoMemory;
    }
    if (m.palette->DialogId() == 0 || !m.observer) {
        m.observer.reset();
        m.palette.reset();
        return kAddonErrNoMemory;
    }
    m.palette->StartEventProcessing();
    // Without its chart the add-on still works: the menu item then does nothing.
    try {
        m.chart = std::make_unique<ChartWindow>(m.taskDB, m.elementHider, m.palette.get());
    } catch (const std::exception&) {
        m.chart.reset();
    }
    try {
        m.sCurve = std::make_unique<SCurveWindow>(m.taskDB, [&m](const std::string& key) {
            HostElementFacts facts(m.elementHider);
            return TaskWeights(m.taskDB, facts, key);
        });
    } catch (const std::exception&) {
        m.sCurve.reset();
    }
    m.taskDB.InitTaskDB();
    m.elementHider.LoadResources();
    RegisterLabelParts();
    HostInstallProjectEventHandler(kHostEventClose, ProjectClosingHandler);
    HostInstallProjectEventHandler(kHostEventOpened, ProjectOpenedHandler);
    HostInstallProjectEventHandler(kHostEventNewProject, NewProjectHandler);
    HostInstallProjectEventHandler(kHostEventPreferencesReset, PreferencesResetHandler);
    HostInstallProjectEventHandler(kHostEventModelUpdated, ModelUpdatedHandler);
    HostInstallProjectEventHandler(kHostEventRecoveryWrite, RecoveryWriteHandler);
    HostInstallProjectEventHandler(kHostEventSecondView, SecondViewHandler);
    m.settings.Load();
    if (!m.settings.supportCheckOn) ShowSupportCheckMenuText(m.settings);
    std::setlocale(LC_TIME, "");
    std::setlocale(LC_COLLATE, "");
    std::array<uint8_t, HostFolderRecord::kSize> folder{};
    LE::Put<int32_t>(folder, HostFolderRecord::kFolderKind, HostFolderRecord::kHelpFolder);
    FKLocation help;
    if (HostEnvironmentGet(kHostSelAddonFolder, folder.data(), &help) == kHostNoError && help.IsValid())
        DGAddHelpLocation(kAddonDeveloperId, kAddonLocalId, help.NativePath());
    return kHostNoError;
}

GSErr AddonFreeData() {
    if (!HostTablePresent()) return kHostErrNoTable;
    ModuleObjects& m = Module();
    m.settings.Store();
    OfferToSaveSchedule();
    m.chart.reset();
    m.sCurve.reset();
    if (m.palette) {
        m.palette->StopEventProcessing();
        m.palette.reset();
    }
    m.observer.reset();
    DGRemoveHelpLocation(kAddonDeveloperId, kAddonLocalId);
    SetAddonToken(0);
    return kHostNoError;
}
