#pragma once
// The add-on's side of the host interface: the copied operation table and one wrapper per host
// operation. Each wrapper passes the add-on's token first; without a table it answers
// kHostErrNoTable, for an empty slot kHostErrEmptyEntry (HostElementFilter: false).
#include "hostapi/HostAPI.h"

#include <cstdint>

extern "C" {
// The module's exports.
GSErr SetImportedFuncAddrs(const HostFunc* table);
GSErr GetExportedFuncAddrs(uint8_t* entryRecord);
}

bool HostTablePresent();
uint32_t AddonToken();
void SetAddonToken(uint32_t token); // set by initialisation, cleared after teardown
// Forgets the table (tests start from a module that never received one).
void ForgetHostTableForTests();

GSErr HostRegisterMenu(const uint8_t* menuRecord);
GSErr HostRegisterObjectType(const uint8_t* objectTypeRecord);
GSErr HostInstallMenuHandler(int16_t menuResId, HostMenuHandler handler);
GSErr HostInstallProjectEventHandler(uint32_t eventMask, HostProjectEventHandler handler);
GSErr HostKeepLoaded(bool keep);
GSErr HostRegisterPalette(const uint8_t* paletteRecord);
GSErr HostUnregisterPalette(int32_t dialogId);
GSErr HostUndoOpen(const char* stepName);
GSErr HostUndoClose();
GSErr HostReportWrite(const char* text, int32_t flags);
GSErr HostEnvironmentGet(uint32_t selector, void* param1, void* param2);
GSErr HostEnvironmentSet(uint32_t selector, void* param1, void* param2);
GSErr HostDatabaseQuery(uint32_t selector, void* param1, void* param2);
GSErr HostUtility(uint32_t selector, void* param1, void* param2);
GSErr HostAutomate(uint32_t selector, void* param1, void* param2);
GSErr HostGraphics(uint32_t selector, void* param1, void* param2);
GSErr HostPreferencesRead(int32_t* version, uint32_t* size, void* data);
GSErr HostPreferencesWrite(int32_t version, uint32_t size, const void* data);
GSErr HostAttributeGetCount(int32_t attributeKind, int16_t* count);
GSErr HostAttributeGet(uint8_t* attributeRecord);
GSErr HostAttributeCreate(uint8_t* attributeRecord, const uint8_t* extraRecord);
GSErr HostAttributeModify(uint8_t* attributeRecord, const uint8_t* extraRecord);
GSErr HostAttributeSearch(uint8_t* attributeRecord);
GSErr HostLibPartSearch(uint8_t* libPartRecord);
GSErr HostLibPartGet(uint8_t* libPartRecord);
GSErr HostLibPartGetParams(int32_t libPartIndex, uint32_t* paramHandle, int32_t* paramCount);
GSErr HostLibPartRegister(const uint16_t* fileName, const uint8_t* data, uint32_t size, uint8_t* libPartRecord);
GSErr HostElementGetCount(int32_t kind, int32_t* count);
GSErr HostElementList(int32_t kind, uint32_t* guidHandle);
bool HostElementFilter(const uint8_t* headRecord, int32_t filter);
GSErr HostElementGet(uint8_t* elementRecord);
GSErr HostElementGetHeader(uint8_t* headerRecord);
GSErr HostElementChange(uint8_t* elementRecord, const uint8_t* maskRecord);
GSErr HostElementGetDefaults(uint8_t* elementRecord, uint32_t* paramHandle);
GSErr HostElementChangeDefaults(const uint8_t* elementRecord, const uint8_t* maskRecord, uint32_t paramHandle);
GSErr HostElementTool(uint8_t* elementHeads, int32_t count, uint32_t selector);
GSErr HostElementGetUserData(const uint8_t* headRecord, uint8_t* userDataRecord);
GSErr HostElementSetUserData(uint8_t* headRecord, const uint8_t* userDataRecord);
GSErr HostSelectionGet(uint8_t* selectionInfo, uint32_t* entryHandle, int32_t flags);
GSErr HostSelectElements(const uint8_t* entries, int32_t count, bool add);
GSErr HostProjectGetUserData(uint8_t* userDataRecord);
GSErr HostProjectSetUserData(const uint8_t* userDataRecord);
GSErr HostElementGetFacts(const uint8_t* headRecord, uint32_t* factsHandle, int32_t* count, int32_t flags);
GSErr HostElementGetBounds(const uint8_t* headRecord, double* box);
GSErr HostModelGetWorkSchedules(uint32_t* handle, int32_t* count, int32_t flags);
GSErr HostModelGetRevision(uint32_t* handle, int32_t* count, int32_t flags);
GSErr HostElementSetLook(const uint8_t* headRecord, const uint8_t* lookRecord);
GSErr HostElementGetLook(const uint8_t* headRecord, uint8_t* lookRecord);
// Whether the host's second 3D window is open (false for a host without one).
bool HostSecondViewOpen();
GSErr HostElementSetSecondLook(const uint8_t* headRecord, int32_t shown, int32_t material, int32_t pen,
                               const uint8_t* lookRecord);
// The model's bodies as a glTF binary and the GUIDs of its elements in `_ELEMENT` order
// (HostModelGlb.h); the caller frees both handles.
GSErr HostModelGetGlb(uint32_t* glbHandle, uint32_t* guidHandle, int32_t* count);
