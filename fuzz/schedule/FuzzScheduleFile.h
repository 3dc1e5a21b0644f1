#pragma once
// What both schedule file fuzzers share: one schedule for the whole run, the input written to a
// file in memory-backed storage, and clean answer queues for each input.
#include "basekit/BKText.h"
#include "dialogkit/DGAnswers.h"
#include "filekit/FKFileDialog.h"
#include "schedule/tasks/AnimationSettings.h"
#include "schedule/tasks/TaskDB.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

inline TaskDB& FuzzSchedule() {
    static AnimationSettings settings;
    static TaskDB db(settings, nullptr);
    static bool ready = db.InitTaskDB();
    (void)ready;
    return db;
}

// The input as a file; returns its 8-bit path.
inline std::string WriteFuzzInput(const char* extension, const uint8_t* data, size_t size) {
    const std::string folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    const std::string path = folder + "/bv_fuzz_" + std::to_string(getpid()) + "." + extension;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) __builtin_trap();
    if (size && std::fwrite(data, 1, size, f) != size) __builtin_trap();
    std::fclose(f);
    return BKFromUtf8(path);
}

inline void ResetFuzzAnswers() {
    DGResetAnswers();
    FKResetFileDialogs();
}

// A loaded schedule must hold only terminated names of at most 255 bytes.
inline void CheckTaskNames(const TaskDB& db) {
    for (const Task& t : db.Tasks())
        if (t.Name().size() > 255) __builtin_trap();
}

// The schedule's plans, one a task (empty where a task has none), to compare across a round trip.
inline std::vector<TaskPlan> PlansOf(const TaskDB& db) {
    std::vector<TaskPlan> plans(db.TaskCount());
    for (size_t i = 0; i < plans.size(); ++i)
        if (const TaskPlan* p = db.PlanAt(i)) plans[i] = *p;
    return plans;
}

// Saves the schedule as a project file at `path` and loads it back: the plans come back as they
// were, and with `sameTasks` the tasks too (those read from a project file, whose dates are
// midnights already).
inline void CheckProjectFileRoundTrip(TaskDB& db, const std::string& path, bool sameTasks) {
    std::vector<Task> tasks = db.Tasks();
    std::vector<TaskPlan> plans = PlansOf(db);
    if (!db.SaveProjectFile(path) || !db.LoadProjectFile(path) || db.TaskCount() != tasks.size()) __builtin_trap();
    for (size_t i = 0; sameTasks && i < tasks.size(); ++i) {
        const Task& a = tasks[i];
        const Task& b = db.Tasks()[i];
        if (a.id != b.id || a.type != b.type || a.Name() != b.Name() || a.start != b.start || a.finish != b.finish)
            __builtin_trap();
    }
    if (PlansOf(db) != plans) __builtin_trap();
}

// A P6 export (XER or XML) read from any bytes: the first byte answers the question of which
// project, when the file asks it; what is read must write out again as a schedule text, keep
// its rows numbered from 1, and load back from a project file with its plan.
inline int FuzzPrimaveraImport(const uint8_t* data, size_t size, const char* extension,
                               bool (*import)(TaskDB&, const std::string&)) {
    TaskDB& db = FuzzSchedule();
    ResetFuzzAnswers();
    if (size > 0) DGQueueDialogAnswer({"32508", {{"4", std::to_string(1 + data[0] % 4)}}, data[0] & 0x80 ? 2 : 1});
    std::string path = WriteFuzzInput(extension, data, size);
    if (!import(db, path)) return 0;
    CheckTaskNames(db);
    if (!db.SaveScheduleText("/dev/null")) __builtin_trap();
    for (const Task& t : db.Tasks())
        if (t.id < 1) __builtin_trap();
    CheckProjectFileRoundTrip(db, WriteFuzzInput("csp", nullptr, 0), false);
    db.ClearSchedule();
    return 0;
}
