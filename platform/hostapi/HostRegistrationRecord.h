#pragma once
// Registration records: the menu (32 bytes), the object type (64 bytes), the palette, and the
// module's entry table.
#include "hostapi/HostAPI.h"

#include <cstddef>
#include <cstdint>

namespace HostMenuRecord {
constexpr size_t kSize = 32;
constexpr size_t kMenuResId = 0;   // int16 string list of the menu
constexpr size_t kPromptResId = 2; // int16 string list of the prompts
constexpr size_t kPlacement = 4;   // int32
constexpr size_t kFlags = 8;       // int32
} // namespace HostMenuRecord

namespace HostObjectTypeRecord {
constexpr size_t kSize = 64;
constexpr size_t kSignature = 0;   // int32 variation, e.g. 'Capt'
constexpr size_t kTemplateId = 4;  // int16
constexpr size_t kNameResId = 8;   // int16 string list: name, prompt
constexpr size_t kIconId = 14;     // int16
} // namespace HostObjectTypeRecord

// Palette registration; holds a native callback pointer.
struct HostPaletteRecord {
    int32_t dialogId;
    HostPaletteCallback callback;
    int32_t flags;
};

// The environment check's record: the add-on writes its name and description.
namespace HostEnvironmentRecord {
constexpr size_t kSize = 640;
constexpr size_t kDecline = 0;       // int32, nonzero: the host asks the add-on to decline
constexpr size_t kName = 128;        // 256 bytes
constexpr size_t kDescription = 384; // 256 bytes
constexpr size_t kTextSize = 256;
} // namespace HostEnvironmentRecord

// The module's entry table, filled by GetExportedFuncAddrs; holds native pointers.
typedef int32_t (*AddonEnvironmentCheckFunc)(uint8_t* environmentRecord);
typedef GSErr (*AddonRegisterInterfaceFunc)(void);
typedef GSErr (*AddonInitializeFunc)(uint32_t token);
typedef GSErr (*AddonFreeDataFunc)(void);

struct HostEntryRecord {
    uint32_t signature; // 0x000C0001
    AddonEnvironmentCheckFunc checkEnvironment;
    AddonRegisterInterfaceFunc registerInterface;
    AddonInitializeFunc initialize;
    AddonFreeDataFunc freeData;
    int32_t hostVersion; // 12001
};
constexpr uint32_t kHostEntrySignature = 0x000C0001;
constexpr int32_t kHostEntryVersion = 12001;
