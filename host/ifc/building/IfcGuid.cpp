#include "host/ifc/building/IfcGuid.h"

#include <array>
#include <cstdint>

namespace {

constexpr std::string_view kDigits = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz_$";
constexpr size_t kGlobalIdLength = 22;

constexpr std::array<int8_t, 256> MakeDigitValues() {
    std::array<int8_t, 256> v{};
    for (auto& x : v) x = -1;
    for (size_t i = 0; i < kDigits.size(); ++i) v[static_cast<uint8_t>(kDigits[i])] = static_cast<int8_t>(i);
    return v;
}
constexpr auto kDigitValues = MakeDigitValues();

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

std::optional<API_Guid> DecodeIfcGlobalId(std::string_view text) {
    if (text.size() != kGlobalIdLength) return std::nullopt;
    // The number as two 64-bit halves, shifted in 6 bits at a time.
    uint64_t hi = 0, lo = 0;
    for (size_t i = 0; i < kGlobalIdLength; ++i) {
        int v = kDigitValues[static_cast<uint8_t>(text[i])];
        if (v < 0 || (i == 0 && v > 3)) return std::nullopt;
        hi = (hi << 6) | (lo >> 58);
        lo = (lo << 6) | static_cast<uint64_t>(v);
    }
    API_Guid g;
    for (size_t i = 0; i < 8; ++i) {
        g.bytes[i] = static_cast<uint8_t>(hi >> (56 - 8 * i));
        g.bytes[8 + i] = static_cast<uint8_t>(lo >> (56 - 8 * i));
    }
    return g;
}

std::string EncodeIfcGlobalId(const API_Guid& guid) {
    uint64_t hi = 0, lo = 0;
    for (size_t i = 0; i < 8; ++i) {
        hi = (hi << 8) | guid.bytes[i];
        lo = (lo << 8) | guid.bytes[8 + i];
    }
    std::string text(kGlobalIdLength, '0');
    for (size_t i = kGlobalIdLength; i-- > 0;) {
        text[i] = kDigits[lo & 63];
        lo = (lo >> 6) | (hi << 58);
        hi >>= 6;
    }
    return text;
}

bool IsOutOfRangeIfcGlobalId(std::string_view text) {
    if (text.size() != kGlobalIdLength || kDigitValues[static_cast<uint8_t>(text[0])] <= 3) return false;
    for (char c : text)
        if (kDigitValues[static_cast<uint8_t>(c)] < 0) return false;
    return true;
}

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
