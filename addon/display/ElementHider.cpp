// The display passes: what each linked element shows at the current date.
#include "display/ElementHider.h"

#include "basekit/BKMemory.h"
#include "bytes/LittleEndian.h"
#include "dialogkit/DGCursor.h"
#include "display/ConstructionTypeDisplay.h"
#include "display/PassBracket.h"
#include "display/ProfileLook.h"
#include "display/ProfilesRecord.h"
#include "hostapi/HostAttributeRecord.h"
#include "hostapi/HostElementRecord.h"
#include "hostapi/HostSelectors.h"
#include "hostcalls/HostInterface.h"
#include "hostcalls/HostLists.h"
#include "hostcalls/HostScopes.h"
#include "hostcalls/PlanDatabase.h"
#include "resources/AddonAlerts.h"
#include "resources/AddonResources.h"
#include "schedule/tasks/ElementShownAt.h"
#include "schedule/tasks/Exceptions.h"
#include "schedule/tasks/TaskDB.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

namespace {

using Record = std::vector<uint8_t>;
using Header = std::array<uint8_t, HostElement::kHeaderSize>;


GSErr ReadElement(int32_t kind, const API_Guid& guid, Record& rec) {
    rec.assign(HostElement::kRecordSize, 0);
    LE::Put<int32_t>(rec, HostElement::kKind, kind);
    guid.ToBytes(rec.data() + HostElement::kGuid);
    return HostElementGet(rec.data());
}

// The element's 104-byte header (kind, index, identifier, layer, owner, lock, change stamp, ID
// text): all a pass needs to know before it decides to change the element.
GSErr ReadHeader(int32_t kind, const API_Guid& guid, Header& head) {
    head.fill(0);
    LE::Put<int32_t>(head, HostElement::kKind, kind);
    guid.ToBytes(head.data() + HostElement::kGuid);
    return HostElementGetHeader(head.data());
}

bool ReadLayer(int16_t index, Record& rec) {
    rec.assign(HostAttribute::kRecordSize, 0);
    LE::Put<int32_t>(rec, HostAttribute::kKind, HostAttribute::Layer);
    LE::Put<int16_t>(rec, HostAttribute::kIndex, index);
    return HostAttributeGet(rec.data()) == kHostNoError;
}

int16_t LayerCount() {
    int16_t count = 0;
    if (HostAttributeGetCount(HostAttribute::Layer, &count) != kHostNoError) return 0;
    return count;
}

// Unlocks a locked element on demand and locks it again when the scope ends, whatever happened in
// between. Unlocking is itself a change the host records, so it waits until something is written.
class Relock {
public:
    Relock(const ElementHider& hider, int32_t kind, API_Guid& guid, bool locked)
        : hider_(hider), kind_(kind), guid_(guid), locked_(locked) {}
    ~Relock() {
        if (armed_) hider_.LockElement(kind_, guid_);
    }
    void Unlock() {
        if (!locked_ || armed_) return;
        if (!hider_.UnlockElement(kind_, guid_)) throw EElementHider(__LINE__);
        armed_ = true;
    }

private:
    const ElementHider& hider_;
    int32_t kind_;
    API_Guid& guid_;
    bool locked_;
    bool armed_ = false;
};

// Whether the record agrees with what the cache says the element shows: a hidden element keeps
// its own layer, a painted one its own values, a present one neither.
bool RecordShows(const ElementLinkRecord& link, Appearance code) {
    bool hidden = link.SavedLayer() != 0;
    if (code == Appearance::Absent) return hidden;
    if (code == Appearance::UnderWork) return !hidden && TypeDisplay::IsOverridden(link);
    return !hidden && !TypeDisplay::IsOverridden(link);
}

} // namespace

std::vector<uint8_t> ElementHider::StoredLooks() const {
    return profiles_.IsDefault() ? std::vector<uint8_t>() : ProfilesBytes(profiles_);
}

bool ElementHider::TakeStoredLooks(std::span<const uint8_t> body, bool take) {
    ProfileSet read;
    if (!body.empty() && !ReadProfilesBytes(body, read)) return false;
    if (take) profiles_ = std::move(read);
    return true;
}

void ElementHider::LoadResources() {
    hiddenLayerName_ = AddonString(32603, 1);
    if (hiddenLayerName_.size() > 31) hiddenLayerName_.resize(31);
    LoadTypePens();
}

