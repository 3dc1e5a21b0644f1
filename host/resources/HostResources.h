#pragma once
// The host's own resources (its texts), compiled from the sources beside this file.
#include "basekit/BKResources.h"

#include <cstdint>
#include <string>

BKResModule HostResModule();
// The host's name of an element kind (8-bit code page); empty for a kind that does not exist.
std::string HostKindName(int32_t kind);
