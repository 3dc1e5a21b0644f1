// Links between model elements and tasks, driven by the palette.
#include "basekit/BKMemory.h"
#include "bytes/LittleEndian.h"
#include "dialogkit/DGCursor.h"
#include "hostapi/HostElementRecord.h"
#include "hostapi/HostSelectors.h"
#include "hostcalls/HostInterface.h"
#include "hostcalls/HostLists.h"
#include "hostcalls/PlanDatabase.h"
#include "resources/AddonAlerts.h"
#include "resources/AddonResources.h"
#include "schedule/links/UnlockedLayers.h"
#include "schedule/tasks/Exceptions.h"
#include "schedule/tasks/IElementDisplay.h"
#include "schedule/tasks/TaskDB.h"

#include <algorithm>
#include <set>
#include <utility>
#include <vector>

namespace {

struct Selected {
    int32_t kind;
    API_Guid guid;
};

// The host's selection, each entry's type turned into an element kind (0 when it has none).
std::vector<Selected> ReadSelection() {
    std::vector<Selected> out;
    for (const HostSelectionEntry& entry : ReadHostSelection(true).entries) {
        int32_t type = entry.type, kind = 0;
        if (HostUtility(kHostSelSelectionTypeToKind, &type, &kind) != kHostNoError) kind = 0;
        out.push_back({kind, entry.guid});
    }
    return out;
}

std::array<uint8_t, HostHead::kSize> Head(int32_t kind, const API_Guid& guid) {
    std::array<uint8_t, HostHead::kSize> head{};
    LE::Put<int32_t>(head, HostHead::kKind, kind);
    guid.ToBytes(head.data() + HostHead::kGuid);
    return head;
}

} // namespace

void TaskDB::LinkSelection(int32_t id) {
    IElementDisplay& hider = *elementHider_;
    bool stop = false;
    PlanDatabaseGuard guard;
    hider.CollectHiddenUserLayers();
    UnlockedLayers unlocked(hider);
    std::set<std::pair<int32_t, API_Guid>> elements;
    for (const Selected& s : ReadSelection()) {
        try {
            auto head = Head(s.kind, s.guid);
            if (s.kind != 0 && hider.IsDisplayable(s.kind, s.guid) && HostElementFilter(head.data(), HostFilter::kExists))
                elements.insert({s.kind, s.guid});
        } catch (const EElementHider&) {
        }
    }
    for (const auto& [kind, guid] : elements) {
        if (stop) break;
        ElementLinkRecord link;
        try {
            hider.ReadElementLink(kind, guid, link);
        } catch (const EElementHider&) {
            link = ElementLinkRecord();
        }
        bool write = false;
        if (id != 0) {
            bool store = false;
            size_t slot = 10;
            for (size_t k = 0; k < 10; ++k) {
                if (link.Slot(k) == id) break; // already linked
                if (link.Slot(k) != 0) continue;
                slot = k;
                if (k == 0) {
                    store = true;
                } else {
                    auto names = hider.ElementKindAndId(kind, guid);
                    int answer = AddonAlert(kAlertAlreadyLinked, names.first.c_str(), names.second.c_str(), std::to_string(k).c_str());
                    store = answer == 1;
                    if (answer == 3) stop = true;
                }
                break;
            }
            bool full = CountLinks(link.Slots()) == 10;
            bool holds = false;
            for (size_t k = 0; k < 10; ++k) holds = holds || link.Slot(k) == id;
            if (full && !holds) {
                auto names = hider.ElementKindAndId(kind, guid);
                AddonAlert(kAlertTooManyLinks, names.first.c_str(), names.second.c_str(), "10");
                continue;
            }
            if (store && slot < 10) link.SetSlot(slot, id);
            // A declined element is left as it was.
            write = store || holds;
        } else {
            for (size_t k = 0; k < 10; ++k) {
                if (link.Slot(k) != 0) write = true;
                link.SetSlot(k, 0);
            }
        }
        if (!write) continue;
        try {
            hider.WriteElementLink(kind, guid, link, true);
        } catch (const EElementHider& e) {
            if (e.HostError() != kHostErrUserDataRefused) AddonAlert(kAlertInternalError);
        }
    }
}

void TaskDB::RemoveTaskLinks(int32_t id) {
    IElementDisplay& hider = *elementHider_;
    DGSetCursor(DGCursor::Wait);
    {
        PlanDatabaseSwitch planSwitch;
        // The element's own look comes back through an element change, which a locked layer refuses.
        UnlockedLayers unlocked(hider);
        hider.SetHiddenLayerVisible(true);
        for (int32_t kind = HostElement::kFirstKind; kind <= HostElement::kLastKind; ++kind) {
            if (!IElementDisplay::IsDisplayableKind(kind)) continue;
            for (const API_Guid& guid : ListElementsOfKind(kind)) {
                ElementLinkRecord link;
                try {
                    hider.ReadElementLink(kind, guid, link);
                } catch (const EElementHider&) {
                    continue;
                }
                ElementLink slots = link.Slots();
                bool found = false;
                for (size_t k = 0; k < 10; ++k) {
                    if (slots[k] != id) continue;
                    found = true;
                    int last = CountLinks(slots) - 1;
                    slots[k] = slots[static_cast<size_t>(last)];
                    slots[static_cast<size_t>(last)] = 0;
                }
                if (!found) continue;
                link.SetSlots(slots);
                try {
                    hider.WriteElementLink(kind, guid, link, true);
                    hider.RestoreElement(*this, kind, guid);
                } catch (const EElementHider&) {
                    AddonAlert(kAlertNoUserDataSlot);
                    break;
                }
            }
        }
        hider.SetHiddenLayerVisible(false);
    }
    DGSetCursor(DGCursor::Arrow);
}