void ElementHider::LoadTypePens() {
    for (int i = 0; i < 5; ++i) {
        std::string text = AddonString(32610, static_cast<int16_t>(i + 1));
        char* end = nullptr;
        long value = text.empty() ? 0 : std::strtol(text.c_str(), &end, 10);
        bool ok = !text.empty() && end && *end == 0 && value >= -32768 && value <= 32767;
        typePens_[static_cast<size_t>(i)] = static_cast<int16_t>(ok ? value : 255 - i);
    }
}

void ElementHider::SetUpTypeMaterials() {
    std::string substituteName;
    int16_t substitute = 0;
    for (int16_t i = 1; i <= 255; ++i) {
        Record m(HostAttribute::kRecordSize, 0);
        LE::Put<int32_t>(m, HostAttribute::kKind, HostAttribute::Material);
        LE::Put<int16_t>(m, HostAttribute::kIndex, i);
        if (HostAttributeGet(m.data()) == kHostNoError) {
            substitute = i;
            substituteName = std::string(LE::GetText(m, HostAttribute::kName, HostAttribute::kNameSize));
            break;
        }
    }
    static const double kColours[5][3] = {{0, 0.9, 0}, {0.8, 0, 0}, {100.0, 100.0, 100.0}, {0, 0, 0.9}, {1.0, 1.0, 0.5}};
    for (int i = 0; i < 5; ++i) {
        std::string name = AddonString(32511, static_cast<int16_t>(i + 1));
        Record m(HostAttribute::kRecordSize, 0);
        LE::Put<int32_t>(m, HostAttribute::kKind, HostAttribute::Material);
        LE::PutText(m, HostAttribute::kName, HostAttribute::kNameSize, name);
        if (HostAttributeSearch(m.data()) == kHostNoError) {
            typeMaterials_[static_cast<size_t>(i)] = LE::Get<int16_t>(m, HostAttribute::kIndex);
            continue;
        }
        LE::Put<int32_t>(m, HostAttribute::kMatType, 0);
        LE::Put<int16_t>(m, HostAttribute::kMatAmbient, 75);
        LE::Put<int16_t>(m, HostAttribute::kMatDiffuse, 75);
        LE::Put<int16_t>(m, HostAttribute::kMatSpecular, 75);
        LE::Put<int16_t>(m, HostAttribute::kMatTransparency, 30);
        LE::Put<int16_t>(m, HostAttribute::kMatShine, 2500);
        auto putD = [&m](size_t off, double d) {
            uint64_t bits;
            std::memcpy(&bits, &d, 8);
            LE::Put<uint64_t>(m, off, bits);
        };
        for (size_t k = 0; k < 3; ++k) {
            putD(HostAttribute::kMatSurfaceRed + 8 * k, kColours[i][k]);
            putD(HostAttribute::kMatSpecularRgb + 8 * k, 0.8);
            putD(HostAttribute::kMatEmissionRgb + 8 * k, 0.0);
        }
        std::array<uint8_t, HostAttribute::kExtraSize> extra{};
        if (HostAttributeCreate(m.data(), extra.data()) == kHostNoError) {
            typeMaterials_[static_cast<size_t>(i)] = LE::Get<int16_t>(m, HostAttribute::kIndex);
        } else {
            std::string line = AddonFormat(32604, 1, {name, substituteName});
            HostReportWrite(line.c_str(), 0);
            typeMaterials_[static_cast<size_t>(i)] = substitute;
        }
    }
}

std::pair<std::string, std::string> ElementHider::ElementKindAndId(int32_t kind, const API_Guid& guid) const {
    char name[256] = {};
    int32_t k = kind;
    HostUtility(kHostSelKindName, &k, name);
    Header rec;
    std::string id;
    if (ReadHeader(kind, guid, rec) == kHostNoError)
        id = std::string(LE::GetText(rec, HostElement::kIdText, HostElement::kIdTextSize));
    name[sizeof name - 1] = 0;
    return {name, id};
}

bool ElementHider::IsDisplayable(int32_t kind, const API_Guid& guid) const {
    if (!IsDisplayableKind(kind)) return false;
    Header rec;
    if (GSErr err = ReadHeader(kind, guid, rec); err != kHostNoError) throw EElementHider(__LINE__, 0, err);
    return !OnHiddenUserLayer(LE::Get<int16_t>(rec, HostElement::kLayer));
}

