#pragma once
// What the host's last revision of the building model did to the elements that carry the
// add-on's data, as its operation hands it over (texts in the module's code page).
#include "hostapi/HostAPI.h"
#include "hostapi/HostGuid.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct HostRevisionElement {
    API_Guid guid;
    int32_t kind = 0;
};

struct HostRevisionRematch {
    API_Guid was, now;
    int32_t kind = 0;
    std::string how; // fact keys joined by '+'
};

struct HostRevisionLost {
    API_Guid guid;
    int32_t kind = 0;
    std::string idText;
    bool ambiguous = false;
    int16_t version = 0;
    std::vector<uint8_t> bytes; // the add-on's block the element carried
};

struct HostRevision {
    bool taken = false; // the model took a revision
    std::vector<HostRevisionElement> kept;
    std::vector<HostRevisionRematch> rematched;
    std::vector<HostRevisionLost> lost;
    std::vector<HostRevisionElement> added;
};

// False for bytes that are not `count` well-formed entries.
bool ParseHostRevision(std::string_view bytes, int32_t count, HostRevision& out);
GSErr ReadHostRevision(HostRevision& out);
