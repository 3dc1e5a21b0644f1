#include "host/ifc/helper/RecordProducts.h"

#include "host/ifc/helper/BuildingStoreys.h"
#include "host/ifc/helper/LibraryParse.h"
#include "host/ifc/helper/ProductFacts.h"
#include "host/ifc/helper/RecordBodyMesh.h"
#include "host/ifc/helper/RecordText.h"
#include "host/ifc/step/StepDataReader.h"
#include "host/ifc/step/StepValues.h"

#include <ifcpp/IFC4/EntityFactory.h>
#include <ifcpp/IFC4/include/IfcBuildingStorey.h>
#include <ifcpp/IFC4/include/IfcElement.h>
#include <ifcpp/IFC4/include/IfcLengthMeasure.h>
#include <ifcpp/IFC4/include/IfcProduct.h>
#include <ifcpp/IFC4/include/IfcRepresentation.h>
#include <ifcpp/IFC4/include/IfcSpatialElement.h>

#include <algorithm>
#include <cmath>
#include <unordered_set>

namespace {

constexpr uint32_t kNone = UINT32_MAX;
// Containment and decomposition can nest; a file that nests deeper is not followed.
constexpr int kMaxDepth = 32;

// Each relation's first object with what it relates it to, sorted by the object.
void SortByObject(std::vector<std::pair<uint32_t, uint32_t>>& pairs) {
    std::stable_sort(pairs.begin(), pairs.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
}

uint32_t FirstOf(const std::vector<std::pair<uint32_t, uint32_t>>& pairs, uint32_t object) {
    auto at = std::lower_bound(pairs.begin(), pairs.end(), object, [](const auto& p, uint32_t o) { return p.first < o; });
    for (; at != pairs.end() && at->first == object; ++at)
        if (at->second != kNone) return at->second;
    return kNone;
}

} // namespace

RecordProducts::RecordProducts(std::string_view text, const StepScan& scan, const RecordTypes& types)
    : text_(text), scan_(scan), types_(types), header_(std::make_shared<BuildingModel>()) {
    const size_t data = text.find("DATA;");
    reader_.readHeader(std::string(text.substr(0, data == std::string_view::npos ? text.size() : data)), header_);

    const size_t count = scan.ids.size();
    // The entity of each name as written, found when the file first writes it: by its number,
    // or for a name without one by the name.
    byNumber_.assign(RecordTypes::kUnnumbered, nullptr);
    std::vector<bool> known(RecordTypes::kUnnumbered, false);
    std::unordered_map<std::string_view, BuildingEntity*> byWritten;
    std::string name;
    auto sampleAt = [&](uint32_t position) {
        const size_t open = LibraryRecordName(text, scan.Offset(position), scan.End(position), name);
        BuildingEntity* sample = open == std::string_view::npos ? nullptr : Sample(name);
        if (open != std::string_view::npos && !sample) said_.Add("unknown IFC entity: " + name);
        return sample;
    };
    for (uint32_t position = 0; position < count; ++position) {
        for (int ref : scan.References(position))
            if (!scan.Defined(ref)) whole_ = false;
        // A complex instance, which the library does not read.
        if (types.ComplexAt(position)) continue;
        const uint16_t number = types.NumberAt(position);
        if (number != RecordTypes::kUnnumbered) {
            if (!known[number]) {
                byNumber_[number] = sampleAt(position);
                known[number] = true;
            }
            continue;
        }
        const std::string_view written = types.WrittenAt(position);
        auto found = byWritten.find(written);
        if (found == byWritten.end()) found = byWritten.emplace(written, sampleAt(position)).first;
        unnumbered_.emplace(position, found->second);
    }
    // What relates an element to its spatial structure, and a part to its whole.
    for (uint32_t position : types.FindInNumberOrder({"IFCRELCONTAINEDINSPATIALSTRUCTURE", "IFCRELAGGREGATES"})) {
        const bool containment = types.Is(position, "IFCRELCONTAINEDINSPATIALSTRUCTURE");
        const std::vector<std::string_view> a = Attributes(position);
        if (a.size() < 6) {
            whole_ = false;
            continue;
        }
        // The list of objects and the one they are related to, in either order.
        const std::string_view objects = containment ? a[4] : a[5], relating = containment ? a[5] : a[4];
        uint32_t to = kNone;
        if (const int64_t at = StepReference(relating) >= 0 ? scan.Position(StepReference(relating)) : -1; at >= 0) {
            const BuildingEntity* sample = MadeAt(static_cast<uint32_t>(at));
            const bool fits = containment ? dynamic_cast<const IfcSpatialElement*>(sample) != nullptr
                                          : dynamic_cast<const IfcObjectDefinition*>(sample) != nullptr;
            if (fits) to = static_cast<uint32_t>(at);
        }
        for (int id : StepReferences(objects))
            if (const int64_t at = scan.Position(id); at >= 0) (containment ? containedIn_ : partOf_).push_back({static_cast<uint32_t>(at), to});
    }
    SortByObject(containedIn_);
    SortByObject(partOf_);
}

const BuildingEntity* RecordProducts::MadeAt(uint32_t position) const {
    if (types_.ComplexAt(position)) return nullptr;
    const uint16_t number = types_.NumberAt(position);
    if (number != RecordTypes::kUnnumbered) return byNumber_[number];
    const auto found = unnumbered_.find(position);
    return found == unnumbered_.end() ? nullptr : found->second;
}

std::string RecordProducts::Type(uint32_t position) const { return types_.UpperAt(position); }

std::vector<std::string_view> RecordProducts::Attributes(uint32_t position) const { return RecordAttributesAt(text_, scan_, position); }

BuildingEntity* RecordProducts::Sample(const std::string& type) {
    auto found = samples_.find(type);
    if (found == samples_.end()) found = samples_.emplace(type, shared_ptr<BuildingEntity>(EntityFactory::createEntityObject(type))).first;
    return found->second.get();
}

std::optional<shared_ptr<BuildingEntity>> RecordProducts::EntityAt(uint32_t position) {
    std::string name;
    const size_t open = LibraryRecordName(text_, scan_.Offset(position), scan_.End(position), name);
    if (open == std::string_view::npos || !MadeAt(position)) return shared_ptr<BuildingEntity>();
    shared_ptr<BuildingEntity> entity(EntityFactory::createEntityObject(name));
    if (!entity) return shared_ptr<BuildingEntity>();
    entity->m_entity_id = scan_.ids[position];
    // What it refers to, as bare entities of their types: a reference reads as it would in the
    // whole model, to an entity of the right type or to none.
    std::map<int, shared_ptr<BuildingEntity>> referred;
    for (int ref : scan_.References(position)) {
        const int64_t at = scan_.Position(ref);
        if (at < 0 || referred.count(ref)) continue;
        std::string type;
        if (LibraryRecordName(text_, scan_.Offset(static_cast<uint32_t>(at)), scan_.End(static_cast<uint32_t>(at)), type) ==
            std::string_view::npos)
            continue;
        shared_ptr<BuildingEntity> bare(EntityFactory::createEntityObject(type));
        if (!bare) continue;
        bare->m_entity_id = ref;
        referred.emplace(ref, std::move(bare));
    }
    std::vector<std::pair<std::string, shared_ptr<BuildingEntity>>> batch(1);
    LibraryAttributeText(text_, open, scan_.End(position) - 1, batch[0].first);
    batch[0].second = entity;
    LibraryMessages said;
    said.Listen(reader_);
    reader_.readEntityArguments(header_->getIfcSchemaVersion(), batch, referred);
    reader_.unsetMessageCallBack(); // `said` lives no longer than this reading
    if (said.Count() != 0) return std::nullopt;
    return entity;
}

std::optional<shared_ptr<IfcProduct>> RecordProducts::ProductAt(uint32_t position) {
    if (!dynamic_cast<const IfcProduct*>(MadeAt(position))) return shared_ptr<IfcProduct>();
    std::optional<shared_ptr<BuildingEntity>> entity = EntityAt(position);
    if (!entity) return std::nullopt;
    return dynamic_pointer_cast<IfcProduct>(*entity);
}

std::optional<std::vector<int>> RecordProducts::BodiesOf(uint32_t position) const {
    const int shape = scan_.ProductReferences(position)[1];
    if (shape < 0) return std::vector<int>();
    const int64_t at = scan_.Position(shape);
    if (at < 0 || Type(static_cast<uint32_t>(at)) != "IFCPRODUCTDEFINITIONSHAPE") return std::nullopt;
    const std::vector<std::string_view> a = Attributes(static_cast<uint32_t>(at));
    if (a.size() < 3 || a[2].empty() || a[2].front() != '(') return std::nullopt;
    // Every representation one, its identifier in the plain letters the records' choice reads.
    for (int id : StepReferences(a[2])) {
        const int64_t r = scan_.Position(id);
        if (r < 0 || !dynamic_cast<const IfcRepresentation*>(MadeAt(static_cast<uint32_t>(r)))) return std::nullopt;
        const std::vector<std::string_view> representation = Attributes(static_cast<uint32_t>(r));
        if (representation.size() < 2) return std::nullopt;
        const std::string_view written = representation[1];
        if (written == "$") continue;
        if (written.size() < 2 || written.front() != '\'' || written.back() != '\'') return std::nullopt;
        for (char c : written.substr(1, written.size() - 2))
            if (c == '\\' || c == '\'' || static_cast<unsigned char>(c) >= 0x80) return std::nullopt;
    }
    return BodyRepresentationsOf(text_, scan_, shape);
}

std::optional<std::string> RecordProducts::StoreyOf(uint32_t position) {
    std::unordered_set<uint32_t> visited;
    uint32_t at = position;
    for (int depth = 0; at != kNone && depth < kMaxDepth && visited.insert(at).second; ++depth) {
        if (at != position && dynamic_cast<const IfcBuildingStorey*>(MadeAt(at))) {
            // A storey holds many products: its name is read once.
            if (auto known = storeyNames_.find(at); known != storeyNames_.end()) return known->second;
            std::optional<shared_ptr<BuildingEntity>> storey = EntityAt(at);
            std::optional<std::string> name;
            if (storey && *storey) name = ::StoreyName(dynamic_cast<const IfcBuildingStorey&>(**storey));
            storeyNames_.emplace(at, name);
            return name;
        }
        uint32_t next = kNone;
        if (dynamic_cast<const IfcElement*>(MadeAt(at))) next = FirstOf(containedIn_, at);
        if (next == kNone) next = FirstOf(partOf_, at);
        at = next;
    }
    return std::string();
}

std::optional<std::vector<std::string>> RecordProducts::Storeys() {
    std::vector<StoreyLevel> storeys;
    for (uint32_t position = 0; position < scan_.ids.size(); ++position) {
        if (!MadeAt(position)) continue;
        const BuildingEntity& made = *MadeAt(position);
        if (typeid(made) != typeid(IfcBuildingStorey)) continue;
        std::optional<shared_ptr<BuildingEntity>> entity = EntityAt(position);
        if (!entity || !*entity) return std::nullopt;
        const auto& storey = dynamic_cast<const IfcBuildingStorey&>(**entity);
        StoreyLevel s{::StoreyName(storey), std::nullopt};
        if (s.name.empty()) continue;
        if (storey.m_Elevation && std::isfinite(storey.m_Elevation->m_value)) s.elevation = storey.m_Elevation->m_value;
        storeys.push_back(std::move(s));
    }
    return StoreysFromTheLowest(std::move(storeys));
}