bool ElementHider::PassesOwnerFilter(const TaskDB& db, int32_t kind, const API_Guid& guid) const {
    if (db.SharedUserId() == 0) return true;
    Header rec;
    return ReadHeader(kind, guid, rec) == kHostNoError && LE::Get<int16_t>(rec, HostElement::kOwner) == db.SharedUserId();
}

int16_t ElementHider::SetHiddenLayerVisible(bool visible) {
    Record layer(HostAttribute::kRecordSize, 0);
    LE::Put<int32_t>(layer, HostAttribute::kKind, HostAttribute::Layer);
    LE::PutText(layer, HostAttribute::kName, HostAttribute::kNameSize, hiddenLayerName_);
    GSErr err = HostAttributeSearch(layer.data());
    if (err == kHostErrNoAttributeName) err = HostAttributeCreate(layer.data(), nullptr);
    if (err != kHostNoError) return 0;
    int16_t index = LE::Get<int16_t>(layer, HostAttribute::kIndex);
    if (!ReadLayer(index, layer)) return 0;
    LE::Put<uint32_t>(layer, HostAttribute::kFlags, visible ? 0 : HostAttribute::kLayerHidden);
    HostAttributeModify(layer.data(), nullptr);
    return index;
}

void ElementHider::UnlockLayers() {
    unlockedLayers_.clear();
    int16_t count = LayerCount();
    for (int16_t i = 1; i <= count; ++i) {
        Record layer;
        if (!ReadLayer(i, layer)) continue;
        uint32_t flags = LE::Get<uint32_t>(layer, HostAttribute::kFlags);
        if (!(flags & HostAttribute::kLayerLocked)) continue;
        unlockedLayers_.insert(i);
        LE::Put<uint32_t>(layer, HostAttribute::kFlags, flags & ~HostAttribute::kLayerLocked);
        HostAttributeModify(layer.data(), nullptr);
    }
}

void ElementHider::RelockLayers() {
    for (int16_t i : unlockedLayers_) {
        Record layer;
        if (!ReadLayer(i, layer)) continue;
        LE::Put<uint32_t>(layer, HostAttribute::kFlags,
                          LE::Get<uint32_t>(layer, HostAttribute::kFlags) | HostAttribute::kLayerLocked);
        HostAttributeModify(layer.data(), nullptr);
    }
}

void ElementHider::CollectHiddenUserLayers() {
    hiddenUserLayers_.clear();
    int16_t count = LayerCount();
    for (int16_t i = 1; i <= count; ++i) {
        Record layer;
        if (!ReadLayer(i, layer)) continue;
        uint32_t flags = LE::Get<uint32_t>(layer, HostAttribute::kFlags);
        if (!(flags & HostAttribute::kLayerHidden)) continue;
        if (LE::GetText(layer, HostAttribute::kName, HostAttribute::kNameSize) == hiddenLayerName_) continue;
        hiddenUserLayers_[i] = {true, (flags & HostAttribute::kLayerLocked) != 0};
    }
}

void ElementHider::Prepare(TaskDB& db) {
    errorCount_ = 0;
    SetUpTypeMaterials();
    CollectHiddenUserLayers();
    errorCount_ += db.CheckTaskDates();
    errorCount_ += db.CheckDependencies();
    errorCount_ += db.CheckSupport();
    switchRead_ = HostEnvironmentGet(kHostSelSwitchGet, &switchSaved_, nullptr) == kHostNoError;
    if (switchRead_ && switchSaved_ == 0) {
        uint8_t on = 1;
        if (GSErr err = HostEnvironmentSet(kHostSelSwitchSet, &on, nullptr); err != kHostNoError)
            throw EElementHider(__LINE__, 0, err);
    }
    UnlockLayers();
}

int ElementHider::AnswerMissingTask(int32_t kind, const API_Guid& guid, int32_t taskId) {
    if (secondPass_) return kKeepLink;
    if (quiet_) {
        // A drag through dates asks nothing: the link stays, and the report says so at its end.
        std::pair<std::string, std::string> names = ElementKindAndId(kind, guid);
        HostReportWrite(AddonFormat(kReportTexts, kMissingTaskKept, {names.first, names.second, std::to_string(taskId)}).c_str(), 0);
        ++errorCount_;
        return kKeepLink;
    }
    if (holdMissingTaskAnswer_ && heldMissingTaskAnswer_ != 0) return heldMissingTaskAnswer_;
    int answer = AddonAlert(kAlertLinkedTaskMissing);
    if (holdMissingTaskAnswer_) heldMissingTaskAnswer_ = answer;
    return answer;
}

