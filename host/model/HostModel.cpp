#include "host/model/HostModel.h"

#include <algorithm>
#include <atomic>

HostModel::HostModel() { MarkSaved(); }

namespace {

// A stable identifier from the element's kind and index, so the same model file without
// identifiers always gets the same ones.
API_Guid DeriveGuid(int32_t kind, int32_t index, uint32_t salt) {
    uint64_t h = 1469598103934665603ULL;
    auto mix = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            h ^= (v >> (8 * i)) & 0xFF;
            h *= 1099511628211ULL;
        }
    };
    mix(static_cast<uint32_t>(kind));
    mix(static_cast<uint32_t>(index));
    mix(salt);
    API_Guid g;
    uint64_t h2 = h * 0x9E3779B97F4A7C15ULL + salt;
    for (int i = 0; i < 8; ++i) {
        g.bytes[static_cast<size_t>(i)] = static_cast<uint8_t>(h >> (8 * i));
        g.bytes[static_cast<size_t>(8 + i)] = static_cast<uint8_t>(h2 >> (8 * i));
    }
    g.bytes[6] = static_cast<uint8_t>((g.bytes[6] & 0x0F) | 0x40);
    return g;
}

// The change stamps of element records come from one counter for the whole program, so a stamp
// names one state of one element: undo and redo bring back a state with its stamp, every new
// change gets a stamp never handed out before, even in a model opened later.
std::atomic<uint32_t> gChangeStamps{0};

// Shapes are numbered the same way, so that what was built from one shape is never taken for
// another's, in this model or the next.
std::atomic<uint64_t> gShapeRevisions{0};
uint64_t NewShapeRevision() { return ++gShapeRevisions; }

const std::vector<Element*> kNoElements;

} // namespace

void HostModel::Reserve(size_t elements) {
    elements_.reserve(elements);
    byGuid_.reserve(elements);
    byIndex_.reserve(elements);
}

void HostModel::IndexElement(Element* e) {
    int32_t kind = e->Kind(), index = e->Index();
    byIndex_.emplace(IndexKey(kind, index), e); // the first one keeps the place
    KindList& list = kinds_[kind];
    if (list.elements.empty() || list.elements.back()->Index() <= index) {
        list.elements.push_back(e);
    } else {
        auto at = std::upper_bound(list.elements.begin(), list.elements.end(), index,
                                   [](int32_t i, const Element* x) { return i < x->Index(); });
        list.elements.insert(at, e);
    }
    list.highest = std::max(list.highest, index);
}

void HostModel::UnindexElement(Element* e, int32_t kind, int32_t index) {
    auto found = byIndex_.find(IndexKey(kind, index));
    auto it = kinds_.find(kind);
    if (it == kinds_.end()) return;
    auto& v = it->second.elements;
    v.erase(std::remove(v.begin(), v.end(), e), v.end());
    if (found != byIndex_.end() && found->second == e) {
        byIndex_.erase(found);
        // Another element of that index, the first added, takes the place.
        for (auto& other : elements_)
            if (other.get() != e && other->Kind() == kind && other->Index() == index) {
                byIndex_.emplace(IndexKey(kind, index), other.get());
                break;
            }
    }
    int32_t highest = 0;
    for (const Element* x : v) highest = std::max(highest, x->Index());
    it->second.highest = highest;
}

void HostModel::Reindex(Element* e, int32_t oldKind, int32_t oldIndex) {
    if (e->Kind() == oldKind && e->Index() == oldIndex) return;
    UnindexElement(e, oldKind, oldIndex);
    IndexElement(e);
}

Element& HostModel::AddElement(Element element) {
    int32_t kind = element.Kind();
    if (element.Index() <= 0) element.SetIndex(HighestIndex(kind) + 1);
    API_Guid g = element.Guid();
    uint32_t salt = 0;
    while (g.IsNull() || byGuid_.count(g)) g = DeriveGuid(kind, element.Index(), salt++ + guidCounter_);
    element.SetGuid(g);
    NoteWholeChange(g, nullptr);
    element.shapeRevision = NewShapeRevision();
    elements_.push_back(std::make_unique<Element>(std::move(element)));
    Element* e = elements_.back().get();
    byGuid_[g] = e;
    IndexElement(e);
    ++guidCounter_;
    return *e;
}

size_t HostModel::RemoveElements(const std::unordered_set<API_Guid, API_GuidHash>& guids) {
    size_t before = elements_.size();
    for (const API_Guid& g : guids)
        if (const Element* e = Find(g)) NoteWholeChange(g, e);
    DropElements(guids);
    return before - elements_.size();
}

