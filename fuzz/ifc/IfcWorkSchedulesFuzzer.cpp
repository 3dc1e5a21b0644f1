// The 4D records read from an IFC file's text: any bytes the scan accepts give a schedule whose
// every index names a task, each task after the one nesting it one level above it, and whose
// record end lies inside the text; nothing is thrown. The IFC library is not involved, so this
// runs fast on inputs of any size the fuzzer makes.
#include "host/ifc/building/IfcBuildingData.h"
#include "host/ifc/building/IfcWorkSchedules.h"
#include "host/ifc/step/StepEntityScan.h"
#include "host/ifc/step/StepValues.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

void Check(const ModelWorkSchedules& w, size_t size) {
    if (w.recordsEnd > size || w.fileSize != size) Fail("a record end outside the text");
    const auto tasks = static_cast<int32_t>(w.tasks.size());
    for (int32_t i = 0; i < tasks; ++i) {
        const ModelScheduleTask& t = w.tasks[static_cast<size_t>(i)];
        if (t.parent >= i || t.parent < -1) Fail("a task before the one nesting it");
        if (t.parent >= 0 && t.level != w.tasks[static_cast<size_t>(t.parent)].level + 1 && t.level != 1000) Fail("a level not one below its parent's");
        if (t.parent < 0 && t.level != 1) Fail("a top task not at level 1");
        if (t.schedule < -1 || t.schedule >= static_cast<int32_t>(w.schedules.size())) Fail("a schedule index outside the schedules");
        if (t.percent < -1 || t.percent > 100) Fail("a percentage outside 0..100");
    }
    for (const auto& s : w.sequences)
        if (s.predecessor < 0 || s.predecessor >= tasks || s.successor < 0 || s.successor >= tasks) Fail("a sequence outside the tasks");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    // The values alone, on the whole input as one record.
    for (std::string_view a : StepAttributes(text)) {
        (void)StepString(a);
        (void)StepReferences(a);
        (void)StepReal(a);
    }
    StepScan scan;
    try {
        scan = ScanStepEntities(text);
    } catch (const EIfcFile&) {
        return 0;
    }
    Check(ReadIfcWorkSchedules(text, scan, size % 2 ? "IFC2X3" : "IFC4"), size);
    return 0;
}