void ElementHider::BeginPass() {
    nothingChanged_ = 1;
    DGSetCursor(DGCursor::Wait);
}

void ElementHider::EndPass() { DGSetCursor(DGCursor::Arrow); }

void ElementHider::Finish() {
    RelockLayers();
    int32_t rebuild = 1;
    if (GSErr err = HostAutomate(kHostSelRebuild, &rebuild, nullptr); err != kHostNoError)
        throw EElementHider(__LINE__, 0, err);
    if (errorCount_ > 0 && !quiet_) AddonAlert(kAlertErrorsReported, std::to_string(errorCount_).c_str());
    if (switchRead_) {
        uint8_t saved = switchSaved_;
        if (GSErr err = HostEnvironmentSet(kHostSelSwitchSet, &saved, nullptr); err != kHostNoError)
            throw EElementHider(__LINE__, 0, err);
    }
}

ElementHider::Governing ElementHider::GoverningOfOne(const Task& task, size_t index, const DateTime& current) const {
    const Task* one[] = {&task};
    if (GoverningTask(one, current)) return GoverningBy(task, index, current);
    return {};
}

ElementHider::Governing ElementHider::GoverningBy(const Task& task, size_t index, const DateTime& current) const {
    const AppearanceProfile& profile = profiles_.ProfileFor(task);
    const ElementLook look =
        LookInView(profile, task, current, index < viewProgress_.size() ? viewProgress_[index] : std::nullopt,
                   index < standings_.size() ? std::optional<PlanStanding>(standings_[index]) : std::nullopt);
    Governing g;
    g.type = task.type;
    g.code = look.kind == PhaseLook::Kind::Hide       ? Appearance::Absent
             : look.kind == PhaseLook::Kind::TypeLook ? Appearance::UnderWork
                                                      : Appearance::Present;
    // A colour is laid over the element's own attributes, as growth is over any look.
    g.look = LookRecordOf(look);
    g.lookPrint = LookPrintOf(g.look);
    g.shown = look;
    if (look.stagger && look.grow != GrowDirection::None) g.staggerTask = task.id;
    return g;
}

const Task& ElementHider::PassTask(const TaskDB& db, size_t index) const {
    return index < viewTasks_.size() ? viewTasks_[index] : db.Tasks()[index];
}

void ElementHider::CollectViewTasks(const TaskDB& db, ScheduleView view) {
    viewTasks_.clear();
    viewProgress_.clear();
    standings_.clear();
    if (view == ScheduleView::Planned) return;
    const std::vector<Task>& tasks = db.Tasks();
    const DateTime& cur = db.CurrentDate();
    const DateTime status = db.DataDate();
    if (view == ScheduleView::Compare) {
        standings_.resize(tasks.size());
        for (size_t i = 0; i < tasks.size(); ++i) standings_[i] = StandingAt(tasks[i], db.PlanAt(i), status, cur);
        return;
    }
    viewTasks_.reserve(tasks.size());
    viewProgress_.reserve(tasks.size());
    for (size_t i = 0; i < tasks.size(); ++i) {
        ActualTask a = ActualTaskAt(tasks[i], db.PlanAt(i), status, cur);
        viewTasks_.push_back(a.task);
        viewProgress_.push_back(a.progress);
    }
}

