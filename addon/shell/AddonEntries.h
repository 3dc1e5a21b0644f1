#pragma once
// The four entries the host calls, in its order.
#include "hostapi/HostAPI.h"

#include <cstdint>

// Writes the add-on's name and description; 2 to accept, 0 to decline.
int32_t AddonCheckEnvironment(uint8_t* environmentRecord);
// Registers the menu and the label object type.
GSErr AddonRegisterInterface();
GSErr AddonInitialize(uint32_t token);
GSErr AddonFreeData();
