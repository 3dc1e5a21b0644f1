// The script line splitter on any line: it never crashes, a refused line says why, and the
// arguments, quoted for the transcript and joined again, split back to the same arguments (where
// none holds a line end, which a script line cannot carry).
#include "host/script/ScriptLine.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace {

[[noreturn]] void Fail(const char* what, const std::string& line) {
    std::fprintf(stderr, "%s\n[%s]\n", what, line.c_str());
    __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string line(reinterpret_cast<const char*>(data), size);
    std::string error;
    auto args = SplitScriptLine(line, error);
    if (!args) {
        if (error.empty()) Fail("a refused line without a reason", line);
        return 0;
    }
    std::string joined = "x";
    bool lineEnds = false;
    for (const std::string& arg : *args) {
        if (arg.find_first_of("\r\n") != std::string::npos) lineEnds = true;
        joined += " " + QuoteForTranscript(arg);
    }
    if (lineEnds) return 0;
    auto again = SplitScriptLine(joined, error);
    if (!again) Fail(("quoted arguments are refused: " + error).c_str(), joined);
    if (again->size() != args->size() + 1 || (*again)[0] != "x") Fail("quoting changes the argument count", joined);
    for (size_t i = 0; i < args->size(); ++i)
        if ((*again)[i + 1] != (*args)[i]) Fail("quoting changes an argument", joined);
    return 0;
}
