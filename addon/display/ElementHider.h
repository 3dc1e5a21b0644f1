#pragma once
// The element display: decides what each linked element shows at the schedule's current date
// and changes the model accordingly, reversibly. It also carries the access to the link record
// the add-on keeps on each element.
#include "hostapi/HostGuid.h"
#include "schedule/ElementLink.h"

#include <cstdint>

class ElementHider {
public:
    ElementHider() = default;
    ElementHider(const ElementHider&) = delete;
    ElementHider& operator=(const ElementHider&) = delete;

    // Link record access. Reading throws EElementHider (code 220 when the element has none);
    // writing returns false when the host refuses user data on the element.
    void ReadElementLink(int32_t kind, const API_Guid& guid, ElementLinkRecord& out) const;
    bool WriteElementLink(int32_t kind, const API_Guid& guid, const ElementLinkRecord& record, bool mayUnlock) const;
    // Empties one slot and writes the record at once; a failure shows the internal-error alert.
    void ClearLinkSlot(ElementLinkRecord& record, size_t slot, int32_t kind, const API_Guid& guid) const;
    // Removes the element's link record.
    void RemoveElementLink(int32_t kind, const API_Guid& guid) const;
    // The host's element lock; the host may hand back an updated identifier.
    bool LockElement(int32_t kind, API_Guid& guid) const;
    bool UnlockElement(int32_t kind, API_Guid& guid) const;
};
