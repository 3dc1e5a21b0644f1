#pragma once
// What both schedule file fuzzers share: one schedule for the whole run, the input written to a
// file in memory-backed storage, and clean answer queues for each input.
#include "basekit/BKText.h"
#include "dialogkit/DGAnswers.h"
#include "filekit/FKFileDialog.h"
#include "schedule/AnimationSettings.h"
#include "schedule/TaskDB.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

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
