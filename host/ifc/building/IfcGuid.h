#pragma once
// The GlobalIds a reader meets beyond the standard's: texts past 128 bits, as some exporters
// write, kept under a GUID of their own. The standard's text is the StepText kit's.
#include "hostapi/HostGuid.h"
#include "steptext/IfcGlobalId.h"

#include <cstdint>
#include <string_view>

// The GUID for a GlobalId past 128 bits (IsOutOfRangeIfcGlobalId), under which its product is
// kept: a 122-bit hash of the text and `attempt`, marked as a version 8
// (custom) UUID. The same text and attempt always give the same GUID; a caller that finds it
// taken by another product tries the next attempt.
API_Guid GuidOfOutOfRangeGlobalId(std::string_view globalId, uint32_t attempt);
