#include "hostcalls/HostLists.h"

#include "basekit/OwnedHandle.h"
#include "bytes/LittleEndian.h"
#include "hostapi/HostElementRecord.h"
#include "hostcalls/HostInterface.h"

#include <array>

HostSelectionRead ReadHostSelection(bool withEntries) {
    std::array<uint8_t, HostSelection::kInfoSize> info{};
    OwnedHandle entries;
    HostSelectionRead read;
    read.err = HostSelectionGet(info.data(), withEntries ? entries.Receive() : nullptr, 0);
    int32_t kind = LE::Get<int32_t>(info, HostSelection::kKind);
    // A marquee selection's outline block is not wanted here.
    OwnedHandle marquee(HostSelection::HasMarquee(kind) ? LE::Get<uint32_t>(info, HostSelection::kMarquee) : 0);
    read.count = LE::Get<int32_t>(info, HostSelection::kCount);
    if (read.err != kHostNoError || !withEntries) return read;
    std::span<const uint8_t> bytes = entries.Bytes();
    for (size_t at = 0; bytes.size() - at >= HostHead::kSize; at += HostHead::kSize) {
        auto entry = bytes.subspan(at, HostHead::kSize);
        read.entries.push_back({LE::Get<int32_t>(entry, HostHead::kKind), API_Guid::FromBytes(entry.data() + HostHead::kGuid)});
    }
    return read;
}

std::vector<API_Guid> ListElementsOfKind(int32_t kind) {
    std::vector<API_Guid> out;
    OwnedHandle list;
    if (HostElementList(kind, list.Receive()) != kHostNoError) return out;
    std::span<const uint8_t> bytes = list.Bytes();
    out.reserve(bytes.size() / 16);
    for (size_t at = 0; bytes.size() - at >= 16; at += 16) out.push_back(API_Guid::FromBytes(bytes.data() + at));
    return out;
}
