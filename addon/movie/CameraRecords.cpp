#include "movie/CameraRecords.h"

#include "bytes/LittleEndian.h"
#include "hostapi/HostElementRecord.h"
#include "hostcalls/HostInterface.h"

std::vector<uint8_t> ReadElementByIndex(int32_t kind, int32_t index) {
    std::array<uint8_t, HostHead::kSize> head{};
    LE::Put<int32_t>(head, HostHead::kKind, kind);
    LE::Put<int32_t>(head, HostHead::kIndex, index);
    if (!HostElementFilter(head.data(), HostFilter::kExists)) return {};
    std::vector<uint8_t> record(HostElement::kRecordSize, 0);
    LE::Put<int32_t>(record, HostElement::kKind, kind);
    LE::Put<int32_t>(record, HostElement::kIndex, index);
    if (HostElementGet(record.data()) != kHostNoError) return {};
    return record;
}

int32_t HighestElementIndex(int32_t kind) {
    int32_t count = 0;
    if (HostElementGetCount(kind, &count) != kHostNoError) return 0;
    return count;
}