void ElementHider::CollectStaggerOrders(const TaskDB& db) {
    staggerOrders_.clear();
    std::unordered_map<int32_t, GrowDirection> staggered;
    for (size_t i = 0; i < db.Tasks().size(); ++i) {
        const Task& t = PassTask(db, i);
        if (!t.inProgress || t.id <= 0) continue;
        const AppearanceProfile& p = profiles_.ProfileFor(t);
        if (p.stagger && p.grow != GrowDirection::None && p.during.kind != PhaseLook::Kind::Hide) staggered[t.id] = p.grow;
    }
    if (staggered.empty()) return;
    // Where each element begins along its task's growth, so the first to appear comes first.
    std::unordered_map<int32_t, std::vector<std::pair<double, API_Guid>>> found;
    for (int32_t kind = HostElement::kFirstKind; kind <= HostElement::kLastKind; ++kind) {
        if (!IsDisplayableKind(kind)) continue;
        for (const API_Guid& guid : ListElementsOfKind(kind)) {
            ElementLinkRecord link;
            try {
                ReadElementLink(kind, guid, link);
            } catch (const EElementHider&) {
                continue;
            }
            std::optional<std::array<double, 6>> box;
            for (size_t k = 0; k < 10 && link.Slot(k) != 0; ++k) {
                auto it = staggered.find(link.Slot(k));
                if (it == staggered.end()) continue;
                if (!box) {
                    Header head;
                    head.fill(0);
                    LE::Put<int32_t>(head, HostElement::kKind, kind);
                    guid.ToBytes(head.data() + HostElement::kGuid);
                    box.emplace();
                    if (HostElementGetBounds(head.data(), box->data()) != kHostNoError) box->fill(0);
                }
                found[it->first].emplace_back(StaggerKey(it->second, *box), guid);
            }
        }
    }
    for (auto& [id, elements] : found) {
        std::sort(elements.begin(), elements.end());
        StaggerOrder& order = staggerOrders_[id];
        order.count = elements.size();
        order.place.reserve(elements.size());
        for (size_t i = 0; i < elements.size(); ++i) order.place[elements[i].second] = i;
    }
}

void ElementHider::StaggerLook(Governing& pair, const API_Guid& guid) const {
    auto it = staggerOrders_.find(pair.staggerTask);
    if (it == staggerOrders_.end() || it->second.count == 0) return;
    const size_t* place = it->second.place.find(guid);
    ElementLook look = pair.shown;
    look.drawn = StaggeredDrawn(look.drawn, it->second.count, place ? *place : 0);
    pair.look = LookRecordOf(look);
    pair.lookPrint = LookPrintOf(pair.look);
}

void ElementHider::CollectOneTaskLooks(const TaskDB& db) {
    oneTaskLooks_.clear();
    const std::vector<Task>& tasks = db.Tasks();
    // Ids far beyond the schedule's size stay on the general path, so the table stays small.
    const int64_t limit = 4 * static_cast<int64_t>(tasks.size()) + 64;
    int32_t top = 0;
    for (const Task& t : tasks)
        if (t.id > 0 && t.id < limit) top = std::max(top, t.id);
    oneTaskLooks_.resize(static_cast<size_t>(top) + 1);
    for (size_t i = 0; i < tasks.size(); ++i) {
        const Task& t = tasks[i];
        if (t.id <= 0 || t.id > top || db.IsIdShared(t.id)) continue;
        // A summary row or a milestone governs nothing: its element shows as an unlinked one.
        oneTaskLooks_[static_cast<size_t>(t.id)] = {
            true, db.IsMarkerAt(i) ? Governing{} : GoverningOfOne(PassTask(db, i), i, db.CurrentDate())};
    }
}

const ElementHider::Governing* ElementHider::OneTaskLookOf(const ElementLinkRecord& link) const {
    const int32_t id = link.Slot(0);
    if (id <= 0 || static_cast<size_t>(id) >= oneTaskLooks_.size() || CountLinks(link.Slots()) != 1) return nullptr;
    const OneTaskLook& look = oneTaskLooks_[static_cast<size_t>(id)];
    return look.known ? &look.pair : nullptr;
}

