#pragma once
// A schedule of tasks of five days a week apart, with every displayable element linked to one of
// them in turn: the building grows over the dates of a movie.
#include "host/model/HostModel.h"
#include "schedule/tasks/ElementLink.h"
#include "schedule/tasks/IElementDisplay.h"
#include "schedule/tasks/TaskDB.h"

inline void LinkStaggeredSchedule(TaskDB& db, HostModel& model, int tasks) {
    for (int i = 0; i < tasks; ++i) {
        Task t;
        t.id = i + 1;
        t.start = DateTime(2009, 3, 1) + DateTimeSpan(7 * i, 0, 0, 0);
        t.finish = t.start + DateTimeSpan(5, 0, 0, 0);
        db.AppendLoadedTask(t);
    }
    int n = 0;
    for (const auto& e : model.Elements())
        if (IElementDisplay::IsDisplayableKind(e->Kind())) {
            ElementLinkRecord link;
            link.SetSlot(0, 1 + n++ % tasks);
            e->userData["Bauvista"] = UserDataBlock{103, 0x5757, {link.bytes.begin(), link.bytes.end()}};
        }
}
