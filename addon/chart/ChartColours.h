#pragma once
// The colour of each construction type's bars: the surface colour of the material the display
// paints its elements with while they are under work, so the chart and the model agree.
#include <array>
#include <cstdint>

// 0x00BBGGRR, by ConstructionType. A type whose material the model lacks takes the colour the
// display would make it with; components past 1 count as 1.
std::array<uint32_t, 5> ConstructionTypeColours();

// Each component moved towards white by `share` (0 to 1), for the part not done.
uint32_t Lighter(uint32_t colour, double share);
// Each component moved towards black by `share`.
uint32_t Darker(uint32_t colour, double share);
