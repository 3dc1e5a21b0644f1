#include "host/resources/HostResources.h"

#include "hostapi/HostElementRecord.h"

#include <cstddef>

extern const unsigned char kHostResourceBlob[];
extern const std::size_t kHostResourceBlobSize;

BKResModule HostResModule() {
    static BKResModule module = BKAddResModule({kHostResourceBlob, kHostResourceBlobSize}, "quorvel");
    return module;
}

std::string HostKindName(int32_t kind) {
    BKResModuleScope scope(HostResModule());
    std::string name;
    if (!HostElement::IsValidKind(kind) || !BKGetIndString(name, 100, static_cast<int16_t>(kind))) return {};
    return name;
}
