#include "host/resources/HostResources.h"

#include "dialogkit/DGAlert.h"
#include "hostapi/HostElementRecord.h"

#include <cstddef>

extern const unsigned char kHostResourceBlob[];
extern const std::size_t kHostResourceBlobSize;

BKResModule HostResModule() {
    static BKResModule module = BKAddResModule({kHostResourceBlob, kHostResourceBlobSize}, "quorvel");
    return module;
}

std::string HostString(HostText text) {
    BKResModuleScope scope(HostResModule());
    std::string s;
    BKGetIndString(s, 101, static_cast<int16_t>(text));
    return s;
}

int ShowHostAlert(HostAlert alert, const std::string& p1, const std::string& p2, const std::string& p3) {
    BKResModuleScope scope(HostResModule());
    auto param = [](const std::string& p) { return p.empty() ? nullptr : p.c_str(); };
    return DGAlert(static_cast<int16_t>(alert), param(p1), param(p2), param(p3));
}

std::string HostKindName(int32_t kind) {
    BKResModuleScope scope(HostResModule());
    std::string name;
    if (!HostElement::IsValidKind(kind) || !BKGetIndString(name, 100, static_cast<int16_t>(kind))) return {};
    return name;
}
