#pragma once
// An element's look in the form the host draws it (HostLookRecord.h), and the short print of it
// the element's link record keeps, so a pass knows what the host shows without asking.
#include "display/ProfileLook.h"
#include "hostapi/HostLookRecord.h"

#include <array>
#include <cstdint>

using LookBytes = std::array<uint8_t, HostLook::kSize>;

// All zero for a look the element's own attributes give (hidden, own, its type's) without growth.
LookBytes LookRecordOf(const ElementLook& look);
// 0 exactly for the all-zero record.
uint32_t LookPrintOf(const LookBytes& record);
