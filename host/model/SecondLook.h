#pragma once
// What an element shows in the second 3D window, which sets another state of the schedule beside
// the first: drawn or not, the material over all its faces and the pen of its edges, and its own
// look. A view, not the
// model: neither undo nor the project keeps it.
#include "host/model/LookOverride.h"

#include <cstdint>
#include <optional>

struct SecondLook {
    bool hidden = false;
    int16_t material = 0; // 0: the element's own
    int16_t pen = 0;      // 0: the element's own
    std::optional<LookOverride> look;
    bool operator==(const SecondLook&) const = default;
};
