#pragma once
// Records of the selector services.
#include <cstddef>
#include <cstdint>

namespace HostProjectRecord { // "PROJ"
constexpr size_t kSize = 56;
constexpr size_t kUntitled = 0;   // uint8
constexpr size_t kShared = 1;     // uint8
constexpr size_t kUserId = 2;     // int16
constexpr size_t kPathHandle = 8; // uint32 handle: the project's path (caller frees)
constexpr size_t kNameHandle = 12; // uint32 handle: the project's name (caller frees)
} // namespace HostProjectRecord

namespace HostDatabaseRecord { // "GDAT", "CDAT", "CHWD", "GWIN"
constexpr size_t kSize = 1600;
constexpr size_t kKind = 0; // int32: 1 floor plan, 2 section, 3 detail, 4 3D window, 10-12 layouts and others
constexpr size_t kIndex = 4; // int32
} // namespace HostDatabaseRecord

namespace HostDatabaseKind {
constexpr int32_t FloorPlan = 1;
constexpr int32_t Section = 2;
constexpr int32_t Detail = 3;
constexpr int32_t Window3D = 4;
constexpr int32_t Layout = 10;
constexpr int32_t Worksheet = 11;
constexpr int32_t Elevation = 12;
} // namespace HostDatabaseKind

namespace HostMenuItemRecord { // "SMIT"
constexpr size_t kSize = 16;
constexpr size_t kMenuResId = 0; // int16
constexpr size_t kItem = 4;      // int32
} // namespace HostMenuItemRecord

namespace HostFolderRecord { // "VTPF": param1 record, param2 the FileKit location to fill
constexpr size_t kSize = 16;
constexpr size_t kFolderKind = 0; // int32; 11 the help folder
constexpr int32_t kHelpFolder = 11;
} // namespace HostFolderRecord

namespace HostRecoveryRecord { // "RCVY"
constexpr size_t kSize = 16;
constexpr size_t kMode = 0;       // int32: HostRecoveryMode
constexpr size_t kPathHandle = 4; // uint32 handle: the add-on's copy (UTF-8 path; caller frees)
} // namespace HostRecoveryRecord

namespace HostRecoveryMode {
constexpr int32_t None = 0;
constexpr int32_t Writing = 1;    // during the recovery write event: write your copy here
constexpr int32_t Recovering = 2; // during the opened event of a recovered project: read it from here
} // namespace HostRecoveryMode
