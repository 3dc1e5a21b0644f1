// Looks add-ons lay over elements: how the display shows work under way or to come without
// changing what the elements are.
#include "host/ops/HostOperationAreas.h"

#include "host/ops/LookRecordRead.h"
#include "host/ops/OperationCall.h"
#include "hostapi/HostLookRecord.h"

#include <cstring>

using namespace hostops;

namespace hostops {

GSErr OpElementSetLook(uint32_t token, const uint8_t* head, const uint8_t* lookRecord) {
    Call c(token);
    if (!c || !head) return kHostErrBadParameter;
    Element* e = Locate(c.Model(), head);
    if (!e) return kHostErrNoElement;
    std::optional<LookOverride> look;
    if (!ReadLookRecord(lookRecord, look)) return kHostErrBadParameter;
    c.Model().SetLook(*e, look);
    return kHostNoError;
}

GSErr OpElementGetLook(uint32_t token, const uint8_t* head, uint8_t* lookRecord) {
    Call c(token);
    if (!c || !head || !lookRecord) return kHostErrBadParameter;
    const Element* e = Locate(c.Model(), head);
    if (!e) return kHostErrNoElement;
    std::span<uint8_t> rec(lookRecord, HostLook::kSize);
    std::fill(rec.begin(), rec.end(), 0);
    if (!e->look) return kHostErrNotAvailable;
    const LookOverride& l = *e->look;
    rec[HostLook::kFlags] = l.coloured ? HostLook::kColoured : 0;
    rec[HostLook::kRed] = l.red;
    rec[HostLook::kGreen] = l.green;
    rec[HostLook::kBlue] = l.blue;
    rec[HostLook::kTransparency] = l.transparency;
    rec[HostLook::kClipAxis] = l.clipAxis;
    uint64_t bits;
    std::memcpy(&bits, &l.drawn, 8);
    LE::Put<uint64_t>(rec, HostLook::kDrawn, bits);
    return kHostNoError;
}

} // namespace hostops
