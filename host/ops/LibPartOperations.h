#pragma once
// The library and the tools' settings as the operation table offers them. Each returns the
// operation's answer.
#include "hostapi/HostAPI.h"

#include <cstdint>

class HostCore;
struct AddonRegistration;

GSErr LibPartSearch(HostCore& host, uint8_t* record);
GSErr LibPartGet(HostCore& host, uint8_t* record);
GSErr LibPartGetParams(HostCore& host, int32_t index, uint32_t* paramHandle, int32_t* paramCount);
GSErr LibPartRegister(HostCore& host, const AddonRegistration& addon, const uint16_t* fileName, const uint8_t* data,
                      uint32_t size, uint8_t* record);
GSErr GetToolDefaults(HostCore& host, uint8_t* record, uint32_t* paramHandle);
GSErr ChangeToolDefaults(HostCore& host, const uint8_t* record, const uint8_t* mask, uint32_t paramHandle);
// "SETD": the tool's settings dialog (dialog id "object-settings", item "part").
GSErr OpenToolSettings(HostCore& host, void* request);
// "GLUI": the unique identifier of the template part of an object type the add-on registered.
GSErr TypeTemplateId(HostCore& host, const AddonRegistration& addon, void* request, void* idOut);
// "DLPM": draws a label part onto a picture.
GSErr DrawLibPartOnPicture(HostCore& host, void* pictureHandle, void* drawRecord);
