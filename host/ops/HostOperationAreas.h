#pragma once
// Each area of the host's operations puts its entries into the add-ons' table.
#include "hostapi/HostAPI.h"

#include <array>

using HostTable = std::array<HostFunc, kHostTableSize>;

void FillRegistrationOperations(HostTable& t);
void FillUndoReportOperations(HostTable& t);
void FillSelectorOperations(HostTable& t);
void FillPreferenceOperations(HostTable& t);
void FillAttributeOperations(HostTable& t);
void FillLibPartOperations(HostTable& t);
void FillElementOperations(HostTable& t);
