#include "hostcalls/HostInterface.h"

#include "hostapi/HostModelGlb.h"
#include "hostapi/HostSecondView.h"
#include "hostcalls/ReportHold.h"

#include <array>
#include <cstring>

namespace {

std::array<HostFunc, kHostTableSize> gTable{};
bool gTablePresent = false;
uint32_t gToken = 0;

// Calls slot `Slot` as `F` with the token first; registration calls pass no token.
template <int Slot, typename F, typename... Args> GSErr CallWithToken(Args... args) {
    if (!gTablePresent) return kHostErrNoTable;
    HostFunc fn = gTable[Slot];
    if (fn == nullptr) return kHostErrEmptyEntry;
    return reinterpret_cast<F>(fn)(gToken, args...);
}

template <int Slot, typename F, typename... Args> GSErr CallWithoutToken(Args... args) {
    if (!gTablePresent) return kHostErrNoTable;
    HostFunc fn = gTable[Slot];
    if (fn == nullptr) return kHostErrEmptyEntry;
    return reinterpret_cast<F>(fn)(args...);
}

} // namespace

extern "C" GSErr SetImportedFuncAddrs(const HostFunc* table) {
    if (table == nullptr) return kHostErrBadParameter;
    std::memcpy(gTable.data(), table, sizeof(HostFunc) * kHostTableSize);
    gTablePresent = true;
    return kHostNoError;
}

bool HostTablePresent() { return gTablePresent; }
uint32_t AddonToken() { return gToken; }
void SetAddonToken(uint32_t token) { gToken = token; }
void ForgetHostTableForTests() {
    gTable.fill(nullptr);
    gTablePresent = false;
    gToken = 0;
}

