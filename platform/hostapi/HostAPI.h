#ifndef BAUVISTA_HOSTAPI_H
#define BAUVISTA_HOSTAPI_H
/*
 * The host's operation table. The host fills a table of kHostTableSize entries; an add-on
 * copies it once (SetImportedFuncAddrs) and calls every operation through it. Slots are only
 * ever appended: an operation keeps its slot forever, and an empty slot means the host does
 * not offer the operation.
 *
 * Every operation except the two registrations takes the add-on's token first and returns
 * a GSErr (0 success, 0x8106xxxx failure). Records are byte blocks laid out by offset in the
 * Host*Record.h headers; memory the host hands out in them is a BaseKit handle the caller frees.
 */
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef int32_t GSErr;
typedef void (*HostFunc)(void);

enum { kHostTableSize = 424 };

/* Error codes. */
#define kHostNoError ((GSErr)0)
#define kHostErrNoTable ((GSErr)0x81060001)
#define kHostErrBadParameter ((GSErr)0x81060002)
#define kHostErrNoElement ((GSErr)0x81060003)
#define kHostErrBadKind ((GSErr)0x81060004)
#define kHostErrNoAttribute ((GSErr)0x81060005)
#define kHostErrNoMemory ((GSErr)0x81060006)
#define kHostErrNotAvailable ((GSErr)0x81060007)
#define kHostErrNoPreferences ((GSErr)0x81060008)
#define kHostErrBadSelector ((GSErr)0x81060009)
#define kHostErrNotInUndoStep ((GSErr)0x8106000A)
#define kHostErrLayerLocked ((GSErr)0x8106000B)
#define kHostErrNameExists ((GSErr)0x8106000C)
#define kHostErrNoLibPart ((GSErr)0x8106000D)
#define kHostErrFile ((GSErr)0x8106000E)
#define kHostErrCancelled ((GSErr)0x8106000F)
#define kHostErrBadLibPart ((GSErr)0x81060010)
#define kHostErrNoAttributeName ((GSErr)0x81060067)
#define kHostErrNoUserData ((GSErr)0x810600DC)
#define kHostErrPictureReady ((GSErr)0x810600C9)
#define kHostErrElementLocked ((GSErr)0x8106012F)
#define kHostErrUserDataRefused ((GSErr)0x81060132)
#define kHostErrEmptyEntry ((GSErr)0x81060387)

/* Four-character selector codes ('ISSG' and so on) as 32-bit values. */
#define HOST_FOURCC(a, b, c, d) \
    ((uint32_t)(uint8_t)(a) << 24 | (uint32_t)(uint8_t)(b) << 16 | (uint32_t)(uint8_t)(c) << 8 | (uint32_t)(uint8_t)(d))

/* Handlers the add-on installs. */
typedef struct HostMenuParams { /* the item number is the 32-bit field at offset 4 */
    int16_t menuResId;
    int16_t reserved;
    int32_t itemIndex;
} HostMenuParams;
typedef GSErr (*HostMenuHandler)(const HostMenuParams* params);
typedef GSErr (*HostProjectEventHandler)(uint32_t event, int32_t param);
typedef GSErr (*HostPaletteCallback)(int32_t dialogId, int32_t message, int32_t param);

/* Project events. */
#define kHostEventClose ((uint32_t)32)
#define kHostEventOpened ((uint32_t)8192)
#define kHostEventNewProject ((uint32_t)0x4000)
#define kHostEventPreferencesReset ((uint32_t)2)
/* The open project took a revision of its building model (an IFC update), after its undo step. */
#define kHostEventModelUpdated ((uint32_t)0x8000)
/* The host is writing a recovery copy of the open project: an add-on with unsaved work of its
   own writes it now, whole, where "RCVY" names. */
#define kHostEventRecoveryWrite ((uint32_t)0x10000)

/* Palette manager messages. */
enum { kHostPaletteClose = 1, kHostPaletteHide = 2, kHostPaletteShow = 3, kHostPaletteDisable = 4, kHostPaletteEnable = 5 };

