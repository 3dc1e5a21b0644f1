#include "host/ifc/building/IfcGuid.h"

#include <cstdint>

namespace {

uint64_t Mix(uint64_t x) {
    x ^= x >> 30;
    x *= 0xBF58476D1CE4E5B9ull;
    x ^= x >> 27;
    x *= 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

// FNV-1a from `basis`, then mixed so that every bit of the text moves every bit of the result.
uint64_t Hash64(std::string_view text, uint32_t attempt, uint64_t basis) {
    uint64_t h = basis;
    for (char c : text) h = (h ^ static_cast<uint8_t>(c)) * 0x100000001B3ull;
    for (int i = 0; i < 4; ++i) h = (h ^ ((attempt >> (8 * i)) & 0xFF)) * 0x100000001B3ull;
    return Mix(h);
}

} // namespace

API_Guid GuidOfOutOfRangeGlobalId(std::string_view text, uint32_t attempt) {
    const uint64_t hi = Hash64(text, attempt, 0xCBF29CE484222325ull);
    const uint64_t lo = Hash64(text, attempt, 0x84222325CBF29CE4ull);
    API_Guid g;
    for (size_t i = 0; i < 8; ++i) {
        g.bytes[i] = static_cast<uint8_t>(hi >> (56 - 8 * i));
        g.bytes[8 + i] = static_cast<uint8_t>(lo >> (56 - 8 * i));
    }
    g.bytes[6] = static_cast<uint8_t>(0x80 | (g.bytes[6] & 0x0F)); // version 8
    g.bytes[8] = static_cast<uint8_t>(0x80 | (g.bytes[8] & 0x3F)); // the RFC's variant
    return g;
}
