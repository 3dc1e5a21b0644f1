// The host project reader: any bytes either give a model or an error naming the file, and a
// model that was read saves to a text that reads back to the same model.
#include "host/project/HostProjectFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

[[noreturn]] void Fail(const char* what, const std::string& detail) {
    std::fprintf(stderr, "%s\n%s\n", what, detail.c_str());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    auto loaded = ParseHostProject(text, "fuzz.qvp");
    if (!loaded.model) {
        if (loaded.error.rfind("fuzz.qvp: ", 0) != 0) Fail("error without the file name", loaded.error);
        return 0;
    }
    std::string saved = SerializeHostProject(*loaded.model);
    auto reread = ParseHostProject(saved, "saved.qvp");
    if (!reread.model) Fail("a saved project cannot be read back", reread.error + "\n" + saved);
    std::string again = SerializeHostProject(*reread.model);
    if (again != saved) Fail("saving the read-back project changes it", saved + "\n----\n" + again);
    return 0;
}
