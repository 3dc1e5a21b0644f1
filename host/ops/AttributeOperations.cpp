// Attributes: layers, pens, materials and the rest, by kind and index.
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

namespace {

bool KnownAttributeKind(int32_t kind) {
    return kind == HostAttribute::Pen || kind == HostAttribute::Layer || kind == HostAttribute::Material;
}

} // namespace

namespace hostops {

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
    c.Model().MarkAddonAttribute(kind, index);
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

} // namespace hostops
