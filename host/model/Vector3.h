#pragma once
// A point or direction in model space (metres, z up).
#include <array>

using Vec3 = std::array<double, 3>;