/* Operation slots. */
enum HostOpId {
    kHostRegisterMenu = 1,
    kHostRegisterObjectType = 2,
    kHostInstallMenuHandler = 3,
    kHostInstallProjectEventHandler = 4,
    kHostKeepLoaded = 5,
    kHostRegisterPalette = 6,
    kHostUnregisterPalette = 7,
    kHostUndoOpen = 8,
    kHostUndoClose = 9,
    kHostReportWrite = 10,
    kHostEnvironmentGet = 11,
    kHostEnvironmentSet = 12,
    kHostDatabaseQuery = 13,
    kHostUtility = 14,
    kHostAutomate = 15,
    kHostGraphics = 16,
    kHostPreferencesRead = 17,
    kHostPreferencesWrite = 18,
    kHostAttributeGetCount = 19,
    kHostAttributeGet = 20,
    kHostAttributeCreate = 21,
    kHostAttributeModify = 22,
    kHostAttributeSearch = 23,
    kHostLibPartSearch = 24,
    kHostLibPartGet = 25,
    kHostLibPartGetParams = 26,
    kHostElementGetCount = 27,
    kHostElementList = 28,
    kHostElementFilter = 29,
    kHostElementGet = 30,
    kHostElementGetHeader = 31,
    kHostElementChange = 32,
    kHostElementGetDefaults = 33,
    kHostElementChangeDefaults = 34,
    kHostElementTool = 35,
    kHostElementGetUserData = 36,
    kHostElementSetUserData = 37,
    kHostSelectionGet = 38,
    kHostSelectElements = 39,
    kHostLibPartRegister = 40,
    kHostProjectGetUserData = 41,
    kHostProjectSetUserData = 42,
    kHostElementGetFacts = 43,
    kHostElementGetBounds = 44,
    kHostModelGetWorkSchedules = 45,
    kHostElementSetLook = 46,
    kHostElementGetLook = 47,
    kHostModelGetRevision = 48,
    kHostSecondViewGet = 49,
    kHostElementSetSecondLook = 50,
    kHostModelGetGlb = 51
    /* further operations are appended here */
};

/* Signatures. Records are the byte layouts of the Host*Record.h headers. */
typedef GSErr (*HostRegisterMenuFunc)(const uint8_t* menuRecord /* 32 bytes */);
typedef GSErr (*HostRegisterObjectTypeFunc)(const uint8_t* objectTypeRecord /* 64 bytes */);
typedef GSErr (*HostInstallMenuHandlerFunc)(uint32_t token, int16_t menuResId, HostMenuHandler handler);
typedef GSErr (*HostInstallProjectEventHandlerFunc)(uint32_t token, uint32_t eventMask, HostProjectEventHandler handler);
typedef GSErr (*HostKeepLoadedFunc)(uint32_t token, int32_t keep);
typedef GSErr (*HostRegisterPaletteFunc)(uint32_t token, const uint8_t* paletteRecord);
typedef GSErr (*HostUnregisterPaletteFunc)(uint32_t token, int32_t dialogId);
typedef GSErr (*HostUndoOpenFunc)(uint32_t token, const char* stepName);
typedef GSErr (*HostUndoCloseFunc)(uint32_t token);
typedef GSErr (*HostReportWriteFunc)(uint32_t token, const char* text, int32_t flags);
typedef GSErr (*HostSelectorFunc)(uint32_t token, uint32_t selector, void* param1, void* param2);
typedef GSErr (*HostPreferencesReadFunc)(uint32_t token, int32_t* version, uint32_t* size, void* data);
typedef GSErr (*HostPreferencesWriteFunc)(uint32_t token, int32_t version, uint32_t size, const void* data);
typedef GSErr (*HostAttributeGetCountFunc)(uint32_t token, int32_t attributeKind, int16_t* count);
typedef GSErr (*HostAttributeFunc)(uint32_t token, uint8_t* attributeRecord /* 960 bytes */);
typedef GSErr (*HostAttributeCreateFunc)(uint32_t token, uint8_t* attributeRecord, const uint8_t* extraRecord);
typedef GSErr (*HostAttributeModifyFunc)(uint32_t token, uint8_t* attributeRecord, const uint8_t* extraRecord);
typedef GSErr (*HostLibPartFunc)(uint32_t token, uint8_t* libPartRecord);
/* Hands the host a library part the add-on carries (its file's bytes) under a file name (UTF-16LE,
 * zero-terminated); the library part record comes back filled. */
