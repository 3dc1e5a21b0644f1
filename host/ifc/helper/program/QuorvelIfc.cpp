// quorvel-ifc: the IFC library's work for the host's reader, in a program of its own, so that
// the library, its geometry and the heaps it needs live in no host program.
//
//   quorvel-ifc --text-fd N --text-bytes N --scan-fd N --scan-bytes N --out-fd N [--from N]
//               [--threads N] [--library-meshing] [--no-item-reuse] [--second-quiet-ms N]
//
// The STEP text and the reader's scan of it (StepScanBytes.h) are read from descriptors the
// reader hands down (memory files), the record stream written to another. What the library prints goes where standard output goes,
// which the reader sends nowhere.
#include "host/ifc/helper/ConvertFile.h"
#include "host/ifc/step/StepScanBytes.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <sys/mman.h>
#include <unistd.h>

namespace {

bool Number(std::string_view text, auto& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

int Usage() {
    std::fputs("usage: quorvel-ifc --text-fd N --text-bytes N --scan-fd N --scan-bytes N --out-fd N [--from N] "
               "[--threads N] [--library-meshing] [--no-item-reuse] [--second-quiet-ms N]\n",
               stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    int textFd = -1, scanFd = -1, outFd = -1;
    size_t textBytes = 0, scanBytes = 0, from = 0;
    bool sized = false, scanSized = false;
    ConversionOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view option = argv[i];
        if (option == "--library-meshing") {
            options.faceListMeshing = false;
            options.recordMeshing = false;
            continue;
        }
        if (option == "--no-item-reuse") {
            options.reuseItems = false;
            continue;
        }
        if (i + 1 >= argc) return Usage();
        const std::string_view value = argv[++i];
        bool ok = false;
        if (option == "--text-fd") ok = Number(value, textFd);
        else if (option == "--text-bytes") ok = sized = Number(value, textBytes);
        else if (option == "--scan-fd") ok = Number(value, scanFd);
        else if (option == "--scan-bytes") ok = scanSized = Number(value, scanBytes);
        else if (option == "--out-fd") ok = Number(value, outFd);
        else if (option == "--from") ok = Number(value, from);
        else if (option == "--threads") ok = Number(value, options.threads);
        else if (option == "--second-quiet-ms") ok = Number(value, options.secondQuietMilliseconds);
        if (!ok) return Usage();
    }
    if (textFd < 0 || scanFd < 0 || outFd < 0 || !sized || !scanSized) return Usage();
    if (const char* fault = std::getenv("BV_IFC_FAULT")) {
        auto parsed = HelperFault::FromText(fault);
        if (!parsed) {
            std::fprintf(stderr, "quorvel-ifc: BV_IFC_FAULT=%s is not KIND:N[:first|second]\n", fault);
            return 2;
        }
        options.fault = *parsed;
    }
    std::string_view text;
    if (textBytes > 0) {
        void* mapped = mmap(nullptr, textBytes, PROT_READ, MAP_SHARED, textFd, 0);
        if (mapped == MAP_FAILED) {
            std::perror("quorvel-ifc: the text");
            return 2;
        }
        text = {static_cast<const char*>(mapped), textBytes};
    }
    close(textFd);
    StepScan scan;
    {
        void* mapped = scanBytes > 0 ? mmap(nullptr, scanBytes, PROT_READ, MAP_SHARED, scanFd, 0) : nullptr;
        if (mapped == MAP_FAILED || !ReadStepScan({static_cast<const char*>(mapped), mapped ? scanBytes : 0}, textBytes, scan)) {
            std::fputs("quorvel-ifc: the reader's scan is not whole\n", stderr);
            return 2;
        }
        munmap(mapped, scanBytes);
        close(scanFd);
    }
    ConvertFile(text, scan, from, outFd, options);
    // The model and its heaps go with the process, faster than taken apart.
    _exit(0);
}
