// The host's operations, as add-ons call them through the table.
#include "host/ops/HostCore.h"
#include "host/ops/HostOperationAreas.h"
#include "host/ops/OperationCall.h"
#include "hostapi/HostModelGlb.h"
#include "hostapi/HostSecondView.h"

using namespace hostops;

namespace {

struct OperationSlot {
    int32_t id;
    HostFunc entry;
};

// Every slot the host answers, with its body; Entry checks the body against the slot's signature.
const OperationSlot kOperations[] = {
    {kHostRegisterMenu, Entry<HostRegisterMenuFunc>(OpRegisterMenu)},
    {kHostRegisterObjectType, Entry<HostRegisterObjectTypeFunc>(OpRegisterObjectType)},
    {kHostInstallMenuHandler, Entry<HostInstallMenuHandlerFunc>(OpInstallMenuHandler)},
    {kHostInstallProjectEventHandler, Entry<HostInstallProjectEventHandlerFunc>(OpInstallProjectEventHandler)},
    {kHostKeepLoaded, Entry<HostKeepLoadedFunc>(OpKeepLoaded)},
    {kHostRegisterPalette, Entry<HostRegisterPaletteFunc>(OpRegisterPalette)},
    {kHostUnregisterPalette, Entry<HostUnregisterPaletteFunc>(OpUnregisterPalette)},
    {kHostUndoOpen, Entry<HostUndoOpenFunc>(OpUndoOpen)},
    {kHostUndoClose, Entry<HostUndoCloseFunc>(OpUndoClose)},
    {kHostReportWrite, Entry<HostReportWriteFunc>(OpReportWrite)},
    {kHostEnvironmentGet, Entry<HostSelectorFunc>(OpEnvironmentGet)},
    {kHostEnvironmentSet, Entry<HostSelectorFunc>(OpEnvironmentSet)},
    {kHostDatabaseQuery, Entry<HostSelectorFunc>(OpDatabaseQuery)},
    {kHostUtility, Entry<HostSelectorFunc>(OpUtility)},
    {kHostAutomate, Entry<HostSelectorFunc>(OpAutomate)},
    {kHostGraphics, Entry<HostSelectorFunc>(OpGraphics)},
    {kHostPreferencesRead, Entry<HostPreferencesReadFunc>(OpPreferencesRead)},
    {kHostPreferencesWrite, Entry<HostPreferencesWriteFunc>(OpPreferencesWrite)},
    {kHostAttributeGetCount, Entry<HostAttributeGetCountFunc>(OpAttributeGetCount)},
    {kHostAttributeGet, Entry<HostAttributeFunc>(OpAttributeGet)},
    {kHostAttributeCreate, Entry<HostAttributeCreateFunc>(OpAttributeCreate)},
    {kHostAttributeModify, Entry<HostAttributeModifyFunc>(OpAttributeModify)},
    {kHostAttributeSearch, Entry<HostAttributeFunc>(OpAttributeSearch)},
    {kHostLibPartSearch, Entry<HostLibPartFunc>(OpLibPartSearch)},
    {kHostLibPartGet, Entry<HostLibPartFunc>(OpLibPartGet)},
    {kHostLibPartGetParams, Entry<HostLibPartGetParamsFunc>(OpLibPartGetParams)},
    {kHostLibPartRegister, Entry<HostLibPartRegisterFunc>(OpLibPartRegister)},
    {kHostElementGetCount, Entry<HostElementGetCountFunc>(OpElementGetCount)},
    {kHostElementList, Entry<HostElementListFunc>(OpElementList)},
    {kHostElementFilter, Entry<HostElementFilterFunc>(OpElementFilter)},
    {kHostElementGet, Entry<HostElementGetFunc>(OpElementGet)},
    {kHostElementGetHeader, Entry<HostElementGetHeaderFunc>(OpElementGetHeader)},
    {kHostElementChange, Entry<HostElementChangeFunc>(OpElementChange)},
    {kHostElementGetDefaults, Entry<HostElementGetDefaultsFunc>(OpElementGetDefaults)},
    {kHostElementChangeDefaults, Entry<HostElementChangeDefaultsFunc>(OpElementChangeDefaults)},
    {kHostElementTool, Entry<HostElementToolFunc>(OpElementTool)},
    {kHostElementGetUserData, Entry<HostElementGetUserDataFunc>(OpElementGetUserData)},
    {kHostElementSetUserData, Entry<HostElementSetUserDataFunc>(OpElementSetUserData)},
    {kHostSelectionGet, Entry<HostSelectionGetFunc>(OpSelectionGet)},
    {kHostSelectElements, Entry<HostSelectElementsFunc>(OpSelectElements)},
    {kHostProjectGetUserData, Entry<HostProjectGetUserDataFunc>(OpProjectGetUserData)},
    {kHostProjectSetUserData, Entry<HostProjectSetUserDataFunc>(OpProjectSetUserData)},
    {kHostElementGetFacts, Entry<HostElementGetFactsFunc>(OpElementGetFacts)},
    {kHostElementGetBounds, Entry<HostElementGetBoundsFunc>(OpElementGetBounds)},
    {kHostModelGetWorkSchedules, Entry<HostModelGetWorkSchedulesFunc>(OpModelGetWorkSchedules)},
    {kHostElementSetLook, Entry<HostElementSetLookFunc>(OpElementSetLook)},
    {kHostElementGetLook, Entry<HostElementGetLookFunc>(OpElementGetLook)},
    {kHostModelGetRevision, Entry<HostModelGetRevisionFunc>(OpModelGetRevision)},
    {kHostSecondViewGet, Entry<HostSecondViewGetFunc>(OpSecondViewGet)},
    {kHostElementSetSecondLook, Entry<HostElementSetSecondLookFunc>(OpElementSetSecondLook)},
    {kHostModelGetGlb, Entry<HostModelGetGlbFunc>(OpModelGetGlb)},
};

} // namespace

void FillHostTable(std::array<HostFunc, kHostTableSize>& t) {
    t.fill(nullptr);
    for (const OperationSlot& slot : kOperations) t[static_cast<size_t>(slot.id)] = slot.entry;
}