ElementHider::Governing ElementHider::FindGoverning(TaskDB& db, ElementLinkRecord& link, int32_t kind,
                                                    const API_Guid& guid,
                                                    const std::pair<std::string, std::string>* names,
                                                    const std::function<void()>& beforeWrite) {
    const DateTime& cur = db.CurrentDate();
    const Task* governing = nullptr;
    struct Linked {
        std::array<const Task*, 10> tasks{};
        std::array<size_t, 10> indexes{};
        size_t n = 0;
        void push_back(const Task* t, size_t index) {
            indexes[n] = index;
            tasks[n++] = t;
        }
        const Task* const* begin() const { return tasks.data(); }
        const Task* const* end() const { return tasks.data() + n; }
    } linked;
    int inProgress = 0;
    for (size_t k = 0; k < 10; ++k) {
        int32_t id = link.Slot(k);
        if (id == 0) break;
        const Task* task = nullptr;
        size_t index = 0;
        try {
            index = db.IndexOfId(id);
            task = &PassTask(db, index);
        } catch (const ETaskNotFound&) {
            int answer = AnswerMissingTask(kind, guid, id);
            if (answer == kKeepLink) continue; // look at the next slot
            if (answer == 1) {
                try {
                    beforeWrite();
                } catch (const EElementHider&) {
                    // The write below fails and says so.
                }
                ClearLinkSlot(link, k, kind, guid);
                ElementLink slots = link.Slots();
                CompactLinks(slots);
                link.SetSlots(slots);
                try {
                    WriteElementLink(kind, guid, link, true);
                } catch (const EElementHider&) {
                    AddonAlert(kAlertInternalError);
                }
            }
            throw;
        }
        if (db.IsMarkerAt(index)) continue;
        linked.push_back(task, index);
        if (task->inProgress) {
            governing = task;
            if (++inProgress > 1 && !secondPass_) {
                ++errorCount_;
                auto found = names ? *names : ElementKindAndId(kind, guid);
                std::string line = AddonFormat(32510, 3, {found.first, found.second});
                HostReportWrite(line.c_str(), 0);
            }
        }
    }
    governing = GoverningTask(std::span<const Task* const>(linked.tasks.data(), linked.n), cur);
    if (!governing) return {};
    const size_t at = static_cast<size_t>(std::find(linked.begin(), linked.end(), governing) - linked.begin());
    return GoverningBy(*governing, linked.indexes[at], cur);
}

bool ElementHider::ApplyToElement(TaskDB& db, int32_t kind, API_Guid guid, int16_t hiddenLayer, int flag) {
    if (!IsDisplayableKind(kind)) return false;
    ElementLinkRecord link;
    try {
        ReadElementLink(kind, guid, link);
    } catch (const EElementHider&) {
        return false;
    }
    // The header decides; the whole record is read only for an element that may change.
    Header head;
    if (GSErr err = ReadHeader(kind, guid, head); err != kHostNoError) throw EElementHider(__LINE__, 0, err);
    if (OnHiddenUserLayer(LE::Get<int16_t>(head, HostElement::kLayer))) return false;

    const API_Guid listedGuid = guid;
    Relock relock(*this, kind, guid, head[HostElement::kLocked] != 0);

    Governing pair;
    if (const Governing* one = OneTaskLookOf(link)) {
        pair = *one; // one task, its id held by no other: nothing to check, nothing missing
    } else {
        errorCount_ += db.CheckElementTasks(link.Slots(), kind, guid);
        pair = FindGoverning(db, link, kind, guid, nullptr, [&relock] { relock.Unlock(); });
    }
    if (pair.staggerTask != 0) StaggerLook(pair, listedGuid);
    ShownState next{pair.code, pair.type, 0, pair.lookPrint};
    const uint32_t stamp = LE::Get<uint32_t>(head, HostElement::kModiStamp);
    ShownState* cached = shownState_.find(listedGuid);
    // The host's undo and redo change elements behind the cache's back; where the record and the
    // cache disagree the element is applied again.
    Record& element = passRecord_;
    if (cached && *cached == next && RecordShows(link, next.code) && link.LookPrint() == next.lookPrint) {
        if (next.code != Appearance::UnderWork) return false;
        // A painted element must also wear its type's pen: undo may have put back another type's.
        // The record that carried this stamp did, and a stamp is never given to another state.
        if (stamp != 0 && cached->stamp == stamp) return false;
        if (GSErr err = ReadElement(kind, guid, element); err != kHostNoError) throw EElementHider(__LINE__, 0, err);
        auto pen = TypeDisplay::FirstPen(element);
        if (!pen || *pen == TypePen(pair.type)) {
            cached->stamp = LE::Get<uint32_t>(element, HostElement::kModiStamp);
            return false;
        }
    } else if (GSErr err = ReadElement(kind, guid, element); err != kHostNoError) {
        throw EElementHider(__LINE__, 0, err);
    }

    const ElementLinkRecord before = link;
    Record& mask = passMask_;
    mask.assign(HostElement::kRecordSize, 0);
    bool changed = false;
    int16_t layer = LE::Get<int16_t>(element, HostElement::kLayer);
    auto restoreLayer = [&] {
        if (link.SavedLayer() == 0) return;
        LE::Put<int16_t>(element, HostElement::kLayer, link.SavedLayer());
        LE::Put<int16_t>(mask, HostElement::kLayer, -1);
        link.SetSavedLayer(0);
        changed = true;
    };
    switch (pair.code) {
    case Appearance::Absent:
        if (link.SavedLayer() == 0) {
            link.SetSavedLayer(layer);
            LE::Put<int16_t>(element, HostElement::kLayer, hiddenLayer);
            LE::Put<int16_t>(mask, HostElement::kLayer, -1);
            changed = true;
        }
        break;
    case Appearance::UnderWork: {
        bool already = TypeDisplay::IsOverridden(link);
        std::array<uint8_t, ElementLinkRecord::kSize> keep = link.bytes;
        // The mask is still empty here: the attributes write it whole, the layer follows.
        TypeDisplay::OverrideAttributes(element, mask, link, TypePen(pair.type), TypeMaterial(pair.type));
        // The element's own values stay saved, not the previous type's.
        if (already)
            std::copy(keep.begin() + ElementLinkRecord::kSaveArea, keep.end(),
                      link.bytes.begin() + ElementLinkRecord::kSaveArea);
        restoreLayer();
        changed = true;
        break;
    }
    default:
        if (TypeDisplay::IsOverridden(link)) {
            TypeDisplay::RestoreAttributes(element, mask, link); // the mask is still empty here
            changed = true;
        }
        restoreLayer();
        break;
    }
    const bool lookChanged = link.LookPrint() != pair.lookPrint;
    if (!changed && !lookChanged) {
        shownState_[listedGuid] = next; // no stamp: nothing was checked of the record
        return false;
    }
    link.SetLookPrint(pair.lookPrint);

    nothingChanged_ = 0;
    relock.Unlock();
    // The link record goes first so the element's own values are never lost; the cache follows
    // only what the model really shows.
    if (!WriteElementLink(kind, guid, link, true)) return false;
    auto takeBack = [&](GSErr err) {
        try {
            WriteElementLink(kind, guid, before, true);
        } catch (const EElementHider&) {
        }
        throw EElementHider(__LINE__, 0, err);
    };
    if (changed)
        if (GSErr err = HostElementChange(element.data(), mask.data()); err != kHostNoError) takeBack(err);
    if (lookChanged)
        if (GSErr err = HostElementSetLook(element.data(), pair.lookPrint ? pair.look.data() : nullptr); err != kHostNoError)
            takeBack(err);
    if (flag == 0) {
        API_Guid handedBack = API_Guid::FromBytes(element.data() + HostElement::kGuid);
        if (!handedBack.IsNull()) guid = handedBack;
    }
    // The record as the host holds it now, which this pass made.
    next.stamp = LE::Get<uint32_t>(element, HostElement::kModiStamp);
    shownState_[listedGuid] = next;
    return true;
}

