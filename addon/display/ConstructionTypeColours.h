#pragma once
// The colour of each construction type: the surface colour of the material the display paints
// its elements with while they are under work, so whatever shows a type (the chart's bars, a
// movie's legend, the shared page) agrees with the model.
#include <array>
#include <cstdint>

// 0x00BBGGRR, by ConstructionType. A type whose material the model lacks takes the colour the
// display would make it with; components past 1 count as 1.
std::array<uint32_t, 5> ConstructionTypeColours();