void TaskDB::SelectLinkedElements(int32_t id) {
    IElementDisplay& hider = *elementHider_;
    DGSetCursor(DGCursor::Wait);
    HostSelectElements(nullptr, 0, false);
    std::vector<uint8_t> entries;
    {
        PlanDatabaseGuard guard;
        for (int32_t kind = HostElement::kFirstKind; kind <= HostElement::kLastKind; ++kind) {
            if (!IElementDisplay::IsDisplayableKind(kind)) continue;
            for (const API_Guid& guid : ListElementsOfKind(kind)) {
                std::array<uint8_t, HostElement::kHeaderSize> header{};
                LE::Put<int32_t>(header, HostElement::kKind, kind);
                guid.ToBytes(header.data() + HostElement::kGuid);
                if (HostElementGetHeader(header.data()) != kHostNoError) continue;
                auto head = Head(kind, guid);
                if (!HostElementFilter(head.data(), HostFilter::kOnVisibleLayer)) continue;
                ElementLinkRecord link;
                try {
                    hider.ReadElementLink(kind, guid, link);
                } catch (const EElementHider&) {
                    link = ElementLinkRecord();
                }
                bool qualifies = false;
                if (id != -1) {
                    for (size_t k = 0; k < 10; ++k) qualifies = qualifies || link.Slot(k) == id;
                } else {
                    qualifies = link.Slot(0) == 0;
                }
                if (!qualifies) continue;
                auto entry = Head(HostSelection::kTypeBase + kind, guid);
                entries.insert(entries.end(), entry.begin(), entry.end());
            }
        }
    }
    if (!entries.empty())
        HostSelectElements(entries.data(), static_cast<int32_t>(entries.size() / HostHead::kSize), true);
    DGSetCursor(DGCursor::Arrow);
}

void TaskDB::MarkLinkedToSelection(IMarkSink& palette) {
    IElementDisplay& hider = *elementHider_;
    bool stopAll = false;
    hider.CollectHiddenUserLayers();
    for (const Selected& s : ReadSelection()) {
        if (stopAll) break;
        try {
            if (s.kind == 0 || !hider.IsDisplayable(s.kind, s.guid)) {
                if (s.kind != 0) continue;
            }
        } catch (const EElementHider&) {
            continue;
        }
        if (sharedUserId_ != 0) {
            std::vector<uint8_t> rec(HostElement::kRecordSize, 0);
            LE::Put<int32_t>(rec, HostElement::kKind, s.kind);
            s.guid.ToBytes(rec.data() + HostElement::kGuid);
            if (HostElementGet(rec.data()) != kHostNoError || LE::Get<int16_t>(rec, HostElement::kOwner) != sharedUserId_)
                continue;
        }
        PlanDatabaseGuard guard;
        auto head = Head(s.kind, s.guid);
        if (s.kind == 0 || !HostElementFilter(head.data(), HostFilter::kExists)) {
            ClearMarks(palette);
            AddonAlert(kAlertUnknownElementKind);
            return;
        }
        ElementLinkRecord link;
        try {
            hider.ReadElementLink(s.kind, s.guid, link);
        } catch (const EElementHider&) {
            link = ElementLinkRecord();
        }
        bool emptied = false;
        for (size_t k = 0; k < 10; ++k) {
            int32_t id = link.Slot(k);
            if (id == 0) continue;
            try {
                TaskById(id).flags |= LinkedToSelection;
                palette.SetMarked(true);
            } catch (const ETaskNotFound&) {
                int answer = AddonAlert(kAlertLinkedTaskMissing);
                if (answer == 1) {
                    hider.ClearLinkSlot(link, k, s.kind, s.guid);
                    emptied = true;
                } else if (answer == 3) {
                    stopAll = true;
                    break;
                }
            }
        }
        if (emptied) {
            ElementLink slots = link.Slots();
            CompactLinks(slots);
            link.SetSlots(slots);
            try {
                hider.WriteElementLink(s.kind, s.guid, link, false);
            } catch (const EElementHider&) {
            }
        }
    }
}

void TaskDB::ClearMarks(IMarkSink& palette) {
    for (size_t i = 0; i < tasks_.size(); ++i) {
        Task t = tasks_[i];
        t.flags = 0;
        SetTaskAt(i, t);
    }
    palette.SetMarked(false);
}

std::unordered_map<int32_t, size_t> TaskDB::LinkedElementCounts() const {
    std::unordered_map<int32_t, size_t> counts;
    if (!elementHider_) return counts;
    for (int32_t kind = HostElement::kFirstKind; kind <= HostElement::kLastKind; ++kind) {
        if (!IElementDisplay::IsDisplayableKind(kind)) continue;
        for (const API_Guid& guid : ListElementsOfKind(kind)) {
            ElementLinkRecord link;
            try {
                elementHider_->ReadElementLink(kind, guid, link);
            } catch (const EElementHider&) {
                continue;
            }
            ElementLink slots = link.Slots();
            for (size_t k = 0; k < slots.size(); ++k)
                // An id held twice by a damaged record still counts the element once.
                if (slots[k] != 0 && std::find(slots.begin(), slots.begin() + static_cast<std::ptrdiff_t>(k), slots[k]) ==
                                         slots.begin() + static_cast<std::ptrdiff_t>(k))
                    ++counts[slots[k]];
        }
    }
    return counts;
}
