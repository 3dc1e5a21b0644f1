#include "hostcalls/ElementFactsRead.h"

#include "basekit/OwnedHandle.h"
#include "hostcalls/HostInterface.h"

#include <span>

std::vector<std::pair<std::string, std::string>> ReadElementFacts(const uint8_t* head, int32_t flags) {
    std::vector<std::pair<std::string, std::string>> out;
    uint32_t handle = 0;
    int32_t count = 0;
    if (HostElementGetFacts(head, &handle, &count, flags) != kHostNoError) return out;
    OwnedHandle block(handle);
    std::span<const uint8_t> bytes = block ? block.Bytes() : std::span<const uint8_t>();
    size_t at = 0;
    auto next = [&](std::string& text) {
        size_t end = at;
        while (end < bytes.size() && bytes[end] != 0) ++end;
        if (end == bytes.size()) return false;
        text.assign(reinterpret_cast<const char*>(bytes.data() + at), end - at);
        at = end + 1;
        return true;
    };
    for (int32_t i = 0; i < count; ++i) {
        std::pair<std::string, std::string> fact;
        if (!next(fact.first) || !next(fact.second)) break;
        out.push_back(std::move(fact));
    }
    return out;
}
