#include "host/ops/LibPartOperations.h"

#include "basekit/BKMemory.h"
#include "basekit/BKText.h"
#include "bytes/FixedText.h"
#include "bytes/LittleEndian.h"
#include "dialogkit/DGModalDialog.h"
#include "filekit/FKLocation.h"
#include "host/libparts/LabelDrawing.h"
#include "host/ops/GraphicsOperations.h"
#include "host/ops/GraphicsState.h"
#include "host/ops/HostCore.h"
#include "host/ops/HostOperationAreas.h"
#include "host/ops/OperationCall.h"
#include "host/render/Pictures.h"
#include "host/resources/HostResources.h"
#include "hostapi/HostElementRecord.h"
#include "hostapi/HostEnvironmentRecords.h"
#include "hostapi/HostLibPartRecord.h"
#include "hostapi/HostRegistrationRecord.h"
#include "hostapi/HostSelectors.h"

#include <cstring>

namespace {

constexpr size_t kMaxParams = 64;
constexpr int16_t kObjectSettingsTexts = 205;

std::u16string NameIn(std::span<const uint8_t> record) {
    std::u16string name;
    for (size_t i = 0; i + 1 < HostLibPart::kNameUnits; ++i) {
        char16_t c = LE::Get<uint16_t>(record, HostLibPart::kName + 2 * i);
        if (c == 0) break;
        name.push_back(c);
    }
    return name;
}

GSErr FillRecord(const LibPart& part, uint8_t* record) {
    std::span<uint8_t> r(record, HostLibPart::kSize);
    BKHandle location = BKNewHandle(part.fileName.size());
    if (!location) return kHostErrNoMemory;
    if (!part.fileName.empty()) std::memcpy(BKHandleData(location), part.fileName.data(), part.fileName.size());
    std::memset(record, 0, HostLibPart::kSize);
    LE::Put<int32_t>(r, HostLibPart::kIndex, part.index);
    LE::Put<uint32_t>(r, HostLibPart::kVariation, part.def.variation);
    for (size_t i = 0; i < part.def.name.size() && i + 1 < HostLibPart::kNameUnits; ++i)
        LE::Put<uint16_t>(r, HostLibPart::kName + 2 * i, part.def.name[i]);
    LE::PutText(r, HostLibPart::kUniqueId, HostLibPart::kUniqueIdSize, part.def.uniqueId);
    LE::Put<uint32_t>(r, HostLibPart::kLocation, location);
    r[HostLibPart::kTemplate] = part.def.isTemplate ? 1 : 0;
    return kHostNoError;
}

BKHandle NewBlock(const std::vector<uint8_t>& bytes) {
    BKHandle h = BKNewHandle(bytes.size());
    if (h && !bytes.empty()) std::memcpy(BKHandleData(h), bytes.data(), bytes.size());
    return h;
}

// A caller's block of parameter records, when it is one.
std::optional<std::span<const uint8_t>> ParamBlock(BKHandle h) {
    const uint8_t* data = BKHandleData(h);
    size_t size = BKHandleSize(h);
    if (!data && size == 0) return std::span<const uint8_t>();
    if (!data || size % HostLibPartParam::kSize != 0 || size / HostLibPartParam::kSize > kMaxParams) return std::nullopt;
    return std::span<const uint8_t>(data, size);
}

} // namespace

GSErr LibPartSearch(HostCore& host, uint8_t* record) {
    if (!record) return kHostErrBadParameter;
    std::span<const uint8_t> r(record, HostLibPart::kSize);
    const LibPartRegistry& parts = GraphicsOf(host).parts;
    std::u16string name = NameIn(r);
    const LibPart* part = nullptr;
    if (!name.empty()) {
        part = parts.ByName(name);
    } else {
        std::string id(LE::GetText(r, HostLibPart::kUniqueId, HostLibPart::kUniqueIdSize));
        if (!id.empty()) part = parts.ByUniqueId(id);
    }
    if (!part) return kHostErrNoLibPart;
    return FillRecord(*part, record);
}

GSErr LibPartGet(HostCore& host, uint8_t* record) {
    if (!record) return kHostErrBadParameter;
    const LibPart* part = GraphicsOf(host).parts.ByIndex(LE::Get<int32_t>({record, HostLibPart::kSize}, HostLibPart::kIndex));
    if (!part) return kHostErrNoLibPart;
    return FillRecord(*part, record);
}

