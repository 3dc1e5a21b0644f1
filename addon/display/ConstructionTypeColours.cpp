#include "display/ConstructionTypeColours.h"

#include "bytes/LittleEndian.h"
#include "hostapi/HostAttributeRecord.h"
#include "hostcalls/HostInterface.h"
#include "resources/AddonResources.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

// The surface colours the display creates its materials with.
constexpr double kMadeColours[5][3] = {{0, 0.9, 0}, {0.8, 0, 0}, {100.0, 100.0, 100.0}, {0, 0, 0.9}, {1.0, 1.0, 0.5}};

uint32_t Pack(const double rgb[3]) {
    uint32_t out = 0;
    for (int k = 0; k < 3; ++k) {
        double c = std::isfinite(rgb[k]) ? std::clamp(rgb[k], 0.0, 1.0) : 0.0;
        out |= static_cast<uint32_t>(std::lround(c * 255)) << (8 * k);
    }
    return out;
}

} // namespace

std::array<uint32_t, 5> ConstructionTypeColours() {
    std::array<uint32_t, 5> colours{};
    for (int i = 0; i < 5; ++i) {
        double rgb[3] = {kMadeColours[i][0], kMadeColours[i][1], kMadeColours[i][2]};
        std::vector<uint8_t> m(HostAttribute::kRecordSize, 0);
        LE::Put<int32_t>(m, HostAttribute::kKind, HostAttribute::Material);
        LE::PutText(m, HostAttribute::kName, HostAttribute::kNameSize, AddonString(32511, static_cast<int16_t>(i + 1)));
        if (HostAttributeSearch(m.data()) == kHostNoError && HostAttributeGet(m.data()) == kHostNoError) {
            for (size_t k = 0; k < 3; ++k) {
                uint64_t bits = LE::Get<uint64_t>(m, HostAttribute::kMatSurfaceRed + 8 * k);
                std::memcpy(&rgb[k], &bits, 8);
            }
        }
        colours[static_cast<size_t>(i)] = Pack(rgb);
    }
    return colours;
}
