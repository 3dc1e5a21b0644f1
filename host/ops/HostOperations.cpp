// The host's operations, as add-ons call them through the table.
#include "basekit/BKMemory.h"
#include "basekit/FixedText.h"
#include "basekit/LittleEndian.h"
#include "filekit/FKLocation.h"
#include "host/libparts/LibPartOperations.h"
#include "host/ops/Host.h"
#include "host/render/GraphicsOperations.h"
#include "hostapi/HostEnvironmentRecords.h"
#include "hostapi/HostSelectors.h"

#include <cstring>
#include <span>

namespace {

// Every operation runs against the current host on behalf of a known add-on.
struct Call {
    Host* host = nullptr;
    AddonRegistration* addon = nullptr;
    explicit Call(uint32_t token) : host(Host::Current()) {
        if (host) addon = host->AddonByToken(token);
    }
    explicit operator bool() const { return host && addon; }
    HostModel& Model() { return host->Model(); }
};

std::span<uint8_t> Span(uint8_t* p, size_t n) { return {p, n}; }
std::span<const uint8_t> CSpan(const uint8_t* p, size_t n) { return {p, n}; }

// The element a head (or record) names: by identifier, or by kind and index when it is null.
Element* Locate(HostModel& model, const uint8_t* head) {
    if (!head) return nullptr;
    API_Guid guid = API_Guid::FromBytes(head + HostHead::kGuid);
    Element* e = nullptr;
    if (!guid.IsNull()) {
        e = model.Find(guid);
    } else {
        e = model.FindByIndex(LE::Get<int32_t>(CSpan(head, 8), HostHead::kKind),
                              LE::Get<int32_t>(CSpan(head, 8), HostHead::kIndex));
    }
    if (e && LE::Get<int32_t>(CSpan(head, 4), 0) != e->Kind()) return nullptr;
    return e;
}

bool LayerLocked(HostModel& model, int16_t layer) {
    auto* rec = model.Attribute(HostAttribute::Layer, layer);
    return rec && (LE::Get<uint32_t>(*rec, HostAttribute::kFlags) & HostAttribute::kLayerLocked);
}

bool LayerHidden(HostModel& model, int16_t layer) {
    auto* rec = model.Attribute(HostAttribute::Layer, layer);
    return rec && (LE::Get<uint32_t>(*rec, HostAttribute::kFlags) & HostAttribute::kLayerHidden);
}

// ---- registration and menu

GSErr OpRegisterMenu(const uint8_t* record) {
    Host* h = Host::Current();
    if (!h || !h->PendingRegistration() || !record) return kHostErrBadParameter;
    auto* a = h->PendingRegistration();
    a->menuRecord.assign(record, record + HostMenuRecord::kSize);
    a->menuResId = LE::Get<int16_t>(CSpan(record, HostMenuRecord::kSize), HostMenuRecord::kMenuResId);
    return kHostNoError;
}

GSErr OpRegisterObjectType(const uint8_t* record) {
    Host* h = Host::Current();
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

// ---- undo and report

GSErr OpUndoOpen(uint32_t token, const char* name) {
    Call c(token);
    if (!c || !name) return kHostErrBadParameter;
    return c.Model().Undo().Open(name) ? kHostNoError : kHostErrNotInUndoStep;
}

GSErr OpUndoClose(uint32_t token) {
    Call c(token);
    if (!c) return kHostErrBadParameter;
    HostModel& m = c.Model();
    auto name = m.Undo().Close([&m](const API_Guid& g) { return m.StateOf(g); });
    if (!name) return kHostErrNotInUndoStep;
    if (c.host->Events().undoStep) c.host->Events().undoStep(*name);
    return kHostNoError;
}

GSErr OpReportWrite(uint32_t token, const char* text, int32_t) {
    Call c(token);
    if (!c || !text) return kHostErrBadParameter;
    c.host->WriteReport(text);
    return kHostNoError;
}

// ---- selector services

GSErr OpEnvironmentGet(uint32_t token, uint32_t selector, void* p1, void* p2) {
    Call c(token);
    if (!c) return kHostErrBadParameter;
    Host& h = *c.host;
    if (selector == kHostSelProjectInfo) {
        if (!p1) return kHostErrBadParameter;
        auto rec = Span(static_cast<uint8_t*>(p1), HostProjectRecord::kSize);
        rec[HostProjectRecord::kUntitled] = h.projectPath.empty() ? 1 : 0;
        rec[HostProjectRecord::kShared] = h.sharedProject ? 1 : 0;
        LE::Put<int16_t>(rec, HostProjectRecord::kUserId, h.sharedProject ? h.userId : 0);
        if (!h.projectPath.empty()) {
            BKHandle path = BKNewHandle(h.projectPath.size());
            if (path) std::memcpy(BKHandleData(path), h.projectPath.data(), h.projectPath.size());
            std::string name = FKLocation::FromNativePath(h.projectPath).LastPart();
            BKHandle nameH = BKNewHandle(name.size());
            if (nameH) std::memcpy(BKHandleData(nameH), name.data(), name.size());
            LE::Put<uint32_t>(rec, HostProjectRecord::kPathHandle, path);
            LE::Put<uint32_t>(rec, HostProjectRecord::kNameHandle, nameH);
        }
        return kHostNoError;
    }
    if (selector == kHostSelAddonFolder) {
        if (!p1 || !p2) return kHostErrBadParameter;
        if (LE::Get<int32_t>(CSpan(static_cast<uint8_t*>(p1), 4), 0) != HostFolderRecord::kHelpFolder)
            return kHostErrBadParameter;
        *static_cast<FKLocation*>(p2) = FKLocation::FromNativePath(h.helpFolder);
        return kHostNoError;
    }
    if (selector == kHostSelSwitchGet) {
        if (!p1) return kHostErrBadParameter;
        *static_cast<uint8_t*>(p1) = h.hostSwitch ? 1 : 0;
        return kHostNoError;
    }
    if (selector == kHostSelProjectionGet) return GetProjection(h, p1);
    if (selector == kHostSelProjectionChange) return ChangeProjection(h, p1, p2);
    if (selector == kHostSelWindow3DSize) return GetWindowSize(h, false, p1, p2);
    if (selector == kHostSelPhotoWindowSize) return GetWindowSize(h, true, p1, p2);
    return kHostErrBadSelector;
}

GSErr OpEnvironmentSet(uint32_t token, uint32_t selector, void* p1, void* p2) {
    Call c(token);
    if (!c) return kHostErrBadParameter;
    Host& h = *c.host;
    if (selector == kHostSelSwitchSet) {
        if (!p1) return kHostErrBadParameter;
        h.hostSwitch = *static_cast<uint8_t*>(p1) != 0;
        return kHostNoError;
    }
    if (selector == kHostSelMenuItemText) {
        if (!p1 || !p2) return kHostErrBadParameter;
        auto rec = CSpan(static_cast<uint8_t*>(p1), HostMenuItemRecord::kSize);
        int16_t menu = LE::Get<int16_t>(rec, HostMenuItemRecord::kMenuResId);
        int32_t item = LE::Get<int32_t>(rec, HostMenuItemRecord::kItem);
        if (c.addon->menuResId != menu || item < 1) return kHostErrBadParameter;
        const char* text = static_cast<const char*>(p2);
        std::string t(text, strnlen(text, 2048));
        h.menuTexts[{menu, item}] = t;
        if (h.Events().menuText) h.Events().menuText(menu, item, t);
        return kHostNoError;
    }
    if (selector == kHostSelToolSettings) return OpenToolSettings(h, p1);
    return kHostErrBadSelector;
}

bool IsDatabaseKind(int32_t kind) {
    return kind == HostDatabaseKind::FloorPlan || kind == HostDatabaseKind::Section || kind == HostDatabaseKind::Detail ||
           kind == HostDatabaseKind::Layout || kind == HostDatabaseKind::Worksheet || kind == HostDatabaseKind::Elevation;
}

GSErr OpDatabaseQuery(uint32_t token, uint32_t selector, void* p1, void*) {
    Call c(token);
    if (!c || !p1) return kHostErrBadParameter;
    auto rec = Span(static_cast<uint8_t*>(p1), HostDatabaseRecord::kSize);
    if (selector == kHostSelDatabaseGet) {
        LE::Put<int32_t>(rec, HostDatabaseRecord::kKind, c.host->currentDatabase);
        return kHostNoError;
    }
    if (selector == kHostSelFrontWindowGet) {
        LE::Put<int32_t>(rec, HostDatabaseRecord::kKind, c.host->frontWindow);
        return kHostNoError;
    }
    if (selector == kHostSelDatabaseChange) {
        int32_t kind = LE::Get<int32_t>(rec, HostDatabaseRecord::kKind);
        // A database whose window is not open cannot be made current without bringing it up.
        if (!IsDatabaseKind(kind) || (kind != HostDatabaseKind::FloorPlan && kind != c.host->frontWindow))
            return kHostErrNotAvailable;
        c.host->currentDatabase = kind;
        return kHostNoError;
    }
    return kHostErrBadSelector;
}

GSErr OpUtility(uint32_t token, uint32_t selector, void* p1, void* p2) {
    Call c(token);
    if (!c) return kHostErrBadParameter;
    if (selector == kHostSelKindName) {
        if (!p1 || !p2) return kHostErrBadParameter;
        std::string name = c.host->KindName(*static_cast<int32_t*>(p1));
        if (name.empty()) return kHostErrBadKind;
        BKCopyText(static_cast<char*>(p2), 256, name);
        return kHostNoError;
    }
    if (selector == kHostSelSelectionTypeToKind) {
        if (!p1 || !p2) return kHostErrBadParameter;
        int32_t kind = *static_cast<int32_t*>(p1) - HostSelection::kTypeBase;
        *static_cast<int32_t*>(p2) = HostElement::IsValidKind(kind) ? kind : 0;
        return HostElement::IsValidKind(kind) ? kHostNoError : kHostErrBadKind;
    }
    if (selector == kHostSelChangesBegin) {
        ++c.host->changeRunDepth;
        return kHostNoError;
    }
    if (selector == kHostSelChangesEnd) {
        if (c.host->changeRunDepth == 0) return kHostErrBadParameter;
        --c.host->changeRunDepth;
        return kHostNoError;
    }
    if (selector == kHostSelTypeTemplateId) return TypeTemplateId(*c.host, *c.addon, p1, p2);
    return kHostErrBadSelector;
}

GSErr OpAutomate(uint32_t token, uint32_t selector, void* p1, void*) {
    Call c(token);
    if (!c) return kHostErrBadParameter;
    if (selector == kHostSelRebuild) {
        ++c.host->rebuildCount;
        return kHostNoError;
    }
    if (selector == kHostSelWindowToFront) {
        if (!p1) return kHostErrBadParameter;
        int32_t kind = LE::Get<int32_t>(CSpan(static_cast<uint8_t*>(p1), 4), 0);
        if (!IsDatabaseKind(kind) && kind != HostDatabaseKind::Window3D) return kHostErrBadParameter;
        c.host->frontWindow = kind;
        if (IsDatabaseKind(kind)) c.host->currentDatabase = kind;
        return kHostNoError;
    }
    return kHostErrBadSelector;
}

GSErr OpGraphics(uint32_t token, uint32_t selector, void* p1, void* p2) {
    Call c(token);
    if (!c) return kHostErrBadParameter;
    if (selector == kHostSelWindowCapture) return CaptureWindow(*c.host, p1, p2);
    if (selector == kHostSelLibPartDraw) return DrawLibPartOnPicture(*c.host, p1, p2);
    if (selector == kHostSelCameraPathPositions) return CameraPathPositions(*c.host, p1, p2);
    if (selector == kHostSelCaptureMode) return SetCaptureMode(*c.host, p1);
    return kHostErrBadSelector;
}

// ---- preferences

GSErr OpPreferencesRead(uint32_t token, int32_t* version, uint32_t* size, void* data) {
    Call c(token);
    if (!c || !version || !size) return kHostErrBadParameter;
    auto entry = c.host->Preferences().Read(c.addon->name);
    if (!entry) return kHostErrNoPreferences;
    if (data) {
        if (*size != entry->bytes.size()) return kHostErrBadParameter;
        std::memcpy(data, entry->bytes.data(), entry->bytes.size());
    }
    *version = entry->version;
    *size = static_cast<uint32_t>(entry->bytes.size());
    return kHostNoError;
}

GSErr OpPreferencesWrite(uint32_t token, int32_t version, uint32_t size, const void* data) {
    Call c(token);
    if (!c || (!data && size)) return kHostErrBadParameter;
    const auto* p = static_cast<const uint8_t*>(data);
    std::string error;
    if (c.host->Preferences().Write(c.addon->name, version, std::vector<uint8_t>(p, p + size), error)) return kHostNoError;
    // The add-on may not tell anyone (it stores its settings while being unloaded), so the host does.
    if (c.host->Events().error) c.host->Events().error(error);
    return kHostErrFile;
}

// ---- attributes

bool KnownAttributeKind(int32_t kind) {
    return kind == HostAttribute::Pen || kind == HostAttribute::Layer || kind == HostAttribute::Material;
}

GSErr OpAttributeGetCount(uint32_t token, int32_t kind, int16_t* count) {
    Call c(token);
    if (!c || !count) return kHostErrBadParameter;
    if (!KnownAttributeKind(kind)) return kHostErrBadKind;
    *count = c.Model().AttributeCount(kind);
    return kHostNoError;
}

GSErr OpAttributeGet(uint32_t token, uint8_t* record) {
    Call c(token);
    if (!c || !record) return kHostErrBadParameter;
    auto r = CSpan(record, HostAttribute::kRecordSize);
    auto* stored = c.Model().Attribute(LE::Get<int32_t>(r, HostAttribute::kKind), LE::Get<int16_t>(r, HostAttribute::kIndex));
    if (!stored) return kHostErrNoAttribute;
    std::memcpy(record, stored->data(), HostAttribute::kRecordSize);
    return kHostNoError;
}

GSErr OpAttributeCreate(uint32_t token, uint8_t* record, const uint8_t* extra) {
    Call c(token);
    if (!c || !record) return kHostErrBadParameter;
    auto r = CSpan(record, HostAttribute::kRecordSize);
    int32_t kind = LE::Get<int32_t>(r, HostAttribute::kKind);
    if (!KnownAttributeKind(kind)) return kHostErrBadKind;
    std::string name(LE::GetText(r, HostAttribute::kName, HostAttribute::kNameSize));
    if (name.empty()) return kHostErrBadParameter;
    if (c.Model().FindAttributeByName(kind, name)) return kHostErrNameExists;
    std::vector<uint8_t> extraBytes;
    if (extra && kind == HostAttribute::Material) extraBytes.assign(extra, extra + HostAttribute::kExtraSize);
    int16_t index = c.Model().CreateAttribute(kind, AttributeRecord(record, record + HostAttribute::kRecordSize),
                                              std::move(extraBytes));
    if (index == 0) return kHostErrNoMemory;
    LE::Put<int16_t>(Span(record, HostAttribute::kRecordSize), HostAttribute::kIndex, index);
    return kHostNoError;
}

GSErr OpAttributeModify(uint32_t token, uint8_t* record, const uint8_t* extra) {
    Call c(token);
    if (!c || !record) return kHostErrBadParameter;
    auto r = CSpan(record, HostAttribute::kRecordSize);
    int32_t kind = LE::Get<int32_t>(r, HostAttribute::kKind);
    int16_t index = LE::Get<int16_t>(r, HostAttribute::kIndex);
    auto* stored = c.Model().Attribute(kind, index);
    if (!stored) return kHostErrNoAttribute;
    std::string name(LE::GetText(r, HostAttribute::kName, HostAttribute::kNameSize));
    int16_t other = c.Model().FindAttributeByName(kind, name);
    if (name.empty() || (other != 0 && other != index)) return kHostErrNameExists;
    std::memcpy(stored->data(), record, HostAttribute::kRecordSize);
    (*stored)[HostAttribute::kName + HostAttribute::kNameSize - 1] = 0;
    if (extra && kind == HostAttribute::Material)
        c.Model().SetAttributeExtra(kind, index, std::vector<uint8_t>(extra, extra + HostAttribute::kExtraSize));
    return kHostNoError;
}

GSErr OpAttributeSearch(uint32_t token, uint8_t* record) {
    Call c(token);
    if (!c || !record) return kHostErrBadParameter;
    auto r = CSpan(record, HostAttribute::kRecordSize);
    int32_t kind = LE::Get<int32_t>(r, HostAttribute::kKind);
    if (!KnownAttributeKind(kind)) return kHostErrBadKind;
    int16_t index = c.Model().FindAttributeByName(kind, std::string(LE::GetText(r, HostAttribute::kName, HostAttribute::kNameSize)));
    if (index == 0) return kHostErrNoAttributeName;
    LE::Put<int16_t>(Span(record, HostAttribute::kRecordSize), HostAttribute::kIndex, index);
    return kHostNoError;
}

// ---- library parts

GSErr OpLibPartSearch(uint32_t token, uint8_t* record) {
    Call c(token);
    return c ? LibPartSearch(*c.host, record) : kHostErrBadParameter;
}
GSErr OpLibPartGet(uint32_t token, uint8_t* record) {
    Call c(token);
    return c ? LibPartGet(*c.host, record) : kHostErrBadParameter;
}
GSErr OpLibPartGetParams(uint32_t token, int32_t index, uint32_t* paramHandle, int32_t* paramCount) {
    Call c(token);
    return c ? LibPartGetParams(*c.host, index, paramHandle, paramCount) : kHostErrBadParameter;
}
GSErr OpLibPartRegister(uint32_t token, const uint16_t* fileName, const uint8_t* data, uint32_t size, uint8_t* record) {
    Call c(token);
    return c ? LibPartRegister(*c.host, *c.addon, fileName, data, size, record) : kHostErrBadParameter;
}

// ---- elements

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
    std::vector<uint8_t> next = e->record;
    // The identity (kind, index, identifier) and the lock are not changed here.
    for (size_t i = HostElement::kLayer; i < HostElement::kRecordSize; ++i)
        if (mask[i] && i != HostElement::kLocked && (i < HostElement::kModiStamp || i >= HostElement::kModiStamp + 4))
            next[i] = record[i];
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
    LE::Put<int32_t>(rec, HostSelection::kKind, selected.empty() ? 0 : 1);
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

template <typename F> HostFunc Entry(F f) { return reinterpret_cast<HostFunc>(f); }

} // namespace

void FillHostTable(std::array<HostFunc, kHostTableSize>& t) {
    t.fill(nullptr);
    t[kHostRegisterMenu] = Entry<HostRegisterMenuFunc>(OpRegisterMenu);
    t[kHostRegisterObjectType] = Entry<HostRegisterObjectTypeFunc>(OpRegisterObjectType);
    t[kHostInstallMenuHandler] = Entry<HostInstallMenuHandlerFunc>(OpInstallMenuHandler);
    t[kHostInstallProjectEventHandler] = Entry<HostInstallProjectEventHandlerFunc>(OpInstallProjectEventHandler);
    t[kHostKeepLoaded] = Entry<HostKeepLoadedFunc>(OpKeepLoaded);
    t[kHostRegisterPalette] = Entry<HostRegisterPaletteFunc>(OpRegisterPalette);
    t[kHostUnregisterPalette] = Entry<HostUnregisterPaletteFunc>(OpUnregisterPalette);
    t[kHostUndoOpen] = Entry<HostUndoOpenFunc>(OpUndoOpen);
    t[kHostUndoClose] = Entry<HostUndoCloseFunc>(OpUndoClose);
    t[kHostReportWrite] = Entry<HostReportWriteFunc>(OpReportWrite);
    t[kHostEnvironmentGet] = Entry<HostSelectorFunc>(OpEnvironmentGet);
    t[kHostEnvironmentSet] = Entry<HostSelectorFunc>(OpEnvironmentSet);
    t[kHostDatabaseQuery] = Entry<HostSelectorFunc>(OpDatabaseQuery);
    t[kHostUtility] = Entry<HostSelectorFunc>(OpUtility);
    t[kHostAutomate] = Entry<HostSelectorFunc>(OpAutomate);
    t[kHostGraphics] = Entry<HostSelectorFunc>(OpGraphics);
    t[kHostPreferencesRead] = Entry<HostPreferencesReadFunc>(OpPreferencesRead);
    t[kHostPreferencesWrite] = Entry<HostPreferencesWriteFunc>(OpPreferencesWrite);
    t[kHostAttributeGetCount] = Entry<HostAttributeGetCountFunc>(OpAttributeGetCount);
    t[kHostAttributeGet] = Entry<HostAttributeFunc>(OpAttributeGet);
    t[kHostAttributeCreate] = Entry<HostAttributeCreateFunc>(OpAttributeCreate);
    t[kHostAttributeModify] = Entry<HostAttributeModifyFunc>(OpAttributeModify);
    t[kHostAttributeSearch] = Entry<HostAttributeFunc>(OpAttributeSearch);
    t[kHostLibPartSearch] = Entry<HostLibPartFunc>(OpLibPartSearch);
    t[kHostLibPartGet] = Entry<HostLibPartFunc>(OpLibPartGet);
    t[kHostLibPartGetParams] = Entry<HostLibPartGetParamsFunc>(OpLibPartGetParams);
    t[kHostLibPartRegister] = Entry<HostLibPartRegisterFunc>(OpLibPartRegister);
    t[kHostElementGetCount] = Entry<HostElementGetCountFunc>(OpElementGetCount);
    t[kHostElementList] = Entry<HostElementListFunc>(OpElementList);
    t[kHostElementFilter] = Entry<HostElementFilterFunc>(OpElementFilter);
    t[kHostElementGet] = Entry<HostElementGetFunc>(OpElementGet);
    t[kHostElementGetHeader] = Entry<HostElementGetHeaderFunc>(OpElementGetHeader);
    t[kHostElementChange] = Entry<HostElementChangeFunc>(OpElementChange);
    t[kHostElementGetDefaults] = Entry<HostElementGetDefaultsFunc>(OpElementGetDefaults);
    t[kHostElementChangeDefaults] = Entry<HostElementChangeDefaultsFunc>(OpElementChangeDefaults);
    t[kHostElementTool] = Entry<HostElementToolFunc>(OpElementTool);
    t[kHostElementGetUserData] = Entry<HostElementGetUserDataFunc>(OpElementGetUserData);
    t[kHostElementSetUserData] = Entry<HostElementSetUserDataFunc>(OpElementSetUserData);
    t[kHostSelectionGet] = Entry<HostSelectionGetFunc>(OpSelectionGet);
    t[kHostSelectElements] = Entry<HostSelectElementsFunc>(OpSelectElements);
}
