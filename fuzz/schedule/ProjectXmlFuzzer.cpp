// ImportProjectXml on any bytes: no crash, no out-of-bounds access, and what is read can be
// written out again as a schedule text, and as a project file that loads back with its plan.
#include "FuzzScheduleFile.h"

#include "schedule/formats/ProjectXml.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TaskDB& db = FuzzSchedule();
    ResetFuzzAnswers();
    std::string path = WriteFuzzInput("xml", data, size);
    if (!ImportProjectXml(db, path)) return 0;
    CheckTaskNames(db);
    if (!db.SaveScheduleText("/dev/null")) __builtin_trap();
    // The project file refuses ids below 1, which a plan's rows may carry.
    bool usable = true;
    for (const Task& t : db.Tasks()) usable = usable && t.id >= 1;
    if (usable) CheckProjectFileRoundTrip(db, WriteFuzzInput("csp", nullptr, 0), false);
    db.ClearSchedule();
    return 0;
}
