#pragma once
// The add-on menu's entry: each item's command, run as the host hands the choice over.
#include "hostapi/HostAPI.h"

// The add-on menu's commands; always answers 0.
GSErr AddonMenuHandler(const HostMenuParams* params);