typedef GSErr (*HostLibPartRegisterFunc)(uint32_t token, const uint16_t* fileName, const uint8_t* data, uint32_t size,
                                         uint8_t* libPartRecord);
typedef GSErr (*HostLibPartGetParamsFunc)(uint32_t token, int32_t libPartIndex, uint32_t* paramHandle, int32_t* paramCount);
typedef GSErr (*HostElementGetCountFunc)(uint32_t token, int32_t kind, int32_t* count);
typedef GSErr (*HostElementListFunc)(uint32_t token, int32_t kind, uint32_t* guidHandle /* API_Guid array */);
/* The head names the element by identifier, or by kind and index when the identifier is null. */
typedef int32_t (*HostElementFilterFunc)(uint32_t token, const uint8_t* headRecord /* 32 bytes */, int32_t filter);
typedef GSErr (*HostElementGetFunc)(uint32_t token, uint8_t* elementRecord /* 2760 bytes */);
typedef GSErr (*HostElementGetHeaderFunc)(uint32_t token, uint8_t* headerRecord /* 104 bytes */);
typedef GSErr (*HostElementChangeFunc)(uint32_t token, uint8_t* elementRecord, const uint8_t* maskRecord);
typedef GSErr (*HostElementGetDefaultsFunc)(uint32_t token, uint8_t* elementRecord, uint32_t* paramHandle);
typedef GSErr (*HostElementChangeDefaultsFunc)(uint32_t token, const uint8_t* elementRecord, const uint8_t* maskRecord,
                                               uint32_t paramHandle);
typedef GSErr (*HostElementToolFunc)(uint32_t token, uint8_t* elementHeads /* 32 bytes each */, int32_t count,
                                     uint32_t selector);
typedef GSErr (*HostElementGetUserDataFunc)(uint32_t token, const uint8_t* headRecord, uint8_t* userDataRecord);
typedef GSErr (*HostElementSetUserDataFunc)(uint32_t token, uint8_t* headRecord, const uint8_t* userDataRecord);
typedef GSErr (*HostSelectionGetFunc)(uint32_t token, uint8_t* selectionInfo, uint32_t* entryHandle, int32_t flags);
typedef GSErr (*HostSelectElementsFunc)(uint32_t token, const uint8_t* entries /* 32 bytes each */, int32_t count,
                                        int32_t add);
/* The add-on's own block kept with the whole project and saved with it, in the user data record
 * of HostElementRecord.h: none gives kHostErrNoUserData, and a null handle on set removes it.
 * No undo step keeps it. */
typedef GSErr (*HostProjectGetUserDataFunc)(uint32_t token, uint8_t* userDataRecord /* 16 bytes */);
typedef GSErr (*HostProjectSetUserDataFunc)(uint32_t token, const uint8_t* userDataRecord);
/* What the building model the element came from says it is: *count facts, each its key ("class",
 * "type", "name", "tag", "description", "globalid", "storey", "material", "classification" or
 * "PSET.NAME") and its value, both zero-terminated, one after the other in a handle the caller
 * frees. Texts in Windows-1250 (a character it lacks becomes '?'), or UTF-8 with kHostFactsUtf8.
 * An element without facts gives a count of 0 and a null handle. */
enum { kHostFactsUtf8 = 1 };
typedef GSErr (*HostElementGetFactsFunc)(uint32_t token, const uint8_t* headRecord, uint32_t* factsHandle, int32_t* count,
                                         int32_t flags);
/* The box round the element's body in model coordinates (metres, z up): minimum x, y, z, then
 * maximum x, y, z. An element without a body answers kHostErrNotAvailable. */
typedef GSErr (*HostElementGetBoundsFunc)(uint32_t token, const uint8_t* headRecord, double* box /* 6 */);

