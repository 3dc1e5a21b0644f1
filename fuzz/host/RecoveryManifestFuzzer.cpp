// The recovery manifest reader: any bytes either give a manifest whose file names stay inside
// the copy's folder and which writes back to text that reads as the same manifest, or an error.
#include "host/app/RecoveryManifest.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    std::string error;
    auto manifest = ReadRecoveryManifest(text, error);
    if (!manifest) {
        if (error.empty()) std::abort();
        return 0;
    }
    for (const RecoveryFile& f : manifest->files)
        if (f.name.empty() || f.name.find('/') != std::string::npos || f.name == "..") std::abort();
    auto again = ReadRecoveryManifest(WriteRecoveryManifest(*manifest), error);
    if (!again || !(*again == *manifest)) {
        std::fprintf(stderr, "a manifest does not read back: %s\n", error.c_str());
        std::abort();
    }
    return 0;
}
