#pragma once
// The library and the tools' settings as the operation table offers them. Each returns the
// operation's answer.
#include "hostapi/HostAPI.h"

#include <cstdint>

class Host;
struct AddonRegistration;

GSErr LibPartSearch(Host& host, uint8_t* record);
GSErr LibPartGet(Host& host, uint8_t* record);
GSErr LibPartGetParams(Host& host, int32_t index, uint32_t* paramHandle, int32_t* paramCount);
GSErr LibPartRegister(Host& host, const AddonRegistration& addon, const uint16_t* fileName, const uint8_t* data,
                      uint32_t size, uint8_t* record);
GSErr GetToolDefaults(Host& host, uint8_t* record, uint32_t* paramHandle);
GSErr ChangeToolDefaults(Host& host, const uint8_t* record, const uint8_t* mask, uint32_t paramHandle);
// "SETD": the tool's settings dialog (dialog id "object-settings", item "part").
GSErr OpenToolSettings(Host& host, void* request);
// "GLUI": the unique identifier of the template part of an object type the add-on registered.
GSErr TypeTemplateId(Host& host, const AddonRegistration& addon, void* request, void* idOut);
// "DLPM": draws a label part onto a picture.
GSErr DrawLibPartOnPicture(Host& host, void* pictureHandle, void* drawRecord);
