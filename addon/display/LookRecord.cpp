#include "display/LookRecord.h"

#include "bytes/LittleEndian.h"

#include <algorithm>
#include <cstring>

LookBytes LookRecordOf(const ElementLook& look) {
    LookBytes r{};
    if (look.kind == PhaseLook::Kind::Hide) return r;
    if (look.kind == PhaseLook::Kind::Colour) {
        r[HostLook::kFlags] = HostLook::kColoured;
        r[HostLook::kRed] = look.colour.red;
        r[HostLook::kGreen] = look.colour.green;
        r[HostLook::kBlue] = look.colour.blue;
        r[HostLook::kTransparency] = std::min<uint8_t>(look.transparency, 100);
    }
    if (look.grow != GrowDirection::None) {
        // GrowDirection lists the axes in the host's order.
        r[HostLook::kClipAxis] = static_cast<uint8_t>(look.grow);
        const double drawn = std::clamp(look.drawn, 0.0, 1.0);
        uint64_t bits;
        std::memcpy(&bits, &drawn, 8);
        LE::Put<uint64_t>(r, HostLook::kDrawn, bits);
    }
    return r;
}

uint32_t LookPrintOf(const LookBytes& record) {
    if (std::all_of(record.begin(), record.end(), [](uint8_t b) { return b == 0; })) return 0;
    uint32_t h = 2166136261u;
    for (uint8_t b : record) h = (h ^ b) * 16777619u;
    return h == 0 ? 1 : h;
}
