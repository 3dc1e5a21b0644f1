#pragma once
// The bodies of the host's operations, one file per area; HostOperations.cpp puts each in its
// slot of the add-ons' table.
#include "hostapi/HostAPI.h"

#include <cstdint>

namespace hostops {

// Registration: menus, object types, handlers, palettes.
GSErr OpRegisterMenu(const uint8_t* record);
GSErr OpRegisterObjectType(const uint8_t* record);
GSErr OpInstallMenuHandler(uint32_t token, int16_t menuResId, HostMenuHandler handler);
GSErr OpInstallProjectEventHandler(uint32_t token, uint32_t mask, HostProjectEventHandler handler);
GSErr OpKeepLoaded(uint32_t token, int32_t keep);
GSErr OpRegisterPalette(uint32_t token, const uint8_t* record);
GSErr OpUnregisterPalette(uint32_t token, int32_t dialogId);

// Undo steps and the report window.
GSErr OpUndoOpen(uint32_t token, const char* name);
GSErr OpUndoClose(uint32_t token);
GSErr OpReportWrite(uint32_t token, const char* text, int32_t);

// The selector operations: environment, databases, utilities, automation, graphics.
GSErr OpEnvironmentGet(uint32_t token, uint32_t selector, void* p1, void* p2);
GSErr OpEnvironmentSet(uint32_t token, uint32_t selector, void* p1, void* p2);
GSErr OpDatabaseQuery(uint32_t token, uint32_t selector, void* p1, void*);
GSErr OpUtility(uint32_t token, uint32_t selector, void* p1, void* p2);
GSErr OpAutomate(uint32_t token, uint32_t selector, void* p1, void*);
GSErr OpGraphics(uint32_t token, uint32_t selector, void* p1, void* p2);

// The add-ons' records in the preference store.
GSErr OpPreferencesRead(uint32_t token, int32_t* version, uint32_t* size, void* data);
GSErr OpPreferencesWrite(uint32_t token, int32_t version, uint32_t size, const void* data);

// Attributes: layers, materials, pens.
GSErr OpAttributeGetCount(uint32_t token, int32_t kind, int16_t* count);
GSErr OpAttributeGet(uint32_t token, uint8_t* record);
GSErr OpAttributeCreate(uint32_t token, uint8_t* record, const uint8_t* extra);
GSErr OpAttributeModify(uint32_t token, uint8_t* record, const uint8_t* extra);
GSErr OpAttributeSearch(uint32_t token, uint8_t* record);

// Library parts.
GSErr OpLibPartSearch(uint32_t token, uint8_t* record);
GSErr OpLibPartGet(uint32_t token, uint8_t* record);
GSErr OpLibPartGetParams(uint32_t token, int32_t index, uint32_t* paramHandle, int32_t* paramCount);
GSErr OpLibPartRegister(uint32_t token, const uint16_t* fileName, const uint8_t* data, uint32_t size, uint8_t* record);

// Elements, their user data and the selection.
GSErr OpElementGetCount(uint32_t token, int32_t kind, int32_t* count);
GSErr OpElementList(uint32_t token, int32_t kind, uint32_t* handle);
int32_t OpElementFilter(uint32_t token, const uint8_t* head, int32_t filter);
GSErr OpElementGet(uint32_t token, uint8_t* record);
GSErr OpElementGetHeader(uint32_t token, uint8_t* header);
GSErr OpElementChange(uint32_t token, uint8_t* record, const uint8_t* mask);
GSErr OpElementGetDefaults(uint32_t token, uint8_t* record, uint32_t* paramHandle);
GSErr OpElementChangeDefaults(uint32_t token, const uint8_t* record, const uint8_t* mask, uint32_t paramHandle);
GSErr OpElementTool(uint32_t token, uint8_t* heads, int32_t count, uint32_t selector);
GSErr OpElementGetUserData(uint32_t token, const uint8_t* head, uint8_t* userData);
GSErr OpElementSetUserData(uint32_t token, uint8_t* head, const uint8_t* userData);
GSErr OpElementGetFacts(uint32_t token, const uint8_t* head, uint32_t* factsHandle, int32_t* count, int32_t flags);
GSErr OpElementGetBounds(uint32_t token, const uint8_t* head, double* box);
GSErr OpElementSetLook(uint32_t token, const uint8_t* head, const uint8_t* lookRecord);
GSErr OpElementGetLook(uint32_t token, const uint8_t* head, uint8_t* lookRecord);
GSErr OpSecondViewGet(uint32_t token, int32_t* open);
GSErr OpElementSetSecondLook(uint32_t token, const uint8_t* head, int32_t shown, int32_t material, int32_t pen,
                             const uint8_t* lookRecord);
GSErr OpModelGetWorkSchedules(uint32_t token, uint32_t* handle, int32_t* count, int32_t flags);
GSErr OpModelGetRevision(uint32_t token, uint32_t* handle, int32_t* count, int32_t flags);
GSErr OpModelGetGlb(uint32_t token, uint32_t* glbHandle, uint32_t* guidHandle, int32_t* count, int32_t flags);
GSErr OpSelectionGet(uint32_t token, uint8_t* info, uint32_t* entries, int32_t);
GSErr OpSelectElements(uint32_t token, const uint8_t* entries, int32_t count, int32_t add);

// The add-ons' blocks kept with the whole project.
GSErr OpProjectGetUserData(uint32_t token, uint8_t* userData);
GSErr OpProjectSetUserData(uint32_t token, const uint8_t* userData);

} // namespace hostops
