// ImportPrimaveraXer on any bytes: no crash, no out-of-bounds access, and what is read can be
// written out again as a schedule text, and as a project file that loads back with its plan. The
// first byte answers the question of which project, when the file asks it.
#include "FuzzScheduleFile.h"

#include "schedule/formats/PrimaveraXer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return FuzzPrimaveraImport(data, size, "xer", &ImportPrimaveraXer);
}
