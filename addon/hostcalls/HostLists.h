#pragma once
// The lists the host hands out as blocks, read into owned values.
#include "hostapi/HostAPI.h"
#include "hostapi/HostGuid.h"

#include <cstdint>
#include <vector>

struct HostSelectionEntry {
    int32_t type = 0; // the selection entry's type, not yet an element kind
    API_Guid guid;
};

struct HostSelectionRead {
    GSErr err = kHostNoError;
    int32_t count = 0;
    std::vector<HostSelectionEntry> entries; // only when asked for
};

// The host's current selection. The extra block a marquee selection carries is freed at once.
HostSelectionRead ReadHostSelection(bool withEntries);

// The identifiers of every element of a kind, in the host's order; empty when the host refuses.
std::vector<API_Guid> ListElementsOfKind(int32_t kind);
