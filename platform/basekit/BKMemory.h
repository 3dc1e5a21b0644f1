#pragma once
// Resizable memory blocks addressed by 32-bit handles, as the host's records carry them.
#include <cstddef>
#include <cstdint>

using BKHandle = uint32_t; // 0 is no block

BKHandle BKNewHandle(size_t size);            // zero-filled; 0 when out of memory
void BKDisposeHandle(BKHandle handle);        // 0 and unknown handles are ignored
uint8_t* BKHandleData(BKHandle handle);       // nullptr for 0 or an unknown handle
size_t BKHandleSize(BKHandle handle);         // 0 for 0 or an unknown handle
bool BKSetHandleSize(BKHandle handle, size_t size); // keeps the front, zero-fills growth
size_t BKLiveHandleCount();                   // for leak checks in tests
void BKSetNextHandleForTesting(BKHandle next); // brings the counter's wrap within a test's reach
