#pragma once
// A look an add-on laid over an element's own: every face in one colour with a transparency, and
// the element drawn only up to a plane across one axis.
#include <cstdint>

struct LookOverride {
    bool coloured = false;
    uint8_t red = 0, green = 0, blue = 0;
    uint8_t transparency = 0; // percent
    uint8_t clipAxis = 0;     // HostLook::ClipAxis
    double drawn = 1.0;       // share of the extent along the axis, from where the axis starts

    bool Clips() const { return clipAxis != 0 && drawn < 1.0; }
    bool operator==(const LookOverride&) const = default;
};