bool HostModel::ChangeGuid(Element& element, const API_Guid& guid) {
    const API_Guid old = element.Guid();
    if (guid == old) return true;
    if (guid.IsNull() || byGuid_.count(guid)) return false;
    // To undo, the element under its old identifier comes back and the new one goes.
    NoteWholeChange(old, &element);
    NoteWholeChange(guid, nullptr);
    byGuid_.erase(old);
    element.SetGuid(guid);
    byGuid_[guid] = &element;
    std::replace(selection_.begin(), selection_.end(), old, guid);
    return true;
}

void HostModel::DropElements(const std::unordered_set<API_Guid, API_GuidHash>& guids) {
    for (const API_Guid& g : guids) byGuid_.erase(g);
    std::erase_if(elements_, [&](const std::unique_ptr<Element>& e) { return guids.count(e->Guid()) != 0; });
    std::erase_if(selection_, [&](const API_Guid& g) { return guids.count(g) != 0; });
    // Indexed again from scratch: removing one by one would rescan the model for each.
    byIndex_.clear();
    walk_ = {};
    kinds_.clear();
    for (auto& e : elements_) IndexElement(e.get());
}

void HostModel::StartWalk(int32_t kind) {
    auto it = kinds_.find(kind);
    walk_ = {it == kinds_.end() ? nullptr : &it->second, 0};
}

void HostModel::NoteVisit(const Element* e) {
    if (!walk_.list) return;
    const std::vector<Element*>& list = walk_.list->elements;
    if (walk_.next >= list.size() || list[walk_.next] != e) return;
    ++walk_.next;
    // Each element's memory is three hops deep (the element, then its record and user data,
    // then the user data's bytes), so each hop is asked for a few visits before the next one
    // needs it.
    constexpr size_t kObject = 12, kParts = 8, kContents = 4;
    const size_t at = walk_.next;
    if (at + kObject < list.size()) {
        const Element* x = list[at + kObject];
        __builtin_prefetch(x);
        __builtin_prefetch(&x->userData);
    }
    if (at + kParts < list.size()) {
        const Element* x = list[at + kParts];
        __builtin_prefetch(x->record.data());
        __builtin_prefetch(x->record.data() + 64);
        if (!x->userData.empty()) __builtin_prefetch(&*x->userData.begin());
    }
    if (at + kContents < list.size()) {
        const Element* x = list[at + kContents];
        if (!x->userData.empty()) __builtin_prefetch(x->userData.begin()->second.bytes.data());
    }
}

Element* HostModel::FindOnWalk(const API_Guid& guid) {
    if (walk_.list && !guid.IsNull()) {
        // Identifiers are unique in the model and the kind lists hold exactly its elements, so
        // a list entry with the identifier is the element the map would give.
        const std::vector<Element*>& list = walk_.list->elements;
        if (walk_.next < list.size() && list[walk_.next]->Guid() == guid) {
            Element* e = list[walk_.next];
            NoteVisit(e);
            return e;
        }
        if (walk_.next > 0 && walk_.next <= list.size() && list[walk_.next - 1]->Guid() == guid)
            return list[walk_.next - 1];
    }
    Element* e = Find(guid);
    if (e) NoteVisit(e);
    return e;
}

Element* HostModel::Find(const API_Guid& guid) {
    Element* const* e = byGuid_.find(guid);
    return e ? *e : nullptr;
}

const Element* HostModel::Find(const API_Guid& guid) const {
    Element* const* e = byGuid_.find(guid);
    return e ? *e : nullptr;
}

Element* HostModel::FindByIndex(int32_t kind, int32_t index) {
    auto it = byIndex_.find(IndexKey(kind, index));
    return it == byIndex_.end() ? nullptr : it->second;
}

Element* HostModel::FindByIdText(const std::string& cp1250Id) {
    for (auto& e : elements_)
        if (e->IdText() == cp1250Id) return e.get();
    return nullptr;
}

const std::vector<Element*>& HostModel::OfKind(int32_t kind) const {
    auto it = kinds_.find(kind);
    return it == kinds_.end() ? kNoElements : it->second.elements;
}

int32_t HostModel::HighestIndex(int32_t kind) const {
    auto it = kinds_.find(kind);
    return it == kinds_.end() ? 0 : it->second.highest;
}

std::optional<ElementState> HostModel::StateOf(const API_Guid& guid) const {
    const Element* e = Find(guid);
    if (!e) return std::nullopt;
    return ElementState{e->record, e->userData, e->look};
}

void HostModel::ChangeElement(Element& element, const std::vector<uint8_t>& newRecord) {
    NoteChange(element);
    int32_t kind = element.Kind(), index = element.Index();
    element.record = newRecord;
    LE::Put<uint32_t>(element.Bytes(), HostElement::kModiStamp, ++gChangeStamps);
    Reindex(&element, kind, index);
}

