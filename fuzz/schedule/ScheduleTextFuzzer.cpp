// ImportScheduleText on any bytes, with the date-order question answered from the input's first
// byte: no crash, no out-of-bounds access, and what is imported can be written out again.
#include "FuzzScheduleFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TaskDB& db = FuzzSchedule();
    ResetFuzzAnswers();
    if (size > 0) DGQueueDialogAnswer({"32505", {{"4", std::to_string(1 + data[0] % 3)}}, data[0] & 0x80 ? 2 : 1});
    std::string path = WriteFuzzInput("txt", data, size);
    if (!db.ImportScheduleText(path)) return 0;
    CheckTaskNames(db);
    if (!db.SaveScheduleText("/dev/null")) __builtin_trap();
    db.ClearSchedule();
    return 0;
}
