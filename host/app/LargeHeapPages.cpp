#include "host/app/LargeHeapPages.h"

#include <cstdlib>
#include <string>
#include <unistd.h>

void RestartWithLargeHeapPages(char** argv) {
#if defined(__GLIBC__)
    const char* tunables = std::getenv("GLIBC_TUNABLES");
    if (tunables && std::string(tunables).find("glibc.malloc.hugetlb") != std::string::npos) return;
    std::string value = "glibc.malloc.hugetlb=1";
    if (tunables && *tunables) value = std::string(tunables) + ":" + value;
    if (setenv("GLIBC_TUNABLES", value.c_str(), 1) != 0) return;
    execv("/proc/self/exe", argv);
    // Not started again: the program goes on with the pages it has.
#else
    (void)argv;
#endif
}
