#pragma once
// What `quorvel --help` tells a user, and the add-on menu's items the `menu` command checks.
#include "host/app/ProgramCommandLine.h"

#include <cstdint>
#include <string>

// The items of the Bauvista menu (resource 32500): 1 to 20 but its separator, 2.
inline constexpr int16_t kAddonMenuId = 32500;
inline constexpr int32_t kAddonMenuItems = 20;
inline constexpr bool IsAddonMenuSeparator(int64_t item) { return item == 2; }
// The item whose text the add-on changes as its palette shows and hides.
inline constexpr int32_t kAddonMenuPaletteItem = 1;

std::string QuorvelHelpText();
