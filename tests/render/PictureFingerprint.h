#pragma once
// What picture tests compare against: the source tree's files, and a picture's pixels as one
// number that a test can keep.
#include "host/render/Renderer.h"

#include <cstdint>
#include <cstdlib>
#include <string>

inline std::string SourceDir() {
    const char* dir = std::getenv("BV_SOURCE_DIR");
    return dir ? dir : ".";
}

// FNV-1a over the pixels' bytes, little-endian.
inline uint64_t Fingerprint(const Image& image) {
    uint64_t h = 14695981039346656037ull;
    for (uint32_t p : image.pixels)
        for (int k = 0; k < 4; ++k) {
            h ^= (p >> (8 * k)) & 0xFF;
            h *= 1099511628211ull;
        }
    return h;
}