GSErr HostRegisterMenu(const uint8_t* r) { return CallWithoutToken<kHostRegisterMenu, HostRegisterMenuFunc>(r); }
GSErr HostRegisterObjectType(const uint8_t* r) {
    return CallWithoutToken<kHostRegisterObjectType, HostRegisterObjectTypeFunc>(r);
}
GSErr HostInstallMenuHandler(int16_t id, HostMenuHandler h) {
    return CallWithToken<kHostInstallMenuHandler, HostInstallMenuHandlerFunc>(id, h);
}
GSErr HostInstallProjectEventHandler(uint32_t mask, HostProjectEventHandler h) {
    return CallWithToken<kHostInstallProjectEventHandler, HostInstallProjectEventHandlerFunc>(mask, h);
}
GSErr HostKeepLoaded(bool keep) { return CallWithToken<kHostKeepLoaded, HostKeepLoadedFunc>(keep ? 1 : 0); }
GSErr HostRegisterPalette(const uint8_t* r) { return CallWithToken<kHostRegisterPalette, HostRegisterPaletteFunc>(r); }
GSErr HostUnregisterPalette(int32_t id) { return CallWithToken<kHostUnregisterPalette, HostUnregisterPaletteFunc>(id); }
GSErr HostUndoOpen(const char* name) { return CallWithToken<kHostUndoOpen, HostUndoOpenFunc>(name); }
GSErr HostUndoClose() { return CallWithToken<kHostUndoClose, HostUndoCloseFunc>(); }
GSErr HostReportWrite(const char* text, int32_t flags) {
    if (text && ReportHold::Take(text)) return kHostNoError;
    return CallWithToken<kHostReportWrite, HostReportWriteFunc>(text, flags);
}
GSErr HostEnvironmentGet(uint32_t s, void* a, void* b) { return CallWithToken<kHostEnvironmentGet, HostSelectorFunc>(s, a, b); }
GSErr HostEnvironmentSet(uint32_t s, void* a, void* b) { return CallWithToken<kHostEnvironmentSet, HostSelectorFunc>(s, a, b); }
GSErr HostDatabaseQuery(uint32_t s, void* a, void* b) { return CallWithToken<kHostDatabaseQuery, HostSelectorFunc>(s, a, b); }
GSErr HostUtility(uint32_t s, void* a, void* b) { return CallWithToken<kHostUtility, HostSelectorFunc>(s, a, b); }
GSErr HostAutomate(uint32_t s, void* a, void* b) { return CallWithToken<kHostAutomate, HostSelectorFunc>(s, a, b); }
GSErr HostGraphics(uint32_t s, void* a, void* b) { return CallWithToken<kHostGraphics, HostSelectorFunc>(s, a, b); }
GSErr HostPreferencesRead(int32_t* v, uint32_t* size, void* data) {
    return CallWithToken<kHostPreferencesRead, HostPreferencesReadFunc>(v, size, data);
}
GSErr HostPreferencesWrite(int32_t v, uint32_t size, const void* data) {
    return CallWithToken<kHostPreferencesWrite, HostPreferencesWriteFunc>(v, size, data);
}
GSErr HostAttributeGetCount(int32_t kind, int16_t* count) {
    return CallWithToken<kHostAttributeGetCount, HostAttributeGetCountFunc>(kind, count);
}
GSErr HostAttributeGet(uint8_t* r) { return CallWithToken<kHostAttributeGet, HostAttributeFunc>(r); }
GSErr HostAttributeCreate(uint8_t* r, const uint8_t* x) {
    return CallWithToken<kHostAttributeCreate, HostAttributeCreateFunc>(r, x);
}
GSErr HostAttributeModify(uint8_t* r, const uint8_t* x) {
    return CallWithToken<kHostAttributeModify, HostAttributeModifyFunc>(r, x);
}
GSErr HostAttributeSearch(uint8_t* r) { return CallWithToken<kHostAttributeSearch, HostAttributeFunc>(r); }
GSErr HostLibPartSearch(uint8_t* r) { return CallWithToken<kHostLibPartSearch, HostLibPartFunc>(r); }
GSErr HostLibPartGet(uint8_t* r) { return CallWithToken<kHostLibPartGet, HostLibPartFunc>(r); }
GSErr HostLibPartGetParams(int32_t index, uint32_t* h, int32_t* count) {
    return CallWithToken<kHostLibPartGetParams, HostLibPartGetParamsFunc>(index, h, count);
}
GSErr HostLibPartRegister(const uint16_t* fileName, const uint8_t* data, uint32_t size, uint8_t* r) {
    return CallWithToken<kHostLibPartRegister, HostLibPartRegisterFunc>(fileName, data, size, r);
}
GSErr HostElementGetCount(int32_t kind, int32_t* count) {
    return CallWithToken<kHostElementGetCount, HostElementGetCountFunc>(kind, count);
}
GSErr HostElementList(int32_t kind, uint32_t* h) { return CallWithToken<kHostElementList, HostElementListFunc>(kind, h); }
bool HostElementFilter(const uint8_t* head, int32_t filter) {
    if (!gTablePresent || gTable[kHostElementFilter] == nullptr) return false;
    return reinterpret_cast<HostElementFilterFunc>(gTable[kHostElementFilter])(gToken, head, filter) != 0;
}
GSErr HostElementGet(uint8_t* r) { return CallWithToken<kHostElementGet, HostElementGetFunc>(r); }
GSErr HostElementGetHeader(uint8_t* r) { return CallWithToken<kHostElementGetHeader, HostElementGetHeaderFunc>(r); }
GSErr HostElementChange(uint8_t* r, const uint8_t* mask) {
    return CallWithToken<kHostElementChange, HostElementChangeFunc>(r, mask);
}
GSErr HostElementGetDefaults(uint8_t* r, uint32_t* h) {
    return CallWithToken<kHostElementGetDefaults, HostElementGetDefaultsFunc>(r, h);
}
GSErr HostElementChangeDefaults(const uint8_t* r, const uint8_t* mask, uint32_t h) {
    return CallWithToken<kHostElementChangeDefaults, HostElementChangeDefaultsFunc>(r, mask, h);
}
GSErr HostElementTool(uint8_t* heads, int32_t count, uint32_t selector) {
    return CallWithToken<kHostElementTool, HostElementToolFunc>(heads, count, selector);
}
GSErr HostElementGetUserData(const uint8_t* head, uint8_t* ud) {
    return CallWithToken<kHostElementGetUserData, HostElementGetUserDataFunc>(head, ud);
}
GSErr HostElementSetUserData(uint8_t* head, const uint8_t* ud) {
    return CallWithToken<kHostElementSetUserData, HostElementSetUserDataFunc>(head, ud);
}
GSErr HostSelectionGet(uint8_t* info, uint32_t* h, int32_t flags) {
    return CallWithToken<kHostSelectionGet, HostSelectionGetFunc>(info, h, flags);
}
GSErr HostSelectElements(const uint8_t* entries, int32_t count, bool add) {
    return CallWithToken<kHostSelectElements, HostSelectElementsFunc>(entries, count, add ? 1 : 0);
}
GSErr HostProjectGetUserData(uint8_t* ud) {
    return CallWithToken<kHostProjectGetUserData, HostProjectGetUserDataFunc>(ud);
}
GSErr HostProjectSetUserData(const uint8_t* ud) {
    return CallWithToken<kHostProjectSetUserData, HostProjectSetUserDataFunc>(ud);
}
GSErr HostElementGetFacts(const uint8_t* head, uint32_t* facts, int32_t* count, int32_t flags) {
    return CallWithToken<kHostElementGetFacts, HostElementGetFactsFunc>(head, facts, count, flags);
}
GSErr HostElementGetBounds(const uint8_t* head, double* box) {
    return CallWithToken<kHostElementGetBounds, HostElementGetBoundsFunc>(head, box);
}
GSErr HostModelGetWorkSchedules(uint32_t* handle, int32_t* count, int32_t flags) {
    return CallWithToken<kHostModelGetWorkSchedules, HostModelGetWorkSchedulesFunc>(handle, count, flags);
}
GSErr HostModelGetRevision(uint32_t* handle, int32_t* count, int32_t flags) {
    return CallWithToken<kHostModelGetRevision, HostModelGetRevisionFunc>(handle, count, flags);
}
GSErr HostElementSetLook(const uint8_t* head, const uint8_t* look) {
    return CallWithToken<kHostElementSetLook, HostElementSetLookFunc>(head, look);
}
GSErr HostElementGetLook(const uint8_t* head, uint8_t* look) {
    return CallWithToken<kHostElementGetLook, HostElementGetLookFunc>(head, look);
}
bool HostSecondViewOpen() {
    int32_t open = 0;
    return CallWithToken<kHostSecondViewGet, HostSecondViewGetFunc>(&open) == kHostNoError && open != 0;
}
GSErr HostElementSetSecondLook(const uint8_t* head, int32_t shown, int32_t material, int32_t pen, const uint8_t* look) {
    return CallWithToken<kHostElementSetSecondLook, HostElementSetSecondLookFunc>(head, shown, material, pen, look);
}
GSErr HostModelGetGlb(uint32_t* glbHandle, uint32_t* guidHandle, int32_t* count) {
    return CallWithToken<kHostModelGetGlb, HostModelGetGlbFunc>(glbHandle, guidHandle, count, 0);
}
