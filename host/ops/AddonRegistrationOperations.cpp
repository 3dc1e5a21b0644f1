// Registration of add-ons, their menus, object types, palettes and event handlers.
#include "host/ops/HostOperationAreas.h"

#include "basekit/BKMemory.h"
#include "bytes/FixedText.h"
#include "bytes/LittleEndian.h"
#include "filekit/FKLocation.h"
#include "host/ops/GraphicsOperations.h"
#include "host/ops/HostCore.h"
#include "host/ops/LibPartOperations.h"
#include "host/ops/OperationCall.h"
#include "hostapi/HostEnvironmentRecords.h"
#include "hostapi/HostSelectors.h"
#include <cstring>
#include <span>

#include <cstring>
#include <span>

using namespace hostops;

namespace hostops {

GSErr OpRegisterMenu(const uint8_t* record) {
    HostCore* h = HostCore::Current();
    if (!h || !h->PendingRegistration() || !record) return kHostErrBadParameter;
    auto* a = h->PendingRegistration();
    a->menuRecord.assign(record, record + HostMenuRecord::kSize);
    a->menuResId = LE::Get<int16_t>(CSpan(record, HostMenuRecord::kSize), HostMenuRecord::kMenuResId);
    return kHostNoError;
}

GSErr OpRegisterObjectType(const uint8_t* record) {
    HostCore* h = HostCore::Current();
    if (!h || !h->PendingRegistration() || !record) return kHostErrBadParameter;
    h->PendingRegistration()->objectTypeRecord.assign(record, record + HostObjectTypeRecord::kSize);
    return kHostNoError;
}

GSErr OpInstallMenuHandler(uint32_t token, int16_t menuResId, HostMenuHandler handler) {
    Call c(token);
    if (!c || !handler) return kHostErrBadParameter;
    if (c.addon->menuRecord.empty() || c.addon->menuResId != menuResId) return kHostErrBadParameter;
    c.addon->menuHandler = handler;
    return kHostNoError;
}

GSErr OpInstallProjectEventHandler(uint32_t token, uint32_t mask, HostProjectEventHandler handler) {
    Call c(token);
    if (!c || !handler) return kHostErrBadParameter;
    c.addon->eventHandlers.emplace_back(mask, handler);
    return kHostNoError;
}

GSErr OpKeepLoaded(uint32_t token, int32_t keep) {
    Call c(token);
    if (!c) return kHostErrBadParameter;
    c.addon->keepLoaded = keep != 0;
    return kHostNoError;
}

GSErr OpRegisterPalette(uint32_t token, const uint8_t* record) {
    Call c(token);
    if (!c || !record) return kHostErrBadParameter;
    HostPaletteRecord r;
    std::memcpy(&r, record, sizeof r);
    if (c.addon->palettes.count(r.dialogId)) return kHostErrNameExists;
    c.addon->palettes[r.dialogId] = r;
    return kHostNoError;
}

GSErr OpUnregisterPalette(uint32_t token, int32_t dialogId) {
    Call c(token);
    if (!c) return kHostErrBadParameter;
    return c.addon->palettes.erase(dialogId) ? kHostNoError : kHostErrBadParameter;
}

} // namespace hostops
