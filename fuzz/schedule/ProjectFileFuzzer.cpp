// LoadProjectFile on any bytes, of every version with its sections: no crash, no out-of-bounds
// access, and whatever loads is a schedule of valid records that saves and loads back the same,
// link rules and plans and all.
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

    LinkRules rules = db.Rules();
    CheckProjectFileRoundTrip(db, path, true);
    if (!(db.Rules() == rules)) __builtin_trap();
    db.ClearSchedule();
    return 0;
}
