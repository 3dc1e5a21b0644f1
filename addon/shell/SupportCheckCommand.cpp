#include "shell/SupportCheckCommand.h"

#include "bytes/FixedText.h"
#include "bytes/LittleEndian.h"
#include "hostapi/HostEnvironmentRecords.h"
#include "hostapi/HostSelectors.h"
#include "hostcalls/HostInterface.h"
#include "hostcalls/MenuItemText.h"
#include "resources/AddonMenu.h"
#include "resources/AddonResources.h"
#include "schedule/tasks/AnimationSettings.h"

#include <array>

namespace {
constexpr int16_t kSupportCheckTexts = 32639; // 1 while the check is on, 2 while it is off
}

void ShowSupportCheckMenuText(const AnimationSettings& settings) {
    SetAddonMenuItemText(static_cast<int32_t>(AddonMenuItem::SupportCheck),
                         AddonString(kSupportCheckTexts, settings.supportCheckOn ? 1 : 2));
}

void ToggleSupportCheckCommand(AnimationSettings& settings) {
    settings.supportCheckOn = !settings.supportCheckOn;
    ShowSupportCheckMenuText(settings);
}
