#include "schedule/files/WholeFile.h"

#include "filekit/FKError.h"
#include "filekit/FKFile.h"

#include <vector>

namespace {
constexpr uint64_t kMaxFileBytes = 256u << 20;
} // namespace

std::optional<std::string> ReadWholeFile(const std::string& path) {
    FKFile file(FKLocation::FromPath8(path));
    if (file.OpenForReading() != kFKNoErr) return std::nullopt;
    std::string bytes;
    std::vector<char> buffer(64 * 1024);
    for (;;) {
        size_t got = 0;
        int32_t err = file.Read(buffer.data(), buffer.size(), got);
        bytes.append(buffer.data(), got);
        if (bytes.size() > kMaxFileBytes || (err != kFKNoErr && err != kFKEndOfFileErr)) {
            (void)file.Close(); // nothing is used
            return std::nullopt;
        }
        if (err == kFKEndOfFileErr) break;
    }
    (void)file.Close(); // everything was read
    return bytes;
}