void ElementHider::ShowAtCurrentDate(TaskDB& db, int flag) {
    showsDate_ = true;
    PlanDatabaseSwitch planSwitch;
    int16_t hiddenLayer = SetHiddenLayerVisible(true);
    // The tables hold for this pass's date and schedule only.
    struct ViewTasks {
        ElementHider& hider;
        ViewTasks(ElementHider& h, const TaskDB& db) : hider(h) { hider.CollectViewTasks(db, db.View()); }
        ~ViewTasks() {
            hider.viewTasks_.clear();
            hider.viewProgress_.clear();
            hider.standings_.clear();
        }
    } viewTasks(*this, db);
    struct OneTaskLooks {
        ElementHider& hider;
        OneTaskLooks(ElementHider& h, const TaskDB& db) : hider(h) { hider.CollectOneTaskLooks(db); }
        ~OneTaskLooks() { hider.oneTaskLooks_.clear(); }
    } looks(*this, db);
    struct StaggerOrders {
        ElementHider& hider;
        StaggerOrders(ElementHider& h, const TaskDB& db) : hider(h) { hider.CollectStaggerOrders(db); }
        ~StaggerOrders() { hider.staggerOrders_.clear(); }
    } orders(*this, db);
    {
        HostChangeRun changes;
        try {
            for (int32_t kind = HostElement::kFirstKind; kind <= HostElement::kLastKind; ++kind) {
                for (const API_Guid& guid : ListElementsOfKind(kind)) {
                    if (!PassesOwnerFilter(db, kind, guid)) continue;
                    try {
                        ApplyToElement(db, kind, guid, hiddenLayer, flag);
                    } catch (const EElementHider&) {
                    }
                }
            }
        } catch (const ETaskNotFound&) {
            // The user stopped at a missing task: the rest of the model is left as it is.
        }
    }
    SetHiddenLayerVisible(false);
    ShowSecondView(db);
}

