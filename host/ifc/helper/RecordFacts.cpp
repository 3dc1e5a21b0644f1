#include "host/ifc/helper/RecordFacts.h"

#include "host/ifc/helper/RecordText.h"
#include "host/ifc/step/StepDataReader.h"
#include "host/ifc/step/StepValues.h"

#include <ifcpp/IFC4/EntityFactory.h>
#include <ifcpp/IFC4/include/IfcTypeObject.h>

#include <algorithm>
#include <cctype>
#include <memory>

namespace {

constexpr uint32_t kNone = UINT32_MAX;       // no such record: the library's null
constexpr uint32_t kUnread = UINT32_MAX - 1; // not in a form read here
// A classification's references may refer to references; a file that loops is not followed far.
constexpr int kMaxDepth = 16;

std::string Joined(const std::string& a, const std::string& b, const char* between) {
    if (a.empty()) return b;
    if (b.empty()) return a;
    return a + between + b;
}

bool IsReference(std::string_view attribute) { return StepReference(attribute) >= 0; }

} // namespace

RecordFacts::RecordFacts(std::string_view text, const StepScan& scan, const RecordTypes& types) : text_(text), scan_(scan), types_(types) {
    for (uint32_t position : types.FindInNumberOrder({"IFCRELDEFINESBYPROPERTIES", "IFCRELDEFINESBYTYPE", "IFCRELASSOCIATESMATERIAL",
                                                      "IFCRELASSOCIATESCLASSIFICATION"})) {
        const std::string_view type = types.WrittenAt(position);
        Relation relation = Relation::Classification;
        if (RecordTypeIs(type, "IFCRELDEFINESBYPROPERTIES")) relation = Relation::Properties;
        else if (RecordTypeIs(type, "IFCRELDEFINESBYTYPE")) relation = Relation::Type;
        else if (RecordTypeIs(type, "IFCRELASSOCIATESMATERIAL")) relation = Relation::Material;
        const std::vector<std::string_view> a = Attributes(position);
        if (a.size() < 6 || a[4].empty() || a[4].front() != '(') {
            whole_ = false;
            continue;
        }
        uint32_t relating = kNone;
        if (IsReference(a[5])) {
            if (auto place = Place(StepReference(a[5]))) relating = *place;
        } else if (a[5] != "$") {
            relating = kUnread;
        }
        const std::vector<int> objects = StepReferences(a[4]);
        for (int id : objects)
            if (auto object = Place(id)) related_.push_back({*object, relation, relating, objects.size() > 1});
    }
    std::stable_sort(related_.begin(), related_.end(), [](const Related& a, const Related& b) { return a.object < b.object; });
}

std::vector<std::string_view> RecordFacts::Attributes(uint32_t position) const { return RecordAttributesAt(text_, scan_, position); }

std::string RecordFacts::Type(uint32_t position) const { return types_.UpperAt(position); }

std::optional<uint32_t> RecordFacts::Place(int id) const {
    const int64_t position = scan_.Position(id);
    if (position < 0) return std::nullopt;
    return static_cast<uint32_t>(position);
}

bool RecordFacts::Relating(uint32_t object, Relation relation, std::vector<uint32_t>& out) const {
    out.clear();
    auto at = std::lower_bound(related_.begin(), related_.end(), object, [](const Related& r, uint32_t o) { return r.object < o; });
    for (; at != related_.end() && at->object == object; ++at) {
        if (at->relation != relation || at->relating == kNone) continue;
        if (at->relating == kUnread) return false;
        out.push_back(at->relating);
    }
    return true;
}

std::vector<std::pair<uint32_t, bool>> RecordFacts::PropertySetsOf(uint32_t object, bool& read) const {
    std::vector<std::pair<uint32_t, bool>> sets;
    auto at = std::lower_bound(related_.begin(), related_.end(), object, [](const Related& r, uint32_t o) { return r.object < o; });
    for (; at != related_.end() && at->object == object; ++at) {
        if (at->relation != Relation::Properties || at->relating == kNone) continue;
        if (at->relating == kUnread) read = false;
        sets.emplace_back(at->relating, at->shared);
    }
    return sets;
}

