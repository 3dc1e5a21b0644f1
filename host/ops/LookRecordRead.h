#pragma once
// The 16-byte look record (HostLookRecord.h) an add-on hands the host, read and checked.
#include "host/model/LookOverride.h"

#include <cstdint>
#include <optional>

namespace hostops {

// False for a record out of range; `look` is then left as it was. A null or all-zero record, or
// one that neither colours nor clips, reads as no look.
bool ReadLookRecord(const uint8_t* record, std::optional<LookOverride>& look);

} // namespace hostops
