// The library part reader and the label drawing: any bytes either give a part or an error, a
// part draws onto a picture without touching anything outside it, and the same bytes taken
// as the caller's parameter records change nothing but values.
#include "host/libparts/LabelDrawing.h"
#include "hostapi/HostLibPartRecord.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::span<const uint8_t> bytes(data, size);
    LibPartRegistry parts;
    std::string error;
    int32_t index = parts.Register("fuzz", "fuzz.vtm", bytes, error);
    if (index == 0) {
        if (error.empty()) std::abort();
        return 0;
    }
    const LibPart& part = *parts.ByIndex(index);
    std::span<const uint8_t> given = bytes.first(size - size % HostLibPartParam::kSize);
    if (MergeParams(part.def.params, given).size() != part.def.params.size()) std::abort();
    Image picture{48, 32, std::vector<uint32_t>(48u * 32u, 0x808080u)};
    DrawLabelPart(picture, part, given);
    if (picture.pixels.size() != 48u * 32u) std::abort();
    return 0;
}
