// The reader's scan as the helper program reads it: whatever the bytes, a scan read is one whose
// every place and reference index lies inside its lists and every record inside the text, so
// that looking up any record of it reads nothing outside; nothing is thrown.
#include "host/ifc/step/StepScanBytes.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

constexpr size_t kText = 1 << 16;

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    StepScan scan;
    if (!ReadStepScan({reinterpret_cast<const char*>(data), size}, kText, scan)) return 0;
    for (uint32_t position = 0; position < scan.ids.size(); ++position) {
        for (int id : scan.References(position)) (void)scan.Position(id);
        if (scan.End(position) > kText || scan.Offset(position) > scan.End(position)) Fail("a record outside the text");
        const int64_t place = scan.Position(scan.ids[position]);
        if (place >= static_cast<int64_t>(scan.ids.size())) Fail("a place past the records");
    }
    return 0;
}
