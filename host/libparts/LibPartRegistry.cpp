#include "host/libparts/LibPartRegistry.h"

#include "bytes/LittleEndian.h"
#include "hostapi/HostElementRecord.h"
#include "hostapi/HostLibPartRecord.h"

int32_t LibPartRegistry::Register(const std::string& owner, const std::string& fileName, std::span<const uint8_t> bytes,
                                  std::string& error) {
    auto def = ParseLibPartFile(bytes, error);
    if (!def) return 0;
    for (auto& part : parts_) {
        if (part.def.uniqueId != def->uniqueId) continue;
        part.fileName = fileName;
        part.owner = owner;
        part.def = std::move(*def);
        return part.index;
    }
    if (ByName(def->name)) {
        error = "another part has that name";
        return 0;
    }
    LibPart part;
    part.index = static_cast<int32_t>(parts_.size()) + 1;
    part.fileName = fileName;
    part.owner = owner;
    part.def = std::move(*def);
    parts_.push_back(std::move(part));
    return parts_.back().index;
}

const LibPart* LibPartRegistry::ByIndex(int32_t index) const {
    if (index < 1 || static_cast<size_t>(index) > parts_.size()) return nullptr;
    return &parts_[static_cast<size_t>(index) - 1];
}

const LibPart* LibPartRegistry::ByName(const std::u16string& name) const {
    for (const auto& p : parts_)
        if (p.def.name == name) return &p;
    return nullptr;
}

const LibPart* LibPartRegistry::ByUniqueId(const std::string& id) const {
    for (const auto& p : parts_)
        if (p.def.uniqueId == id) return &p;
    return nullptr;
}

const LibPart* LibPartRegistry::TemplateOf(uint32_t variation, const std::string& owner) const {
    for (const auto& p : parts_)
        if (p.def.isTemplate && p.def.variation == variation && p.owner == owner) return &p;
    return nullptr;
}

const LibPart* LibPartRegistry::DefaultOf(uint32_t variation) const {
    const LibPart* fallback = nullptr;
    for (const auto& p : parts_) {
        if (p.def.variation != variation) continue;
        if (!p.def.isTemplate) return &p;
        if (!fallback) fallback = &p;
    }
    return fallback;
}

ToolDefaults& ElementDefaults::Of(int32_t kind, uint32_t variation, const LibPartRegistry& parts) {
    auto key = std::make_pair(kind, variation);
    auto it = defaults_.find(key);
    if (it != defaults_.end()) return it->second;
    ToolDefaults d;
    d.record.assign(HostElement::kRecordSize, 0);
    LE::Put<int32_t>(d.record, HostElement::kKind, kind);
    LE::Put<int16_t>(d.record, HostElement::kLayer, 1);
    if (kind == HostElement::Object) {
        LE::Put<uint32_t>(d.record, HostObjectFields::kVariation, variation);
        LE::Put<int16_t>(d.record, 104, 1); // contour pen
        if (const LibPart* part = variation ? parts.DefaultOf(variation) : nullptr) {
            LE::Put<int32_t>(d.record, HostObjectFields::kLibPart, part->index);
            d.params = part->def.params;
        }
    }
    return defaults_.emplace(key, std::move(d)).first->second;
}
