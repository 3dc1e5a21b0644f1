#pragma once
// What an element shows at any minute in one of the schedule's views, worked out as a display
// pass at that date would: the tasks as the view has them then, the governing rule, the governing
// task's profile, its standing against the plan, and the element's turn in a staggered growth.
#include "display/ProfileLook.h"
#include "display/ProfileSet.h"
#include "schedule/tasks/ScheduleView.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class TaskDB;

// An element's tasks: their places in the schedule in its link's order (missing ids and markers
// left out, as a pass leaves them), and its turn among the elements of each task that staggers.
struct ElementTasks {
    struct Turn {
        int32_t taskId = 0;
        size_t place = 0, count = 0;
        bool operator==(const Turn&) const = default;
    };
    std::vector<size_t> indexes;
    std::vector<Turn> turns;
    bool operator==(const ElementTasks&) const = default;
};

// A look and, for the type's look, the governing task's type, whose material it wears.
struct PageLook {
    ElementLook look;
    ConstructionType type = ConstructionType::Construction;
    bool operator==(const PageLook&) const = default;
};

class ViewLookClock {
public:
    ViewLookClock(const TaskDB& db, const ProfileSet& profiles, ScheduleView view);

    // Its own look when no task governs.
    PageLook LookAt(const ElementTasks& tasks, int64_t minute) const;
    // The minutes around which the look may change other than linearly: each task's dates, the
    // hours about them the governing rule counts in, the status date, the stagger turns' edges.
    void AddBreakMinutes(const ElementTasks& tasks, std::vector<int64_t>& minutes) const;

private:
    const TaskDB& db_;
    const ProfileSet& profiles_;
    ScheduleView view_;
    DateTime status_;
};
