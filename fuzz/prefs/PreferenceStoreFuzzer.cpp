// The preference store reader on any file: loading never crashes and names the file in its
// error; what was loaded (good and damaged records alike) saves to a store that loads again
// without being set aside, and saving that again writes the same bytes.
#include "host/prefs/PreferenceStore.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

[[noreturn]] void Fail(const char* what, const std::string& detail) {
    std::fprintf(stderr, "%s\n%s\n", what, detail.c_str());
    __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path =
        std::string(access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") + "/bv_fuzz_prefs_" + std::to_string(getpid());
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    std::string error;
    PreferenceStore store(path);
    bool clean = store.Load(error);
    if (!clean && error.rfind(path + ": ", 0) != 0) Fail("an error without the file's name", error);
    std::remove((path + ".bad").c_str());

    if (!store.Save(error)) Fail("the store cannot be saved", error);
    const std::string once = ReadAll(path);
    std::string again;
    PreferenceStore reread(path);
    bool rereadClean = reread.Load(again);
    if (clean && !rereadClean) Fail("a clean store saves to a damaged one", again + "\n" + once);
    if (!rereadClean && again.find("skipped") == std::string::npos)
        Fail("a saved store is no store", again + "\n" + once);
    if (!reread.Save(again)) Fail("the store read back cannot be saved", again);
    const std::string twice = ReadAll(path);
    if (twice != once) Fail("saving the store read back changes it", once + "\n----\n" + twice);
    if (clean) {
        // Every record read the first time comes back the same.
        auto a = store.Read("Bauvista"), b = reread.Read("Bauvista");
        if (a.has_value() != b.has_value() || (a && (a->version != b->version || a->bytes != b->bytes)))
            Fail("the Bauvista record changed on the way", once);
    }
    std::remove(path.c_str());
    return 0;
}