// The first typing relation's type, when the library takes it for a type object; kNone when none.
std::optional<uint32_t> RecordFacts::TypeObjectOf(uint32_t object) {
    std::vector<uint32_t> types;
    if (!Relating(object, Relation::Type, types)) return std::nullopt;
    for (uint32_t relating : types) {
        const std::string type = Type(relating);
        auto found = typeObjects_.find(type);
        if (found == typeObjects_.end()) {
            // The library's own class tree says, from an entity of the name made for the asking.
            std::unique_ptr<BuildingEntity> sample(EntityFactory::createEntityObject(type));
            found = typeObjects_.emplace(type, dynamic_cast<IfcTypeObject*>(sample.get()) != nullptr).first;
        }
        if (found->second) return relating;
        return std::nullopt; // a typing by what the library reads as no type: left to it
    }
    return kNone;
}

bool RecordFacts::ReadSet(uint32_t definition, Values& out) const {
    const std::string type = Type(definition);
    const bool properties = type == "IFCPROPERTYSET";
    if (!properties && type != "IFCELEMENTQUANTITY") return true; // no single values of its own
    const std::vector<std::string_view> a = Attributes(definition);
    const size_t list = properties ? 4 : 5;
    if (a.size() <= list || a[list].empty() || a[list].front() != '(') return false;
    const std::optional<std::string> setName = RecordString(a[2]);
    if (!setName) return false;
    for (int id : StepReferences(a[list])) {
        const auto member = Place(id);
        if (!member) return false;
        const std::string memberType = Type(*member);
        const std::vector<std::string_view> m = Attributes(*member);
        std::optional<std::optional<std::string>> value;
        if (properties) {
            if (memberType != "IFCPROPERTYSINGLEVALUE") continue;
            if (m.size() < 3) return false;
            value = RecordValueText(m[2]);
        } else {
            static constexpr std::pair<std::string_view, RecordMeasure> kQuantities[] = {
                {"IFCQUANTITYLENGTH", RecordMeasure::Length}, {"IFCQUANTITYAREA", RecordMeasure::Area},
                {"IFCQUANTITYVOLUME", RecordMeasure::Volume}, {"IFCQUANTITYCOUNT", RecordMeasure::Count},
                {"IFCQUANTITYWEIGHT", RecordMeasure::Weight}, {"IFCQUANTITYTIME", RecordMeasure::Time}};
            const auto* quantity = std::find_if(std::begin(kQuantities), std::end(kQuantities),
                                                [&](const auto& q) { return q.first == memberType; });
            if (quantity == std::end(kQuantities)) continue;
            if (m.size() < 4) return false;
            value = RecordMeasureText(quantity->second, m[3]);
        }
        if (!value) return false;
        const std::optional<std::string> name = RecordString(m[0]);
        if (!name) return false;
        if (setName->empty() || name->empty() || !*value) continue;
        std::string key;
        key.reserve(setName->size() + 1 + name->size());
        key.append(*setName).append(1, '.').append(*name);
        out.emplace_back(std::move(key), std::move(**value));
    }
    return true;
}

