// ImportProjectXml on any bytes: no crash, no out-of-bounds access, and what is read can be
// written out again as a schedule text.
#include "FuzzScheduleFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TaskDB& db = FuzzSchedule();
    ResetFuzzAnswers();
    std::string path = WriteFuzzInput("xml", data, size);
    if (!db.ImportProjectXml(path)) return 0;
    CheckTaskNames(db);
    if (!db.SaveScheduleText("/dev/null")) __builtin_trap();
    db.ClearSchedule();
    return 0;
}
