// The host's operations, as add-ons call them through the table: each area fills its slots.
#include "host/ops/Host.h"
#include "host/ops/HostOperationAreas.h"

void FillHostTable(std::array<HostFunc, kHostTableSize>& t) {
    t.fill(nullptr);
    FillRegistrationOperations(t);
    FillUndoReportOperations(t);
    FillSelectorOperations(t);
    FillPreferenceOperations(t);
    FillAttributeOperations(t);
    FillLibPartOperations(t);
    FillElementOperations(t);
}