GSErr LibPartGetParams(HostCore& host, int32_t index, uint32_t* paramHandle, int32_t* paramCount) {
    if (!paramHandle) return kHostErrBadParameter;
    *paramHandle = 0;
    if (paramCount) *paramCount = 0;
    const LibPart* part = GraphicsOf(host).parts.ByIndex(index);
    if (!part) return kHostErrNoLibPart;
    BKHandle h = NewBlock(part->def.params);
    if (!h && !part->def.params.empty()) return kHostErrNoMemory;
    *paramHandle = h;
    if (paramCount) *paramCount = static_cast<int32_t>(part->def.params.size() / HostLibPartParam::kSize);
    return kHostNoError;
}

GSErr LibPartRegister(HostCore& host, const AddonRegistration& addon, const uint16_t* fileName, const uint8_t* data,
                      uint32_t size, uint8_t* record) {
    if (!fileName || !data || size == 0) return kHostErrBadParameter;
    std::u16string name;
    for (size_t i = 0; fileName[i] != 0; ++i) {
        if (i >= 255) return kHostErrBadParameter;
        name.push_back(static_cast<char16_t>(fileName[i]));
    }
    if (size > kMaxLibPartFile) return kHostErrBadLibPart;
    std::string error;
    int32_t index = GraphicsOf(host).parts.Register(addon.name, BKToUtf8(BKFromUtf16(name)), {data, size}, error);
    if (index == 0) return kHostErrBadLibPart;
    if (!record) return kHostNoError;
    return FillRecord(*GraphicsOf(host).parts.ByIndex(index), record);
}

GSErr GetToolDefaults(HostCore& host, uint8_t* record, uint32_t* paramHandle) {
    if (!record) return kHostErrBadParameter;
    if (paramHandle) *paramHandle = 0;
    std::span<uint8_t> r(record, HostElement::kRecordSize);
    int32_t kind = LE::Get<int32_t>(r, HostElement::kKind);
    if (!HostElement::IsValidKind(kind)) return kHostErrBadKind;
    uint32_t variation = kind == HostElement::Object ? LE::Get<uint32_t>(r, HostObjectFields::kVariation) : 0;
    HostGraphicsState& g = GraphicsOf(host);
    const ToolDefaults& d = g.defaults.Of(kind, variation, g.parts);
    if (paramHandle && !d.params.empty()) {
        *paramHandle = NewBlock(d.params);
        if (!*paramHandle) return kHostErrNoMemory;
    }
    std::memcpy(record, d.record.data(), HostElement::kRecordSize);
    return kHostNoError;
}

GSErr ChangeToolDefaults(HostCore& host, const uint8_t* record, const uint8_t* mask, uint32_t paramHandle) {
    if (!record) return kHostErrBadParameter;
    std::span<const uint8_t> r(record, HostElement::kRecordSize);
    int32_t kind = LE::Get<int32_t>(r, HostElement::kKind);
    if (!HostElement::IsValidKind(kind)) return kHostErrBadKind;
    uint32_t variation = kind == HostElement::Object ? LE::Get<uint32_t>(r, HostObjectFields::kVariation) : 0;
    std::optional<std::vector<uint8_t>> params;
    if (paramHandle) {
        auto block = ParamBlock(paramHandle);
        if (!block) return kHostErrBadParameter;
        params.emplace(block->begin(), block->end());
    }
    HostGraphicsState& g = GraphicsOf(host);
    ToolDefaults& d = g.defaults.Of(kind, variation, g.parts);
    std::vector<uint8_t> next = d.record;
    if (mask) {
        // Kind, index and identifier belong to elements, the variation to the settings' key.
        for (size_t i = HostElement::kLayer; i < HostElement::kRecordSize; ++i) {
            bool key = kind == HostElement::Object && i >= HostObjectFields::kVariation && i < HostObjectFields::kVariation + 4;
            if (mask[i] && !key) next[i] = record[i];
        }
    }
    if (kind == HostElement::Object) {
        int32_t part = LE::Get<int32_t>(next, HostObjectFields::kLibPart);
        if (part != 0 && !g.parts.ByIndex(part)) return kHostErrNoLibPart;
    }
    d.record = std::move(next);
    if (params) d.params = std::move(*params);
    return kHostNoError;
}

