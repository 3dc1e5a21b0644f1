#pragma once
#include "hostapi/HostAPI.h"

// The add-on menu's commands; always answers 0.
GSErr AddonMenuHandler(const HostMenuParams* params);
