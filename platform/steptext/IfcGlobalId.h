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
// Whether the text decodes: 22 characters of the alphabet, the first 0-3.
bool IsIfcGlobalIdText(std::string_view text);
// 22 characters of the alphabet whose first is above 3: a value past 128 bits, as some
// exporters write.
bool IsOutOfRangeIfcGlobalId(std::string_view text);
