#include "steptext/IfcGlobalId.h"

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

namespace {

// 22 characters of the alphabet, the first of a value within `firstFrom`..`firstTo`.
bool IsGlobalIdShape(std::string_view text, int firstFrom, int firstTo) {
    if (text.size() != kGlobalIdLength) return false;
    const int first = kDigitValues[static_cast<uint8_t>(text[0])];
    if (first < firstFrom || first > firstTo) return false;
    for (char c : text)
        if (kDigitValues[static_cast<uint8_t>(c)] < 0) return false;
    return true;
}

} // namespace

bool IsIfcGlobalIdText(std::string_view text) { return IsGlobalIdShape(text, 0, 3); }

bool IsOutOfRangeIfcGlobalId(std::string_view text) { return IsGlobalIdShape(text, 4, 63); }