bool ElementHider::RestoreElement(TaskDB& db, int32_t kind, API_Guid guid) {
    if (!IsDisplayableKind(kind)) return false;
    Record element;
    if (GSErr err = ReadElement(kind, guid, element); err != kHostNoError) throw EElementHider(__LINE__, 0, err);
    if (OnHiddenUserLayer(LE::Get<int16_t>(element, HostElement::kLayer))) return false;
    ElementLinkRecord link;
    bool hadRecord = true;
    try {
        ReadElementLink(kind, guid, link);
    } catch (const EElementHider&) {
        hadRecord = false;
    }
    bool linked = link.Slot(0) != 0;
    if (linked) errorCount_ += db.CheckElementTasks(link.Slots(), kind, guid);

    const ElementLinkRecord before = link;
    Relock relock(*this, kind, guid, element[HostElement::kLocked] != 0);
    Record mask(HostElement::kRecordSize, 0);
    bool restored = false;
    if (TypeDisplay::IsOverridden(link)) {
        TypeDisplay::RestoreAttributes(element, mask, link);
        restored = true;
    }
    if (link.SavedLayer() != 0) {
        LE::Put<int16_t>(element, HostElement::kLayer, link.SavedLayer());
        LE::Put<int16_t>(mask, HostElement::kLayer, -1);
        link.SetSavedLayer(0);
        restored = true;
    }
    const bool looked = link.LookPrint() != 0;
    link.SetLookPrint(0);
    bool removeRecord = !linked && hadRecord;
    if (restored || removeRecord || looked) relock.Unlock();
    if (looked) {
        if (linked && !restored) WriteElementLink(kind, guid, link, false);
        if (GSErr err = HostElementSetLook(element.data(), nullptr); err != kHostNoError) {
            if (linked && !restored) {
                try {
                    WriteElementLink(kind, guid, before, false);
                } catch (const EElementHider&) {
                }
            }
            throw EElementHider(__LINE__, 0, err);
        }
    }
    if (restored) {
        if (linked) WriteElementLink(kind, guid, link, false);
        if (GSErr err = HostElementChange(element.data(), mask.data()); err != kHostNoError) {
            // The element keeps its override, so its own values must stay saved.
            if (linked) {
                try {
                    WriteElementLink(kind, guid, before, false);
                } catch (const EElementHider&) {
                }
            }
            throw EElementHider(__LINE__, 0, err);
        }
    }
    if (removeRecord) RemoveElementLink(kind, guid);
    return restored || looked;
}

void ElementHider::ShowAll(TaskDB& db) {
    showsDate_ = false;
    PlanDatabaseGuard guard;
    {
        PassBracket pass(*this);
        SetHiddenLayerVisible(true);
        {
            HostChangeRun changes;
            for (int32_t kind = HostElement::kFirstKind; kind <= HostElement::kLastKind; ++kind) {
                int32_t count = 0;
                if (HostElementGetCount(kind, &count) != kHostNoError) break;
                for (const API_Guid& guid : ListElementsOfKind(kind)) {
                    try {
                        if (IsDisplayable(kind, guid)) RestoreElement(db, kind, guid);
                    } catch (const EElementHider&) {
                    }
                }
            }
        }
        SetHiddenLayerVisible(false);
    }
    ClearSecondView();
    ResetShownState(db, Appearance::Present);
}

void ElementHider::ResetShownState(TaskDB& db, Appearance code) {
    shownState_.clear();
    for (int32_t kind = HostElement::kFirstKind; kind <= HostElement::kLastKind; ++kind) {
        if (!IsDisplayableKind(kind)) continue;
        int32_t count = 0;
        if (GSErr err = HostElementGetCount(kind, &count); err != kHostNoError) throw EElementHider(__LINE__, 0, err);
        for (const API_Guid& guid : ListElementsOfKind(kind)) {
            try {
                if (!IsDisplayable(kind, guid) || !PassesOwnerFilter(db, kind, guid)) continue;
                ElementLinkRecord link;
                ReadElementLink(kind, guid, link);
                if (link.Slot(0) != 0) {
                    ShownState& shown = shownState_[guid];
                    shown.code = code;
                    shown.stamp = 0;
                }
            } catch (const EElementHider&) {
            }
        }
    }
}
