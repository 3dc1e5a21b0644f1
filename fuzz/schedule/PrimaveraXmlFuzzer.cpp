// ImportPrimaveraXml on any bytes: no crash, no out-of-bounds access, and what is read can be
// written out again as a schedule text, and as a project file that loads back with its plan. The
// first byte answers the question of which project, when the file asks it.
#include "FuzzScheduleFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TaskDB& db = FuzzSchedule();
    ResetFuzzAnswers();
    if (size > 0) DGQueueDialogAnswer({"32508", {{"4", std::to_string(1 + data[0] % 4)}}, data[0] & 0x80 ? 2 : 1});
    std::string path = WriteFuzzInput("xml", data, size);
    if (!db.ImportPrimaveraXml(path)) return 0;
    CheckTaskNames(db);
    if (!db.SaveScheduleText("/dev/null")) __builtin_trap();
    for (const Task& t : db.Tasks())
        if (t.id < 1) __builtin_trap(); // rows are numbered from 1
    CheckProjectFileRoundTrip(db, WriteFuzzInput("csp", nullptr, 0), false);
    db.ClearSchedule();
    return 0;
}
