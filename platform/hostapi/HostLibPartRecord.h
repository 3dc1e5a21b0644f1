#pragma once
// Library parts: the record of HostLibPartSearch / HostLibPartGet / HostLibPartRegister, the
// 1080-byte parameter record of HostLibPartGetParams and of element defaults, and the object
// fields that name a library part.
#include <cstddef>
#include <cstdint>

namespace HostLibPart {
constexpr size_t kSize = 656;
constexpr size_t kIndex = 0;      // int32, from 1; 0 on a search
constexpr size_t kVariation = 4;  // uint32 object type signature ('Capt'), 0 for none
constexpr size_t kName = 8;       // UTF-16LE name, 256 units with the terminating zero
constexpr size_t kNameUnits = 256;
constexpr size_t kUniqueId = 520; // 128 bytes, zero-terminated ASCII; a search by it when the name is empty
constexpr size_t kUniqueIdSize = 128;
constexpr size_t kLocation = 648; // uint32 handle: the part's file name, UTF-8 (caller frees)
constexpr size_t kTemplate = 652; // uint8, 1 for the template part of its object type
} // namespace HostLibPart

namespace HostLibPartParam {
constexpr size_t kSize = 1080;
constexpr size_t kType = 0;        // int32: kText or kNumber
constexpr size_t kName = 8;        // 8-bit text, 32 bytes, zero-terminated
constexpr size_t kNameSize = 32;
constexpr size_t kValue = 568;     // kText: UTF-16LE, 255 units at most, byte 1078 kept zero; kNumber: double
constexpr size_t kTextUnits = 256;
constexpr int32_t kText = 1;
constexpr int32_t kNumber = 2;
} // namespace HostLibPartParam

namespace HostObjectFields { // object elements (kind 6) and their defaults
constexpr size_t kVariation = 100; // uint32 in the header's spare bytes: the object type, 0 plain objects
constexpr size_t kLibPart = 140;   // int32 library part index
} // namespace HostObjectFields

namespace HostSettingsRequest { // "SETD": which tool's settings dialog to open
constexpr size_t kSize = 8;
constexpr size_t kKind = 0;      // int32 element kind
constexpr size_t kVariation = 4; // uint32 object type signature
} // namespace HostSettingsRequest

namespace HostLabelDraw { // "DLPM": param1 uint32* picture handle, param2 this record
constexpr size_t kSize = 20;
constexpr size_t kLibPart = 0;     // int32 library part index
constexpr size_t kParams = 4;      // uint32 handle of parameter records (0: the part's own values)
constexpr size_t kFrame = 8;       // int32
constexpr size_t kFirstFrame = 12; // int32
constexpr size_t kLastFrame = 16;  // int32
} // namespace HostLabelDraw

namespace HostUniqueIdRequest { // "GLUI": param1 this record, param2 a 128-byte text out
constexpr size_t kSize = 8;
constexpr size_t kVariation = 0;  // uint32 object type signature
constexpr size_t kTemplateId = 4; // int16 template resource of the type
} // namespace HostUniqueIdRequest
