// The link record on the elements, read and written through the host's user data.
#include "basekit/BKMemory.h"
#include "basekit/OwnedHandle.h"
#include "display/ElementHider.h"
#include "hostapi/HostElementRecord.h"
#include "hostapi/HostSelectors.h"
#include "hostcalls/HostInterface.h"
#include "resources/AddonAlerts.h"
#include "resources/AddonResources.h"
#include "schedule/tasks/Exceptions.h"

#include <cstring>
#include <vector>

namespace {

std::array<uint8_t, HostHead::kSize> Head(int32_t kind, const API_Guid& guid) {
    std::array<uint8_t, HostHead::kSize> head{};
    LE::Put<int32_t>(head, HostHead::kKind, kind);
    guid.ToBytes(head.data() + HostHead::kGuid);
    return head;
}

// Attaches the record; the host's answer.
GSErr Attach(int32_t kind, const API_Guid& guid, const ElementLinkRecord& record) {
    OwnedHandle block(BKNewHandle(ElementLinkRecord::kSize));
    if (!block) return kHostErrNoMemory;
    std::memcpy(block.Data(), record.bytes.data(), ElementLinkRecord::kSize);
    std::array<uint8_t, HostUserData::kSize> ud{};
    LE::Put<int16_t>(ud, HostUserData::kVersion, ElementLinkRecord::kVersion);
    LE::Put<uint16_t>(ud, HostUserData::kPlatformSign, ElementLinkRecord::kPlatformSign);
    LE::Put<uint32_t>(ud, HostUserData::kDataHandle, block.Get());
    auto head = Head(kind, guid);
    return HostElementSetUserData(head.data(), ud.data());
}

bool ChangeLock(int32_t kind, API_Guid& guid, uint32_t selector) {
    auto head = Head(kind, guid);
    if (HostElementTool(head.data(), 1, selector) != kHostNoError) return false;
    API_Guid updated = API_Guid::FromBytes(head.data() + HostHead::kGuid);
    if (!updated.IsNull()) guid = updated;
    return true;
}

} // namespace

void ElementHider::ReadElementLink(int32_t kind, const API_Guid& guid, ElementLinkRecord& out) const {
    auto head = Head(kind, guid);
    std::array<uint8_t, HostUserData::kSize> ud{};
    GSErr err = HostElementGetUserData(head.data(), ud.data());
    if (err == kHostErrNoUserData) throw EElementHider(__LINE__, EElementHider::kNoLinkRecord, err);
    OwnedHandle block(LE::Get<uint32_t>(ud, HostUserData::kDataHandle));
    if (err != kHostNoError) throw EElementHider(__LINE__, 0, err);
    int16_t version = LE::Get<int16_t>(ud, HostUserData::kVersion);
    // A block of an accepted version must hold the whole record; a shorter one is not read past.
    bool ok = ElementLinkRecord::IsAcceptedVersion(version) && block.Size() >= ElementLinkRecord::kSize;
    if (ok) std::memcpy(out.bytes.data(), block.Data(), ElementLinkRecord::kSize);
    if (!ok) throw EElementHider(__LINE__);
}

bool ElementHider::WriteElementLink(int32_t kind, const API_Guid& guid, const ElementLinkRecord& record,
                                    bool mayUnlock) const {
    GSErr err = Attach(kind, guid, record);
    if (err == kHostErrElementLocked && mayUnlock) {
        std::vector<uint8_t> element(HostElement::kRecordSize, 0);
        LE::Put<int32_t>(element, HostElement::kKind, kind);
        guid.ToBytes(element.data() + HostElement::kGuid);
        GSErr getErr = HostElementGet(element.data());
        if (getErr != kHostNoError) throw EElementHider(__LINE__, 0, getErr);
        if (element[HostElement::kLocked] == 0) throw EElementHider(__LINE__, 0, err);
        API_Guid id = guid;
        if (!UnlockElement(kind, id)) throw EElementHider(__LINE__);
        err = Attach(kind, id, record);
        if (err != kHostNoError) {
            LockElement(kind, id);
            throw EElementHider(__LINE__, 0, err);
        }
        LockElement(kind, id);
        return true;
    }
    if (err == kHostErrUserDataRefused) return false;
    if (err != kHostNoError) throw EElementHider(__LINE__, 0, err);
    return true;
}

void ElementHider::ClearLinkSlot(ElementLinkRecord& record, size_t slot, int32_t kind, const API_Guid& guid) const {
    if (slot < 10) record.SetSlot(slot, 0);
    try {
        WriteElementLink(kind, guid, record, false);
    } catch (const EElementHider&) {
        AddonAlert(kAlertInternalError);
    }
}

void ElementHider::RemoveElementLink(int32_t kind, const API_Guid& guid) const {
    std::array<uint8_t, HostUserData::kSize> ud{};
    auto head = Head(kind, guid);
    GSErr err = HostElementSetUserData(head.data(), ud.data());
    if (err != kHostNoError) throw EElementHider(__LINE__, 0, err);
}

bool ElementHider::LockElement(int32_t kind, API_Guid& guid) const {
    return ChangeLock(kind, guid, kHostSelElementLock);
}

bool ElementHider::UnlockElement(int32_t kind, API_Guid& guid) const {
    return ChangeLock(kind, guid, kHostSelElementUnlock);
}
