#include "hostcalls/MenuItemText.h"

#include "bytes/FixedText.h"
#include "bytes/LittleEndian.h"
#include "hostapi/HostEnvironmentRecords.h"
#include "hostapi/HostSelectors.h"
#include "hostcalls/HostInterface.h"
#include "resources/AddonMenu.h"

#include <array>

void SetAddonMenuItemText(int32_t item, const std::string& text) {
    if (text.empty()) return;
    std::array<uint8_t, HostMenuItemRecord::kSize> rec{};
    LE::Put<int16_t>(rec, HostMenuItemRecord::kMenuResId, kAddonMenuId);
    LE::Put<int32_t>(rec, HostMenuItemRecord::kItem, item);
    char buffer[2048] = {};
    BKCopyText(buffer, text);
    HostEnvironmentSet(kHostSelMenuItemText, rec.data(), buffer);
}
