#pragma once
// A task as the tests' schedules hold it: its id, type, dates, and its name given in UTF-8.
#include "basekit/BKText.h"
#include "schedule/tasks/Task.h"

inline Task TestTask(int32_t id, ConstructionType type, DateTime start, DateTime finish, const char* utf8Name) {
    Task t;
    t.id = id;
    t.type = type;
    t.start = start;
    t.finish = finish;
    t.SetName(BKFromUtf8(utf8Name));
    return t;
}
