// LoadProjectFile on any bytes, of every version with its sections: no crash, no out-of-bounds
// access, and whatever loads is a schedule of valid records that saves and loads back the same,
// link rules and all.
#include "FuzzScheduleFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TaskDB& db = FuzzSchedule();
    ResetFuzzAnswers();
    std::string path = WriteFuzzInput("csp", data, size);
    if (!db.LoadProjectFile(path)) return 0;
    CheckTaskNames(db);
    for (const Task& t : db.Tasks()) {
        // A project file may keep a sixth type.
        if (t.id < 1 || !ConstructionTypeFromInt(ConstructionTypeValue(t.type), kConstructionTypeCount))
            __builtin_trap();
    }

    std::vector<Task> loaded = db.Tasks();
    LinkRules rules = db.Rules();
    if (!db.SaveProjectFile(path) || !db.LoadProjectFile(path) || db.TaskCount() != loaded.size()) __builtin_trap();
    if (!(db.Rules() == rules)) __builtin_trap();
    for (size_t i = 0; i < loaded.size(); ++i) {
        const Task& a = loaded[i];
        const Task& b = db.Tasks()[i];
        // Start and finish are already midnights, so a second load keeps them as they are.
        if (a.id != b.id || a.type != b.type || a.Name() != b.Name() || a.start != b.start || a.finish != b.finish)
            __builtin_trap();
    }
    db.ClearSchedule();
    return 0;
}
