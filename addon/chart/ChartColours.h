#pragma once
// The chart's colours: each construction type's bars in the type's colour, lighter or darker.
#include "display/ConstructionTypeColours.h"

#include <array>
#include <cstdint>

// Each component moved towards white by `share` (0 to 1), for the part not done.
uint32_t Lighter(uint32_t colour, double share);
// Each component moved towards black by `share`.
uint32_t Darker(uint32_t colour, double share);
