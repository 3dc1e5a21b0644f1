#pragma once
// What every operation body shares: the call's host and add-on, spans over the caller's
// records, and the element a head names.
#include "bytes/LittleEndian.h"
#include "host/ops/HostCore.h"
#include "hostapi/HostAttributeRecord.h"
#include "hostapi/HostElementRecord.h"

#include <span>

namespace hostops {

// Every operation runs against the current host on behalf of a known add-on.
struct Call {
    HostCore* host = nullptr;
    AddonRegistration* addon = nullptr;
    explicit Call(uint32_t token) : host(HostCore::Current()) {
        if (host) addon = host->AddonByToken(token);
    }
    explicit operator bool() const { return host && addon; }
    HostModel& Model() { return host->Model(); }
};

inline std::span<uint8_t> Span(uint8_t* p, size_t n) { return {p, n}; }
inline std::span<const uint8_t> CSpan(const uint8_t* p, size_t n) { return {p, n}; }

// The element a head (or record) names: by identifier, or by kind and index when it is null.
inline Element* Locate(HostModel& model, const uint8_t* head) {
    if (!head) return nullptr;
    API_Guid guid = API_Guid::FromBytes(head + HostHead::kGuid);
    Element* e = nullptr;
    if (!guid.IsNull()) {
        e = model.FindOnWalk(guid);
    } else {
        e = model.FindByIndex(LE::Get<int32_t>(CSpan(head, 8), HostHead::kKind),
                              LE::Get<int32_t>(CSpan(head, 8), HostHead::kIndex));
    }
    if (e && LE::Get<int32_t>(CSpan(head, 4), 0) != e->Kind()) return nullptr;
    return e;
}

inline bool LayerLocked(HostModel& model, int16_t layer) {
    auto* rec = model.Attribute(HostAttribute::Layer, layer);
    return rec && (LE::Get<uint32_t>(*rec, HostAttribute::kFlags) & HostAttribute::kLayerLocked);
}

inline bool LayerHidden(HostModel& model, int16_t layer) {
    auto* rec = model.Attribute(HostAttribute::Layer, layer);
    return rec && (LE::Get<uint32_t>(*rec, HostAttribute::kFlags) & HostAttribute::kLayerHidden);
}

template <typename F> HostFunc Entry(F f) { return reinterpret_cast<HostFunc>(f); }

} // namespace hostops
