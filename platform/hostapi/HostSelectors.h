#ifndef BAUVISTA_HOSTSELECTORS_H
#define BAUVISTA_HOSTSELECTORS_H
/*
 * Selectors of the multiplexed operations, grouped by the operation that takes them. Both
 * sides use these names, so a selector the host does not know cannot be spelt by accident.
 */
#include "hostapi/HostAPI.h"

/* HostEnvironmentGet */
#define kHostSelProjectInfo HOST_FOURCC('P', 'R', 'O', 'J')
#define kHostSelAddonFolder HOST_FOURCC('V', 'T', 'P', 'F')
#define kHostSelSwitchGet HOST_FOURCC('I', 'S', 'S', 'G')
#define kHostSelProjectionGet HOST_FOURCC('G', 'P', '3', 'D')
#define kHostSelProjectionChange HOST_FOURCC('C', 'P', '3', 'D')
#define kHostSelWindow3DSize HOST_FOURCC('G', 'W', '3', 'D')
#define kHostSelPhotoWindowSize HOST_FOURCC('G', 'R', 'E', 'N')
#define kHostSelRecovery HOST_FOURCC('R', 'C', 'V', 'Y')

/* HostEnvironmentSet */
#define kHostSelSwitchSet HOST_FOURCC('C', 'S', 'P', 'G')
#define kHostSelMenuItemText HOST_FOURCC('S', 'M', 'I', 'T')
#define kHostSelToolSettings HOST_FOURCC('S', 'E', 'T', 'D')

/* HostDatabaseQuery */
#define kHostSelDatabaseGet HOST_FOURCC('G', 'D', 'A', 'T')
#define kHostSelFrontWindowGet HOST_FOURCC('G', 'W', 'I', 'N')
#define kHostSelDatabaseChange HOST_FOURCC('C', 'D', 'A', 'T')

/* HostUtility */
#define kHostSelKindName HOST_FOURCC('G', 'E', 'T', 'N')
#define kHostSelSelectionTypeToKind HOST_FOURCC('N', 'T', 'O', 'E')
#define kHostSelChangesBegin HOST_FOURCC('C', 'S', 'D', 'N')
#define kHostSelChangesEnd HOST_FOURCC('C', 'S', 'E', 'N')
#define kHostSelTypeTemplateId HOST_FOURCC('G', 'L', 'U', 'I')

/* HostAutomate */
#define kHostSelRebuild HOST_FOURCC('R', 'B', 'L', 'D')
#define kHostSelWindowToFront HOST_FOURCC('C', 'H', 'W', 'D')

/* HostGraphics */
#define kHostSelWindowCapture HOST_FOURCC('C', 'I', 'M', 'G')
#define kHostSelLibPartDraw HOST_FOURCC('D', 'L', 'P', 'M')
#define kHostSelCameraPathPositions HOST_FOURCC('S', 'L', 'S', 'H')
#define kHostSelCaptureMode HOST_FOURCC('S', 'E', 'C', 'F')
#define kHostSelWindowCaptureSized HOST_FOURCC('C', 'I', 'M', 'S')
/* param1 uint32* picture handle, param2 const DGCanvas*: the canvas painted over the picture */
#define kHostSelPictureDrawCanvas HOST_FOURCC('D', 'C', 'N', 'V')

/* HostElementTool */
#define kHostSelElementLock HOST_FOURCC('L', 'O', 'C', 'K')
#define kHostSelElementUnlock HOST_FOURCC('U', 'L', 'C', 'K')

#endif