void HostModel::NoteChange(const Element& element) {
    // The state before is copied only when an open step does not hold it yet.
    if (undo_.IsOpen() && !undo_.Holds(element.Guid())) {
        undo_.NoteChange(element.Guid(), ElementState{element.record, element.userData, element.look});
    } else if (!undo_.IsOpen()) {
        untracked_ = true;
        undo_.NoteChange(element.Guid(), ElementState{});
    }
}

void HostModel::NoteWholeChange(const API_Guid& guid, const Element* now) {
    if (!undo_.IsOpen()) {
        untracked_ = true;
        undo_.NoteChange(guid, ElementState{}); // ends the redo history
        return;
    }
    undo_.NoteWhole(guid, now ? std::make_shared<const Element>(*now) : nullptr);
}

void HostModel::SetGeometry(Element& element, Geometry geometry) {
    NoteWholeChange(element.Guid(), &element);
    element.geometry = std::move(geometry);
    element.shapeRevision = NewShapeRevision();
}

void HostModel::SetFacts(Element& element, std::vector<ElementFact> facts) {
    if (element.facts == facts) return;
    NoteWholeChange(element.Guid(), &element);
    element.facts = std::move(facts);
}

std::vector<std::pair<std::string_view, std::string_view>> HostModel::FactsOf(const Element& element) const {
    std::vector<std::pair<std::string_view, std::string_view>> out;
    out.reserve(element.facts.size());
    for (const ElementFact& f : element.facts) out.emplace_back(facts_.Text(f.key), facts_.Text(f.value));
    return out;
}

std::string_view HostModel::ModelOf(const Element& element) const {
    for (const ElementFact& f : element.facts)
        if (facts_.Text(f.key) == "model") return facts_.Text(f.value);
    return {};
}

std::optional<std::string> HostModel::CloseUndoStep() {
    return undo_.Close([this](const API_Guid& g) { return StateOf(g); },
                       [this](const API_Guid& g) -> UndoHistory::Whole {
                           const Element* e = Find(g);
                           return e ? std::make_shared<const Element>(*e) : nullptr;
                       });
}

void HostModel::SetUserData(Element& element, const std::string& addon, std::optional<UserDataBlock> block) {
    NoteChange(element);
    if (block) element.userData[addon] = std::move(*block);
    else element.userData.erase(addon);
}

void HostModel::SetLook(Element& element, std::optional<LookOverride> look) {
    if (element.look == look) return;
    NoteChange(element);
    element.look = look;
}

void HostModel::SetSecondViewOpen(bool open) {
    secondViewOpen_ = open;
    if (!open)
        for (auto& e : elements_) e->second.reset();
}

const UserDataBlock* HostModel::ProjectData(const std::string& addon) const {
    auto it = projectData_.find(addon);
    return it == projectData_.end() ? nullptr : &it->second;
}

void HostModel::SetProjectData(const std::string& addon, std::optional<UserDataBlock> block) {
    auto it = projectData_.find(addon);
    if (block) {
        if (it != projectData_.end() && it->second == *block) return;
        projectData_[addon] = std::move(*block);
    } else {
        if (it == projectData_.end()) return;
        projectData_.erase(it);
    }
    MarkModified();
}

void HostModel::Restore(const std::map<API_Guid, ElementState>& states) {
    for (const auto& [guid, state] : states) {
        Element* e = Find(guid);
        if (!e) continue;
        int32_t kind = e->Kind(), index = e->Index();
        e->record = state.record;
        e->userData = state.userData;
        e->look = state.look;
        Reindex(e, kind, index);
    }
}

void HostModel::RestoreWhole(const std::map<API_Guid, UndoHistory::Whole>& states) {
    std::unordered_set<API_Guid, API_GuidHash> gone;
    for (const auto& [guid, whole] : states)
        if (!whole && Find(guid)) gone.insert(guid);
    // Not through RemoveElements: the step being undone or redone keeps them already.
    if (!gone.empty()) DropElements(gone);
    for (const auto& [guid, whole] : states) {
        if (!whole) continue;
        if (Element* e = Find(guid)) {
            int32_t kind = e->Kind(), index = e->Index();
            *e = *whole;
            Reindex(e, kind, index);
        } else {
            elements_.push_back(std::make_unique<Element>(*whole));
            Element* added = elements_.back().get();
            byGuid_[guid] = added;
            IndexElement(added);
        }
    }
}

std::shared_ptr<const UndoHistory::Models> HostModel::ModelsNow() const {
    return std::make_shared<const UndoHistory::Models>(UndoHistory::Models{ifcModels, layersByStorey, workSchedules});
}

void HostModel::NoteModelsChange() {
    undo_.NoteModels(ModelsNow(), [this] { return ModelsNow(); });
}

void HostModel::RestoreModels(const std::shared_ptr<const UndoHistory::Models>& models) {
    if (!models) return;
    ifcModels = models->sources;
    layersByStorey = models->layersByStorey;
    workSchedules = models->workSchedules;
}

