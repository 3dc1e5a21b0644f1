// ReadLinksCsv on any bytes: no crash, no out-of-bounds access; the rows it gives come in the
// order of the file with their lines counted from 2, and written out again they read back the same.
#include "basekit/BKText.h"
#include "linking/LinksCsv.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    LinksCsv csv;
    if (!ReadLinksCsv(std::string_view(reinterpret_cast<const char*>(data), size), csv)) return 0;
    size_t line = 2;
    LinksCsvWriter writer;
    for (const LinksCsvRow& row : csv.rows) {
        if (row.line < line) __builtin_trap();
        line = row.line;
        writer.Add(row.globalId, row.elementId, 1, row.taskName);
    }
    LinksCsv back;
    if (!ReadLinksCsv(writer.Text(), back) || back.rows.size() != csv.rows.size()) __builtin_trap();
    for (size_t i = 0; i < back.rows.size(); ++i) {
        const LinksCsvRow& a = csv.rows[i];
        const LinksCsvRow& b = back.rows[i];
        // Written text is UTF-8 of the code page's characters, so it reads back as it was; the few
        // bytes the code page leaves without a character cannot be written.
        bool writable = true;
        for (const std::string* f : {&a.globalId, &a.elementId, &a.taskName})
            writable = writable && BKFromUtf8(BKToUtf8(*f)) == *f;
        if (!writable) continue;
        if (a.globalId != b.globalId || a.elementId != b.elementId || a.taskName != b.taskName || b.taskId != "1")
            __builtin_trap();
    }
    return 0;
}
