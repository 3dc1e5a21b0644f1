#pragma once
// IFC's GlobalId: 22 characters of IFC's own base 64 (0-9, A-Z, a-z, _ and $), the first holding
// the top 2 bits of the 128-bit number and each further one 6 bits. The number is the UUID read
// in its canonical byte order, so the decoded API_Guid prints as the element's UUID.
#include "hostapi/HostGuid.h"

#include <optional>
#include <string>
#include <string_view>

// Nothing for a text that is not a GlobalId (wrong length, a character outside the alphabet, a
// first character above 3): a wrong identifier is never guessed.
std::optional<API_Guid> DecodeIfcGlobalId(std::string_view globalId);
std::string EncodeIfcGlobalId(const API_Guid& guid);

// 22 characters of the alphabet whose first is above 3: a value past 128 bits, as some
// exporters write. Such a product is kept under a GUID made from its text.
bool IsOutOfRangeIfcGlobalId(std::string_view globalId);
// The GUID for such a text: a 122-bit hash of the text and `attempt`, marked as a version 8
// (custom) UUID. The same text and attempt always give the same GUID; a caller that finds it
// taken by another product tries the next attempt.
API_Guid GuidOfOutOfRangeGlobalId(std::string_view globalId, uint32_t attempt);
