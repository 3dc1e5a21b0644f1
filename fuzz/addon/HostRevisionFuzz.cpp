// The entries the host hands over for its last model revision, as the add-on reads them: any
// bytes, with the entry count in the first byte.
#include "hostcalls/HostRevision.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    HostRevision revision;
    std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    ParseHostRevision(bytes, static_cast<int32_t>(data[0]) - 1, revision);
    return 0;
}
