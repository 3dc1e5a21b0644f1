// The support check: an element shown built while what it stands on is not.
#include "bytes/LittleEndian.h"
#include "hostapi/HostElementRecord.h"
#include "hostcalls/HostInterface.h"
#include "hostcalls/HostLists.h"
#include "resources/AddonResources.h"
#include "schedule/checks/SupportIndex.h"
#include "schedule/tasks/AnimationSettings.h"
#include "schedule/tasks/ElementShownAt.h"
#include "schedule/tasks/Exceptions.h"
#include "schedule/tasks/IElementDisplay.h"
#include "schedule/tasks/TaskDB.h"

#include <algorithm>
#include <array>

namespace {

// Metres: drawn models leave a finger's width between parts that rest on each other.
constexpr double kTouchTolerance = 0.02;
constexpr uint32_t kDateFlags = 2064; // the palette's date text

struct Linked {
    int32_t kind = 0;
    API_Guid guid;
    uint32_t firstTask = 0, taskCount = 0; // in the list of linked tasks
};

// Openings and lamps sit in or hang from what carries them; nothing rests on them.
bool Carries(int32_t kind) {
    using namespace HostElement;
    return kind != Window && kind != Door && kind != Lamp;
}

} // namespace

int32_t TaskDB::CheckSupport() const {
    if (!settings_.supportCheckOn || !elementHider_ || tasks_.empty()) return 0;
    std::vector<Linked> elements;
    std::vector<ElementBox> boxes;
    std::vector<uint8_t> carriers;
    std::vector<const Task*> linkedTasks;
    for (int32_t kind = HostElement::kFirstKind; kind <= HostElement::kLastKind; ++kind) {
        if (!HostElement::HasBody(kind) || !IElementDisplay::IsDisplayableKind(kind)) continue;
        for (const API_Guid& guid : ListElementsOfKind(kind)) {
            ElementLinkRecord link;
            try {
                elementHider_->ReadElementLink(kind, guid, link);
                if (link.Slot(0) == 0 || !elementHider_->IsDisplayable(kind, guid)) continue;
            } catch (const EElementHider&) {
                continue;
            }
            // The tasks the display would look at: the first of each id, summary rows and
            // milestones passed by, an id no task has left to the display pass.
            const size_t first = linkedTasks.size();
            for (size_t k = 0; k < 10 && link.Slot(k) != 0; ++k) {
                uint32_t index = FirstOfId(link.Slot(k));
                if (index == kNoTask || IsMarkerAt(index)) continue;
                const Task* task = &tasks_[index];
                if (std::find(linkedTasks.begin() + static_cast<std::ptrdiff_t>(first), linkedTasks.end(), task) ==
                    linkedTasks.end())
                    linkedTasks.push_back(task);
            }
            if (linkedTasks.size() == first) continue;
            std::array<uint8_t, HostHead::kSize> head{};
            LE::Put<int32_t>(head, HostHead::kKind, kind);
            guid.ToBytes(head.data() + HostHead::kGuid);
            std::array<double, 6> box{};
            if (HostElementGetBounds(head.data(), box.data()) != kHostNoError) {
                linkedTasks.resize(first);
                continue;
            }
            elements.push_back({kind, guid, static_cast<uint32_t>(first), static_cast<uint32_t>(linkedTasks.size() - first)});
            boxes.push_back({{box[0], box[1], box[2]}, {box[3], box[4], box[5]}});
            carriers.push_back(Carries(kind) ? 1 : 0);
        }
    }
    if (elements.empty()) return 0;
    const SupportIndex index(boxes, carriers, kTouchTolerance);

    auto tasksOf = [&](size_t e) {
        return std::span<const Task* const>(linkedTasks.data() + elements[e].firstTask, elements[e].taskCount);
    };
    // The first finish of the schedule's linked work sees what holds from the start; after it,
    // what an element and those under it show changes only at their own tasks' finishes.
    DateTime firstFinish = DateTime::FromTicks(0, DateTimeStatus::Invalid);
    for (const Task* t : linkedTasks)
        if (t->finish.status == DateTimeStatus::Valid && (firstFinish.status != DateTimeStatus::Valid || t->finish < firstFinish))
            firstFinish = t->finish;
    if (firstFinish.status != DateTimeStatus::Valid) return 0;

    int32_t count = 0;
    std::vector<int64_t> dates;
    for (size_t u = 0; u < elements.size(); ++u) {
        std::span<const uint32_t> below = index.Below(u);
        if (below.empty()) continue; // on the ground
        dates.assign(1, firstFinish.ticks);
        auto addFinishes = [&](size_t e) {
            for (const Task* t : tasksOf(e))
                if (t->finish.status == DateTimeStatus::Valid && t->finish >= firstFinish) dates.push_back(t->finish.ticks);
        };
        addFinishes(u);
        for (uint32_t s : below) addFinishes(s);
        std::sort(dates.begin(), dates.end());
        dates.erase(std::unique(dates.begin(), dates.end()), dates.end());
        for (int64_t ticks : dates) {
            const DateTime at = DateTime::FromTicks(ticks);
            if (ElementShownAt(tasksOf(u), at) != Appearance::Present) continue;
            if (!std::all_of(below.begin(), below.end(),
                             [&](uint32_t s) { return ElementShownAt(tasksOf(s), at) == Appearance::Absent; }))
                continue;
            char day[64];
            at.DayBefore().FormatForDisplay(day, sizeof day, kDateFlags);
            auto upper = elementHider_->ElementKindAndId(elements[u].kind, elements[u].guid);
            for (uint32_t s : below) {
                auto lower = elementHider_->ElementKindAndId(elements[s].kind, elements[s].guid);
                HostReportWrite(AddonFormat(32510, 16, {upper.first, upper.second, day, lower.first, lower.second}).c_str(), 0);
                ++count;
            }
            break;
        }
    }
    return count;
}
