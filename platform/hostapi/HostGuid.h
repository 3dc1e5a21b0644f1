#pragma once
// The host's 128-bit element identifier, kept as its 16 stored bytes.
#include <array>
#include <compare>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

struct API_Guid {
    std::array<uint8_t, 16> bytes{};

    bool IsNull() const {
        for (uint8_t b : bytes)
            if (b) return false;
        return true;
    }
    auto operator<=>(const API_Guid&) const = default;
    // Two 8-byte compares, not a library call: lookups compare identifiers all the time.
    bool operator==(const API_Guid& o) const {
        uint64_t a[2], b[2];
        std::memcpy(a, bytes.data(), 16);
        std::memcpy(b, o.bytes.data(), 16);
        return ((a[0] ^ b[0]) | (a[1] ^ b[1])) == 0;
    }

    static API_Guid FromBytes(const uint8_t* p) {
        API_Guid g;
        std::memcpy(g.bytes.data(), p, 16);
        return g;
    }
    void ToBytes(uint8_t* p) const { std::memcpy(p, bytes.data(), 16); }

    // 8-4-4-4-12 hexadecimal text.
    std::string ToString() const {
        char buf[40];
        const uint8_t* b = bytes.data();
        std::snprintf(buf, sizeof buf, "%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X", b[0], b[1],
                      b[2], b[3], b[4], b[5], b[6], b[7], b[8], b[9], b[10], b[11], b[12], b[13], b[14], b[15]);
        return buf;
    }
    static bool FromString(const std::string& text, API_Guid& out) {
        API_Guid g;
        size_t k = 0;
        for (size_t i = 0; i < text.size(); ++i) {
            char c = text[i];
            if (c == '-') continue;
            int v = (c >= '0' && c <= '9') ? c - '0' : (c >= 'a' && c <= 'f') ? c - 'a' + 10 : (c >= 'A' && c <= 'F') ? c - 'A' + 10 : -1;
            if (v < 0 || k >= 32) return false;
            g.bytes[k / 2] = static_cast<uint8_t>(g.bytes[k / 2] | (k % 2 ? v : v << 4));
            ++k;
        }
        if (k != 32) return false;
        out = g;
        return true;
    }
};

// A hash of the identifier for unordered containers: both 64-bit halves mixed, so identifiers
// that differ in any byte (random ones, derived ones, IFC GlobalIds) spread over the buckets.
struct API_GuidHash {
    size_t operator()(const API_Guid& g) const noexcept {
        uint64_t lo, hi;
        std::memcpy(&lo, g.bytes.data(), 8);
        std::memcpy(&hi, g.bytes.data() + 8, 8);
        uint64_t h = lo * 0x9E3779B97F4A7C15ULL ^ (hi + 0x632BE59BD9B4E019ULL) * 0xC2B2AE3D27D4EB4FULL;
        h ^= h >> 29;
        h *= 0xBF58476D1CE4E5B9ULL;
        h ^= h >> 32;
        return static_cast<size_t>(h);
    }
};
