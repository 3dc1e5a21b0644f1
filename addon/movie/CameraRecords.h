#pragma once
// Reading cameras and camera paths of the model by their index.
#include <cstdint>
#include <vector>

// The element record of an element of `kind` with `index`; empty when there is none.
std::vector<uint8_t> ReadElementByIndex(int32_t kind, int32_t index);
// The highest index the host gives for a kind (0 when it cannot tell).
int32_t HighestElementIndex(int32_t kind);