GSErr OpenToolSettings(HostCore& host, void* request) {
    if (!request) return kHostErrBadParameter;
    std::span<const uint8_t> req(static_cast<const uint8_t*>(request), HostSettingsRequest::kSize);
    int32_t kind = LE::Get<int32_t>(req, HostSettingsRequest::kKind);
    uint32_t variation = LE::Get<uint32_t>(req, HostSettingsRequest::kVariation);
    // Only the object tool has a library part to choose.
    if (kind != HostElement::Object) return kHostErrBadKind;
    HostGraphicsState& g = GraphicsOf(host);
    ToolDefaults& d = g.defaults.Of(kind, variation, g.parts);
    const LibPart* current = g.parts.ByIndex(LE::Get<int32_t>(d.record, HostObjectFields::kLibPart));

    // The dialog's texts in the language the host speaks: title, OK, Cancel, the field's label.
    auto text = [](int16_t index) { return HostListString(kObjectSettingsTexts, index); };
    DGModalDialog dialog("object-settings", text(1));
    // Laid out for a windowed back-end; the headless one ignores the places.
    dialog.AddItem({1, DGItemKind::Button, "ok", text(2), {165, 44, 75, 24}, 0, true, true, {}});
    dialog.AddItem({2, DGItemKind::Button, "cancel", text(3), {250, 44, 75, 24}, 0, true, true, {}});
    dialog.AddItem({3, DGItemKind::StaticText, "", text(4), {10, 12, 85, 20}, 0, true, true, {}});
    dialog.AddItem({4, DGItemKind::TextEdit, "part", current ? BKFromUtf16(current->def.name) : std::string(),
                    {100, 10, 225, 22}, 0, true, true, {}});
    const LibPart* chosen = nullptr;
    dialog.onClick = [&](DGModalDialog& dlg, int16_t item) {
        if (item != 1) return true;
        const LibPart* part = g.parts.ByName(BKToUtf16(dlg.FindItem(4)->text));
        // A part of another object type does not fit this tool.
        if (!part || (variation != 0 && part->def.variation != variation)) return false;
        chosen = part;
        return true;
    };
    if (dialog.Run(1, 2) != 1 || !chosen) return kHostErrCancelled;
    if (chosen != current) {
        LE::Put<int32_t>(d.record, HostObjectFields::kLibPart, chosen->index);
        d.params = chosen->def.params;
    }
    return kHostNoError;
}

GSErr TypeTemplateId(HostCore& host, const AddonRegistration& addon, void* request, void* idOut) {
    if (!request || !idOut) return kHostErrBadParameter;
    std::span<const uint8_t> req(static_cast<const uint8_t*>(request), HostUniqueIdRequest::kSize);
    uint32_t variation = LE::Get<uint32_t>(req, HostUniqueIdRequest::kVariation);
    int16_t templateId = LE::Get<int16_t>(req, HostUniqueIdRequest::kTemplateId);
    // Only a type the add-on registered itself.
    const auto& type = addon.objectTypeRecord;
    if (type.size() < HostObjectTypeRecord::kSize || LE::Get<uint32_t>(type, HostObjectTypeRecord::kSignature) != variation ||
        (templateId != 0 && LE::Get<int16_t>(type, HostObjectTypeRecord::kTemplateId) != templateId))
        return kHostErrBadParameter;
    const LibPart* part = GraphicsOf(host).parts.TemplateOf(variation, addon.name);
    if (!part) return kHostErrNoLibPart;
    LE::PutText({static_cast<uint8_t*>(idOut), HostLibPart::kUniqueIdSize}, 0, HostLibPart::kUniqueIdSize, part->def.uniqueId);
    return kHostNoError;
}

GSErr DrawLibPartOnPicture(HostCore& host, void* pictureHandle, void* drawRecord) {
    if (!pictureHandle || !drawRecord) return kHostErrBadParameter;
    std::span<const uint8_t> r(static_cast<const uint8_t*>(drawRecord), HostLabelDraw::kSize);
    const LibPart* part = GraphicsOf(host).parts.ByIndex(LE::Get<int32_t>(r, HostLabelDraw::kLibPart));
    if (!part) return kHostErrNoLibPart;
    BKHandle paramsHandle = LE::Get<uint32_t>(r, HostLabelDraw::kParams);
    auto params = paramsHandle ? ParamBlock(paramsHandle) : std::optional<std::span<const uint8_t>>(std::span<const uint8_t>());
    if (!params) return kHostErrBadParameter;
    BKHandle picture = *static_cast<const uint32_t*>(pictureHandle);
    // Drawn on the picture's own pixels; only a picture whose rows do not start on whole pixels
    // goes through a copy.
    if (auto pixels = PixMapPixels(picture)) {
        DrawLabelPart(*pixels, *part, *params);
        return kHostNoError;
    }
    auto image = PixMapToImage(picture);
    if (!image) return kHostErrBadParameter;
    if (!DrawLabelPart(*image, *part, *params)) return kHostNoError; // nothing to draw
    return ImageIntoPixMap(*image, picture) ? kHostNoError : kHostErrBadParameter;
}

using namespace hostops;

namespace hostops {

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

} // namespace hostops