bool RecordFacts::ReadValues(uint32_t object, Values& out) {
    // The sets in the order their values count, each with whether other objects share it.
    bool read = true;
    std::vector<std::pair<uint32_t, bool>> sets = PropertySetsOf(object, read);
    if (!read) return false;
    // The type's sets after the occurrence's: of one key the first value gathered stays.
    const std::optional<uint32_t> type = TypeObjectOf(object);
    if (!type) return false;
    if (*type != kNone) {
        const std::vector<std::string_view> a = Attributes(*type);
        if (a.size() < 6) return false;
        if (a[5] != "$") {
            if (a[5].empty() || a[5].front() != '(') return false;
            for (int id : StepReferences(a[5])) {
                const auto place = Place(id);
                if (!place) return false;
                sets.emplace_back(*place, true);
            }
        }
    }
    Values gathered;
    for (const auto& [definition, shared] : sets) {
        if (!shared) {
            if (!ReadSet(definition, gathered)) return false;
            continue;
        }
        auto found = sharedSets_.find(definition);
        if (found == sharedSets_.end()) {
            Values values;
            if (!ReadSet(definition, values)) return false;
            found = sharedSets_.emplace(definition, std::move(values)).first;
        }
        gathered.insert(gathered.end(), found->second.begin(), found->second.end());
    }
    std::stable_sort(gathered.begin(), gathered.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    out.clear();
    for (auto& value : gathered)
        if (out.empty() || out.back().first != value.first) out.push_back(std::move(value));
    return true;
}

// The materials `select` gives, by place, as the library's reading of a material select does.
bool RecordFacts::Materials(uint32_t select, std::vector<uint32_t>& out, int depth) const {
    if (depth > 2) return false;
    const std::string type = Type(select);
    auto add = [&](uint32_t material) {
        if (std::find(out.begin(), out.end(), material) == out.end()) out.push_back(material);
    };
    // The material `attribute` names, which must be one when it is given.
    auto material = [&](std::string_view attribute) {
        if (attribute == "$") return true;
        const auto place = IsReference(attribute) ? Place(StepReference(attribute)) : std::nullopt;
        if (!place || Type(*place) != "IFCMATERIAL") return false;
        add(*place);
        return true;
    };
    // Each of a list's members, of one of `types`, gives its material at `index`.
    auto members = [&](std::string_view list, std::initializer_list<std::string_view> types, size_t index) {
        if (list.empty() || list.front() != '(') return false;
        for (int id : StepReferences(list)) {
            const auto place = Place(id);
            if (!place) return false;
            const std::string memberType = Type(*place);
            if (std::find(types.begin(), types.end(), memberType) == types.end()) return false;
            const std::vector<std::string_view> m = Attributes(*place);
            if (m.size() <= index || !material(m[index])) return false;
        }
        return true;
    };
    // The set `attribute` names for a usage, of type `set`.
    auto usage = [&](std::string_view attribute, std::string_view set) {
        const auto place = IsReference(attribute) ? Place(StepReference(attribute)) : std::nullopt;
        return place && Type(*place) == set && Materials(*place, out, depth + 1);
    };
    const std::vector<std::string_view> a = Attributes(select);
    if (type == "IFCMATERIAL") {
        add(select);
        return true;
    }
    if (type == "IFCMATERIALLAYERSETUSAGE") return !a.empty() && usage(a[0], "IFCMATERIALLAYERSET");
    if (type == "IFCMATERIALLAYERSET") return !a.empty() && members(a[0], {"IFCMATERIALLAYER", "IFCMATERIALLAYERWITHOFFSETS"}, 0);
    if (type == "IFCMATERIALLAYER" || type == "IFCMATERIALLAYERWITHOFFSETS") return !a.empty() && material(a[0]);
    if (type == "IFCMATERIALPROFILESETUSAGE" || type == "IFCMATERIALPROFILESETUSAGETAPERING")
        return !a.empty() && usage(a[0], "IFCMATERIALPROFILESET");
    if (type == "IFCMATERIALPROFILESET")
        return a.size() > 2 && members(a[2], {"IFCMATERIALPROFILE", "IFCMATERIALPROFILEWITHOFFSETS"}, 2);
    if (type == "IFCMATERIALPROFILE" || type == "IFCMATERIALPROFILEWITHOFFSETS") return a.size() > 2 && material(a[2]);
    if (type == "IFCMATERIALCONSTITUENTSET") return a.size() > 2 && (a[2] == "$" || members(a[2], {"IFCMATERIALCONSTITUENT"}, 2));
    if (type == "IFCMATERIALCONSTITUENT") return a.size() > 2 && material(a[2]);
    if (type == "IFCMATERIALLIST") {
        if (a.empty() || a[0].empty() || a[0].front() != '(') return false;
        for (int id : StepReferences(a[0]))
            if (!material("#" + std::to_string(id))) return false;
        return true;
    }
    return false;
}

std::optional<std::vector<uint32_t>> RecordFacts::MaterialsOf(uint32_t object, uint32_t type) const {
    // The object's own, else its type's.
    std::vector<uint32_t> materials;
    for (uint32_t of : {object, type}) {
        if (of == kNone || !materials.empty()) continue;
        std::vector<uint32_t> selects;
        if (!Relating(of, Relation::Material, selects)) return std::nullopt;
        for (uint32_t select : selects)
            if (!Materials(select, materials, 0)) return std::nullopt;
    }
    return materials;
}

std::optional<std::vector<uint32_t>> RecordFacts::MaterialsOf(uint32_t position) {
    if (!whole_) return std::nullopt;
    const std::optional<uint32_t> type = TypeObjectOf(position);
    if (!type) return std::nullopt;
    return MaterialsOf(position, *type);
}

bool RecordFacts::MaterialNames(const std::vector<uint32_t>& materials, std::vector<std::string>& out) const {
    for (uint32_t material : materials) {
        const std::vector<std::string_view> a = Attributes(material);
        std::optional<std::string> name = a.empty() ? std::nullopt : RecordString(a[0]);
        if (!name) return false;
        if (!name->empty() && std::find(out.begin(), out.end(), *name) == out.end()) out.push_back(std::move(*name));
    }
    return true;
}

bool RecordFacts::Classifications(uint32_t object, std::vector<std::string>& out) const {
    std::vector<uint32_t> selects;
    if (!Relating(object, Relation::Classification, selects)) return false;
    for (uint32_t select : selects) {
        std::optional<std::string> text = ClassificationText(select);
        if (!text) return false;
        if (!text->empty() && std::find(out.begin(), out.end(), *text) == out.end()) out.push_back(std::move(*text));
    }
    return true;
}

std::optional<std::string> RecordFacts::ClassificationText(uint32_t select) const {
    const std::string type = Type(select);
    const std::vector<std::string_view> a = Attributes(select);
    if (type == "IFCCLASSIFICATION") return a.size() > 3 ? RecordString(a[3]) : std::nullopt;
    if (type != "IFCCLASSIFICATIONREFERENCE") return std::nullopt;
    if (a.size() < 4) return std::nullopt;
    const std::optional<std::string> identification = RecordString(a[1]), name = RecordString(a[2]);
    std::optional<std::string> system = std::string();
    if (a[3] != "$") {
        const auto source = IsReference(a[3]) ? Place(StepReference(a[3])) : std::nullopt;
        system = source ? SystemOf(*source, 0) : std::nullopt;
    }
    if (!identification || !name || !system) return std::nullopt;
    return Joined(*system, Joined(*identification, *name, " "), ": ");
}

std::optional<std::string> RecordFacts::SystemOf(uint32_t source, int depth) const {
    if (depth > kMaxDepth) return std::string();
    const std::string type = Type(source);
    const std::vector<std::string_view> a = Attributes(source);
    if (type == "IFCCLASSIFICATION") return a.size() > 3 ? RecordString(a[3]) : std::nullopt;
    if (type != "IFCCLASSIFICATIONREFERENCE" || a.size() < 4) return std::nullopt;
    if (a[3] == "$") return std::string();
    const auto parent = IsReference(a[3]) ? Place(StepReference(a[3])) : std::nullopt;
    return parent ? SystemOf(*parent, depth + 1) : std::nullopt;
}

std::optional<RecordProductFacts> RecordFacts::Of(uint32_t position) {
    if (!whole_) return std::nullopt;
    RecordProductFacts facts;
    const std::vector<std::string_view> a = Attributes(position);
    if (a.size() < 5) return std::nullopt;
    std::optional<std::string> description = RecordString(a[3]), objectType = RecordString(a[4]);
    if (!description || !objectType) return std::nullopt;
    facts.description = std::move(*description);
    facts.objectType = std::move(*objectType);
    const std::optional<uint32_t> type = TypeObjectOf(position);
    if (!type) return std::nullopt;
    const std::optional<std::vector<uint32_t>> materials = MaterialsOf(position, *type);
    if (!materials || !MaterialNames(*materials, facts.materials) || !Classifications(position, facts.classifications))
        return std::nullopt;
    if (*type != kNone && !Classifications(*type, facts.classifications)) return std::nullopt;
    if (!ReadValues(position, facts.properties)) return std::nullopt;
    return facts;
}
