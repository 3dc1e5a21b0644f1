// The host's second window: the schedule's other view beside the one the model shows.
#include "display/ElementHider.h"

#include "bytes/LittleEndian.h"
#include "hostapi/HostElementRecord.h"
#include "hostapi/HostSecondView.h"
#include "hostcalls/HostInterface.h"
#include "hostcalls/HostLists.h"
#include "hostcalls/HostScopes.h"
#include "hostcalls/PlanDatabase.h"
#include "schedule/tasks/Exceptions.h"
#include "schedule/tasks/TaskDB.h"

#include <array>

namespace {

// What the second window shows beside a view: the plan beside what happened (alone or against
// the plan), what happened beside the plan.
ScheduleView SecondViewOf(ScheduleView view) {
    return view == ScheduleView::Planned ? ScheduleView::Actual : ScheduleView::Planned;
}

// The host's values as one number: what the second window shows of an element. A hidden one
// shows nothing else; a drawn one's material is never negative, so the two never meet.
uint64_t SecondPrint(int32_t shown, int16_t material, int16_t pen, uint32_t lookPrint) {
    if (shown == kHostSecondHidden) return UINT64_MAX;
    return static_cast<uint64_t>(lookPrint) << 32 | static_cast<uint64_t>(static_cast<uint16_t>(material)) << 16 |
           static_cast<uint16_t>(pen);
}

} // namespace

void ElementHider::ClearSecondView() {
    secondShown_.clear();
    if (HostSecondViewOpen()) HostElementSetSecondLook(nullptr, kHostSecondFollow, 0, 0, nullptr);
}

void ElementHider::ShowSecondView(TaskDB& db, bool fresh) {
    if (fresh) secondShown_.clear();
    if (!HostSecondViewOpen()) {
        secondShown_.clear();
        return;
    }
    PlanDatabaseSwitch planSwitch;
    // The tables and the quiet hold for this pass only, however it ends.
    struct SecondTables {
        ElementHider& hider;
        SecondTables(ElementHider& h, const TaskDB& db) : hider(h) {
            hider.secondPass_ = true;
            hider.CollectViewTasks(db, SecondViewOf(db.View()));
            hider.CollectOneTaskLooks(db);
            hider.CollectStaggerOrders(db);
        }
        ~SecondTables() {
            hider.secondPass_ = false;
            hider.viewTasks_.clear();
            hider.viewProgress_.clear();
            hider.standings_.clear();
            hider.oneTaskLooks_.clear();
            hider.staggerOrders_.clear();
        }
    } tables(*this, db);
    HostChangeRun changes;
    std::array<uint8_t, HostElement::kHeaderSize> head{};
    for (int32_t kind = HostElement::kFirstKind; kind <= HostElement::kLastKind; ++kind) {
        if (!IsDisplayableKind(kind)) continue;
        for (const API_Guid& guid : ListElementsOfKind(kind)) {
            head.fill(0);
            LE::Put<int32_t>(head, HostElement::kKind, kind);
            guid.ToBytes(head.data() + HostElement::kGuid);
            // An element the first window leaves to itself is shown the same in the second.
            auto follow = [&] {
                if (secondShown_.erase(guid) != 0) HostElementSetSecondLook(head.data(), kHostSecondFollow, 0, 0, nullptr);
            };
            ElementLinkRecord link;
            try {
                ReadElementLink(kind, guid, link);
            } catch (const EElementHider&) {
                follow();
                continue;
            }
            if (HostElementGetHeader(head.data()) != kHostNoError) continue;
            if (OnHiddenUserLayer(LE::Get<int16_t>(head, HostElement::kLayer)) || !PassesOwnerFilter(db, kind, guid)) {
                follow();
                continue;
            }
            Governing pair;
            if (const Governing* one = OneTaskLookOf(link)) {
                pair = *one;
            } else {
                try {
                    pair = FindGoverning(db, link, kind, guid, nullptr, [] {});
                } catch (const ETaskNotFound&) {
                    continue; // the first pass asked about it already
                }
            }
            if (pair.staggerTask != 0) StaggerLook(pair, guid);
            const int32_t shown = pair.code == Appearance::Absent ? kHostSecondHidden : kHostSecondDrawn;
            // The second window changes no element's record: a type's look is its material over
            // every face and its pen on the edges.
            const bool typed = pair.code == Appearance::UnderWork;
            const int16_t material = typed ? TypeMaterial(pair.type) : 0;
            const int16_t pen = typed ? TypePen(pair.type) : 0;
            const uint32_t print = shown == kHostSecondHidden ? 0 : pair.lookPrint;
            const uint64_t second = SecondPrint(shown, material, pen, print);
            if (const uint64_t* had = secondShown_.find(guid); had && *had == second) continue;
            if (HostElementSetSecondLook(head.data(), shown, material, pen, print ? pair.look.data() : nullptr) == kHostNoError)
                secondShown_[guid] = second;
            else
                secondShown_.erase(guid);
        }
    }
}
