#include "host/ops/LookRecordRead.h"

#include "bytes/LittleEndian.h"
#include "hostapi/HostLookRecord.h"

#include <cmath>
#include <cstring>
#include <span>

namespace hostops {

bool ReadLookRecord(const uint8_t* record, std::optional<LookOverride>& look) {
    if (!record) {
        look.reset();
        return true;
    }
    std::span<const uint8_t> rec(record, HostLook::kSize);
    LookOverride l;
    l.coloured = (rec[HostLook::kFlags] & HostLook::kColoured) != 0;
    l.red = rec[HostLook::kRed];
    l.green = rec[HostLook::kGreen];
    l.blue = rec[HostLook::kBlue];
    l.transparency = rec[HostLook::kTransparency];
    l.clipAxis = rec[HostLook::kClipAxis];
    if (l.clipAxis) {
        const uint64_t bits = LE::Get<uint64_t>(rec, HostLook::kDrawn);
        std::memcpy(&l.drawn, &bits, 8);
    }
    if ((rec[HostLook::kFlags] & ~HostLook::kColoured) != 0 || l.transparency > 100 ||
        l.clipAxis > HostLook::kLastAxis || !std::isfinite(l.drawn) || l.drawn < 0 || l.drawn > 1)
        return false;
    if (!l.coloured) l.red = l.green = l.blue = l.transparency = 0;
    look.reset();
    if (l.coloured || l.clipAxis) look = l;
    return true;
}

} // namespace hostops
