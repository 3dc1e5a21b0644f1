#include "shell/SupportCheckCommand.h"

#include "bytes/FixedText.h"
#include "bytes/LittleEndian.h"
#include "hostapi/HostEnvironmentRecords.h"
#include "hostapi/HostSelectors.h"
#include "hostcalls/HostInterface.h"
#include "resources/AddonMenu.h"
#include "resources/AddonResources.h"
#include "schedule/tasks/AnimationSettings.h"

#include <array>

namespace {
constexpr int16_t kSupportCheckTexts = 32639; // 1 while the check is on, 2 while it is off
}

void ShowSupportCheckMenuText(const AnimationSettings& settings) {
    std::string text = AddonString(kSupportCheckTexts, settings.supportCheckOn ? 1 : 2);
    if (text.empty()) return;
    std::array<uint8_t, HostMenuItemRecord::kSize> rec{};
    LE::Put<int16_t>(rec, HostMenuItemRecord::kMenuResId, kAddonMenuId);
    LE::Put<int32_t>(rec, HostMenuItemRecord::kItem, static_cast<int32_t>(AddonMenuItem::SupportCheck));
    char buffer[2048] = {};
    BKCopyText(buffer, text);
    HostEnvironmentSet(kHostSelMenuItemText, rec.data(), buffer);
}

void ToggleSupportCheckCommand(AnimationSettings& settings) {
    settings.supportCheckOn = !settings.supportCheckOn;
    ShowSupportCheckMenuText(settings);
}
