// Elements: counts, lists, records, changes, defaults, locks, user data and the selection.
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

#include <algorithm>
#include <cstring>
#include <span>

using namespace hostops;

namespace hostops {

GSErr OpElementGetCount(uint32_t token, int32_t kind, int32_t* count) {
    Call c(token);
    if (!c || !count) return kHostErrBadParameter;
    if (!HostElement::IsValidKind(kind)) return kHostErrBadKind;
    *count = c.Model().HighestIndex(kind);
    return kHostNoError;
}

GSErr OpElementList(uint32_t token, int32_t kind, uint32_t* handle) {
    Call c(token);
    if (!c || !handle) return kHostErrBadParameter;
    if (!HostElement::IsValidKind(kind)) return kHostErrBadKind;
    const auto& elements = c.Model().OfKind(kind);
    BKHandle h = BKNewHandle(elements.size() * 16);
    if (!h) return kHostErrNoMemory;
    uint8_t* p = BKHandleData(h);
    for (size_t i = 0; i < elements.size(); ++i) elements[i]->Guid().ToBytes(p + 16 * i);
    c.Model().StartWalk(kind);
    *handle = h;
    return kHostNoError;
}

int32_t OpElementFilter(uint32_t token, const uint8_t* head, int32_t filter) {
    Call c(token);
    if (!c) return 0;
    Element* e = Locate(c.Model(), head);
    if (!e) return 0;
    switch (filter) {
    case HostFilter::kExists: return 1;
    case HostFilter::kEditable: return !e->Locked() && !LayerLocked(c.Model(), e->Layer());
    case HostFilter::kOnVisibleLayer: return !LayerHidden(c.Model(), e->Layer());
    default: return 0;
    }
}

GSErr OpElementGet(uint32_t token, uint8_t* record) {
    Call c(token);
    if (!c || !record) return kHostErrBadParameter;
    Element* e = Locate(c.Model(), record);
    if (!e) return kHostErrNoElement;
    std::memcpy(record, e->record.data(), HostElement::kRecordSize);
    return kHostNoError;
}

GSErr OpElementGetHeader(uint32_t token, uint8_t* header) {
    Call c(token);
    if (!c || !header) return kHostErrBadParameter;
    Element* e = Locate(c.Model(), header);
    if (!e) return kHostErrNoElement;
    std::memcpy(header, e->record.data(), HostElement::kHeaderSize);
    return kHostNoError;
}

GSErr OpElementChange(uint32_t token, uint8_t* record, const uint8_t* mask) {
    Call c(token);
    if (!c || !record || !mask) return kHostErrBadParameter;
    HostModel& m = c.Model();
    Element* e = Locate(m, record);
    if (!e) return kHostErrNoElement;
    if (e->Locked()) return kHostErrElementLocked;
    if (LayerLocked(m, e->Layer())) return kHostErrLayerLocked;
    // One buffer for every change: a pass changes thousands of elements, each in a few fields.
    thread_local std::vector<uint8_t> next;
    next = e->record;
    // A mask is mostly zeros: it is read eight bytes at a time.
    for (size_t i = HostElement::kLayer; i < HostElement::kRecordSize; i += 8) {
        size_t n = std::min<size_t>(8, HostElement::kRecordSize - i);
        uint64_t word = 0;
        std::memcpy(&word, mask + i, n);
        if (!word) continue;
        for (size_t j = i; j < i + n; ++j)
            if (mask[j]) next[j] = record[j];
    }
    // The identity (kind, index, identifier), the lock and the change stamp are not changed here.
    next[HostElement::kLocked] = e->record[HostElement::kLocked];
    std::memcpy(next.data() + HostElement::kModiStamp, e->record.data() + HostElement::kModiStamp, 4);
    int16_t newLayer = LE::Get<int16_t>(next, HostElement::kLayer);
    if (newLayer != e->Layer()) {
        if (!m.Attribute(HostAttribute::Layer, newLayer)) return kHostErrNoAttribute;
        if (LayerLocked(m, newLayer)) return kHostErrLayerLocked;
    }
    if (next != e->record) m.ChangeElement(*e, next);
    std::memcpy(record, e->record.data(), HostElement::kRecordSize);
    return kHostNoError;
}

GSErr OpElementGetDefaults(uint32_t token, uint8_t* record, uint32_t* paramHandle) {
    Call c(token);
    return c ? GetToolDefaults(*c.host, record, paramHandle) : kHostErrBadParameter;
}

GSErr OpElementChangeDefaults(uint32_t token, const uint8_t* record, const uint8_t* mask, uint32_t paramHandle) {
    Call c(token);
    return c ? ChangeToolDefaults(*c.host, record, mask, paramHandle) : kHostErrBadParameter;
}

GSErr OpElementTool(uint32_t token, uint8_t* heads, int32_t count, uint32_t selector) {
    Call c(token);
    if (!c || !heads || count < 1) return kHostErrBadParameter;
    bool lock = selector == kHostSelElementLock;
    if (!lock && selector != kHostSelElementUnlock) return kHostErrBadSelector;
    HostModel& m = c.Model();
    std::vector<Element*> elements;
    for (int32_t i = 0; i < count; ++i) {
        Element* e = Locate(m, heads + static_cast<size_t>(i) * HostHead::kSize);
        if (!e) return kHostErrNoElement;
        elements.push_back(e);
    }
    for (Element* e : elements) {
        if (e->Locked() == lock) continue;
        std::vector<uint8_t> next = e->record;
        next[HostElement::kLocked] = lock ? 1 : 0;
        m.ChangeElement(*e, next);
    }
    return kHostNoError;
}

GSErr OpElementGetUserData(uint32_t token, const uint8_t* head, uint8_t* userData) {
    Call c(token);
    if (!c || !head || !userData) return kHostErrBadParameter;
    Element* e = Locate(c.Model(), head);
    if (!e) return kHostErrNoElement;
    auto it = e->userData.find(c.addon->name);
    if (it == e->userData.end()) return kHostErrNoUserData;
    BKHandle h = BKNewHandle(it->second.bytes.size());
    if (!h) return kHostErrNoMemory;
    if (!it->second.bytes.empty()) std::memcpy(BKHandleData(h), it->second.bytes.data(), it->second.bytes.size());
    auto rec = Span(userData, HostUserData::kSize);
    LE::Put<int16_t>(rec, HostUserData::kVersion, it->second.version);
    LE::Put<uint16_t>(rec, HostUserData::kPlatformSign, it->second.platformSign);
    LE::Put<uint32_t>(rec, HostUserData::kFlags, 0);
    LE::Put<uint32_t>(rec, HostUserData::kDataHandle, h);
    return kHostNoError;
}

GSErr OpElementSetUserData(uint32_t token, uint8_t* head, const uint8_t* userData) {
    Call c(token);
    if (!c || !head || !userData) return kHostErrBadParameter;
    Element* e = Locate(c.Model(), head);
    if (!e) return kHostErrNoElement;
    if (e->Kind() == HostElement::Camera || e->Kind() == HostElement::CameraPath || c.host->refuseUserData.count(e->Guid()))
        return kHostErrUserDataRefused;
    if (e->Locked()) return kHostErrElementLocked;
    auto rec = CSpan(userData, HostUserData::kSize);
    BKHandle h = LE::Get<uint32_t>(rec, HostUserData::kDataHandle);
    if (h == 0) {
        if (e->userData.count(c.addon->name)) c.Model().SetUserData(*e, c.addon->name, std::nullopt);
        return kHostNoError;
    }
    size_t size = BKHandleSize(h);
    if (size > 65536) return kHostErrUserDataRefused;
    UserDataBlock block;
    block.version = LE::Get<int16_t>(rec, HostUserData::kVersion);
    block.platformSign = LE::Get<uint16_t>(rec, HostUserData::kPlatformSign);
    if (size) block.bytes.assign(BKHandleData(h), BKHandleData(h) + size);
    auto it = e->userData.find(c.addon->name);
    if (it == e->userData.end() || !(it->second == block)) c.Model().SetUserData(*e, c.addon->name, std::move(block));
    return kHostNoError;
}

GSErr OpSelectionGet(uint32_t token, uint8_t* info, uint32_t* entries, int32_t) {
    Call c(token);
    if (!c || !info) return kHostErrBadParameter;
    HostModel& m = c.Model();
    std::vector<Element*> selected;
    for (const API_Guid& g : m.Selection())
        if (Element* e = m.Find(g)) selected.push_back(e);
    auto rec = Span(info, HostSelection::kInfoSize);
    LE::Put<int32_t>(rec, HostSelection::kKind, selected.empty() ? HostSelection::None : HostSelection::Elements);
    LE::Put<int32_t>(rec, HostSelection::kCount, static_cast<int32_t>(selected.size()));
    if (entries) {
        BKHandle h = BKNewHandle(selected.size() * HostHead::kSize);
        if (!h) return kHostErrNoMemory;
        uint8_t* p = BKHandleData(h);
        for (size_t i = 0; i < selected.size(); ++i) {
            auto entry = Span(p + i * HostHead::kSize, HostHead::kSize);
            LE::Put<int32_t>(entry, HostHead::kKind, HostSelection::kTypeBase + selected[i]->Kind());
            selected[i]->Guid().ToBytes(p + i * HostHead::kSize + HostHead::kGuid);
        }
        *entries = h;
    }
    return kHostNoError;
}

GSErr OpSelectElements(uint32_t token, const uint8_t* entries, int32_t count, int32_t add) {
    Call c(token);
    if (!c || count < 0 || (count > 0 && !entries)) return kHostErrBadParameter;
    auto& sel = c.Model().Selection();
    std::vector<API_Guid> chosen;
    for (int32_t i = 0; i < count; ++i) {
        API_Guid g = API_Guid::FromBytes(entries + static_cast<size_t>(i) * HostHead::kSize + HostHead::kGuid);
        if (!c.Model().Find(g)) return kHostErrNoElement;
        chosen.push_back(g);
    }
    if (!add) sel.clear();
    for (const auto& g : chosen)
        if (std::find(sel.begin(), sel.end(), g) == sel.end()) sel.push_back(g);
    return kHostNoError;
}

} // namespace hostops
