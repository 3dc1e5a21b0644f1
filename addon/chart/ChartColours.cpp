#include "chart/ChartColours.h"

#include <algorithm>
#include <cmath>

namespace {

uint32_t Mix(uint32_t colour, uint32_t towards, double share) {
    uint32_t out = 0;
    for (int k = 0; k < 3; ++k) {
        double a = (colour >> (8 * k)) & 0xFF, b = (towards >> (8 * k)) & 0xFF;
        out |= static_cast<uint32_t>(std::lround(a + (b - a) * share)) << (8 * k);
    }
    return out;
}

} // namespace

uint32_t Lighter(uint32_t colour, double share) { return Mix(colour, 0xFFFFFF, share); }
uint32_t Darker(uint32_t colour, double share) { return Mix(colour, 0x000000, share); }