/* The construction schedule the building model's IFC file carries (its 4D records): *count
 * entries in a handle the caller frees, each an entry kind and its fields, every text
 * zero-terminated, numbers in decimal:
 *   "file"     path, schema ("IFC2X3" or "IFC4"), size in bytes, offset past the last record of
 *              the data section, the highest record number, the IfcProject's number (0 none)
 *   "schedule" GlobalId, name
 *   "task"     GlobalId, name, identification, predefined type, object type, milestone ("1"/"0"),
 *              schedule (an index of the "schedule" entries, -1 none), parent (the index of an
 *              earlier task, -1 at the top), outline level (1 at the top), schedule start,
 *              schedule finish, actual start, actual finish ("YYYY-MM-DDThh:mm:ss", empty when
 *              not given), percent complete (-1 when not given)
 *   "sequence" predecessor and successor (task indexes), type ("FINISH_START", ...), lag in seconds
 *   "output"   task index, GlobalId of a product the task makes (IfcRelAssignsToProduct)
 *   "input"    task index, GlobalId of a product the task takes (IfcRelAssignsToProcess)
 *   "product"  GlobalId, record number: every product's, only with kHostScheduleRecords
 *   "schedule-record" schedule index, its record number: only with kHostScheduleRecords
 *   "task-records" byte offsets, begin and end: where the file's own tasks, their times, lags
 *              and relationships lie, in file order, line ends included; a copy that takes a
 *              schedule leaves them out. Only with kHostScheduleRecords, and none when a record
 *              outside them refers to one of them
 * Tasks come each after the task nesting it, indexes counting "task" entries from 0. The first
 * entry is "file"; a model that came from no IFC file gives a count of 0 and a null handle. Texts
 * in Windows-1250 (a character it lacks becomes '?'), or UTF-8 with kHostScheduleUtf8. */
enum { kHostScheduleUtf8 = 1, kHostScheduleRecords = 2 };
typedef GSErr (*HostModelGetWorkSchedulesFunc)(uint32_t token, uint32_t* handle, int32_t* count, int32_t flags);

/* A look laid over the element's own (HostLookRecord.h), kept with the element in the project and
 * by the undo step open; a null or all-zero record takes it away. Locked elements may take one:
 * it changes how they are drawn, not what they are. Get answers kHostErrNotAvailable for none. */
typedef GSErr (*HostElementSetLookFunc)(uint32_t token, const uint8_t* headRecord, const uint8_t* lookRecord /* 16 bytes */);
typedef GSErr (*HostElementGetLookFunc)(uint32_t token, const uint8_t* headRecord, uint8_t* lookRecord /* 16 bytes */);

/* What the last revision of the building model (an IFC update) did to the elements that carry
 * the calling add-on's user data, and which elements it added: *count entries in a handle the
 * caller frees, each an entry kind and its fields, zero-terminated texts, identifiers as
 * 8-4-4-4-12 hexadecimal:
 *   "kept"      identifier, element kind: met by its GlobalId
 *   "rematched" identifier before, identifier now, element kind, how: met under a new GlobalId
 *               by the parts of its fingerprint joined by '+' ("class+type+storey+name+box+shape")
 *   "lost"      identifier, element kind, ID text, "1" when more than one product fit it else
 *               "0", the add-on's user data version, its bytes as hexadecimal: removed
 *   "added"     identifier, element kind: new in the revision, every one
 * A model that took no revision gives a count of 0 and a null handle. Texts in Windows-1250, or
 * UTF-8 with kHostRevisionUtf8. */
enum { kHostRevisionUtf8 = 1 };
typedef GSErr (*HostModelGetRevisionFunc)(uint32_t token, uint32_t* handle, int32_t* count, int32_t flags);

/* The module's exports. */
typedef GSErr (*AddonSetImportedFuncAddrsFunc)(const HostFunc* table);
typedef GSErr (*AddonGetExportedFuncAddrsFunc)(uint8_t* entryRecord /* see HostEntryRecord.h */);

#ifdef __cplusplus
}
#endif
#endif