bool HostModel::ApplyUndo(std::string& name) {
    auto step = undo_.TakeUndo();
    if (!step) return false;
    RestoreWhole(step->wholeBefore);
    Restore(step->before);
    RestoreModels(step->modelsBefore);
    name = step->name;
    return true;
}

bool HostModel::ApplyRedo(std::string& name) {
    auto step = undo_.TakeRedo();
    if (!step) return false;
    RestoreWhole(step->wholeAfter);
    Restore(step->after);
    RestoreModels(step->modelsAfter);
    name = step->name;
    return true;
}

void HostModel::MarkSaved() {
    untracked_ = false;
    savedPosition_ = undo_.Position();
    savedAttributes_ = AttributesDigest();
}

uint64_t HostModel::AttributesDigest() const {
    // FNV-1a over every attribute's kind, bytes and extra bytes: a few hundred kilobytes at most.
    uint64_t h = 1469598103934665603ULL;
    auto mix = [&h](const uint8_t* p, size_t n) {
        for (size_t i = 0; i < n; ++i) {
            h ^= p[i];
            h *= 1099511628211ULL;
        }
    };
    for (const auto* table : {&attributes_, &attributeExtras_})
        for (const auto& [kind, list] : *table) {
            uint64_t head[2] = {static_cast<uint64_t>(static_cast<uint32_t>(kind)), list.size()};
            mix(reinterpret_cast<const uint8_t*>(head), sizeof head);
            for (const auto& bytes : list) {
                uint64_t size = bytes.size();
                mix(reinterpret_cast<const uint8_t*>(&size), sizeof size);
                mix(bytes.data(), bytes.size());
            }
        }
    return h;
}

int16_t HostModel::AttributeCount(int32_t kind) const {
    auto it = attributes_.find(kind);
    return it == attributes_.end() ? 0 : static_cast<int16_t>(it->second.size());
}

AttributeRecord* HostModel::Attribute(int32_t kind, int16_t index) {
    auto it = attributes_.find(kind);
    if (it == attributes_.end() || index < 1 || static_cast<size_t>(index) > it->second.size()) return nullptr;
    return &it->second[static_cast<size_t>(index) - 1];
}

int16_t HostModel::CreateAttribute(int32_t kind, AttributeRecord record, std::vector<uint8_t> extra) {
    auto& list = attributes_[kind];
    if (list.size() >= 32000) return 0;
    record.resize(HostAttribute::kRecordSize, 0);
    auto index = static_cast<int16_t>(list.size() + 1);
    LE::Put<int32_t>(record, HostAttribute::kKind, kind);
    LE::Put<int16_t>(record, HostAttribute::kIndex, index);
    record[HostAttribute::kName + HostAttribute::kNameSize - 1] = 0;
    list.push_back(std::move(record));
    auto& extras = attributeExtras_[kind];
    extras.resize(list.size());
    extras.back() = std::move(extra);
    return index;
}

int16_t HostModel::FindAttributeByName(int32_t kind, const std::string& cp1250Name) const {
    auto it = attributes_.find(kind);
    if (it == attributes_.end()) return 0;
    for (size_t i = 0; i < it->second.size(); ++i)
        if (LE::GetText(it->second[i], HostAttribute::kName, HostAttribute::kNameSize) == cp1250Name)
            return static_cast<int16_t>(i + 1);
    return 0;
}

std::string HostModel::AttributeName(int32_t kind, int16_t index) const {
    auto it = attributes_.find(kind);
    if (it == attributes_.end() || index < 1 || static_cast<size_t>(index) > it->second.size()) return {};
    return std::string(LE::GetText(it->second[static_cast<size_t>(index) - 1], HostAttribute::kName,
                                   HostAttribute::kNameSize));
}

const std::vector<uint8_t>* HostModel::AttributeExtra(int32_t kind, int16_t index) const {
    auto it = attributeExtras_.find(kind);
    if (it == attributeExtras_.end() || index < 1 || static_cast<size_t>(index) > it->second.size()) return nullptr;
    return &it->second[static_cast<size_t>(index) - 1];
}

void HostModel::SetAttributeExtra(int32_t kind, int16_t index, std::vector<uint8_t> extra) {
    auto& extras = attributeExtras_[kind];
    if (index < 1) return;
    if (extras.size() < static_cast<size_t>(index)) extras.resize(static_cast<size_t>(index));
    extras[static_cast<size_t>(index) - 1] = std::move(extra);
}

AttributeRecord MakeAttributeRecord(int32_t kind, const std::string& cp1250Name) {
    AttributeRecord r(HostAttribute::kRecordSize, 0);
    LE::Put<int32_t>(r, HostAttribute::kKind, kind);
    LE::PutText(r, HostAttribute::kName, HostAttribute::kNameSize, cp1250Name);
    return r;
}
