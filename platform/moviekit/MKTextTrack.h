#pragma once
// The stored forms of the QuickTime text track (3GPP timed text, "tx3g"), big-endian.
#include <cstdint>
#include <string_view>
#include <vector>

// The sample description: white text on a transparent box along the bottom of the picture.
std::vector<uint8_t> MKTextSampleEntry(int32_t width, int32_t height);
// One text sample: a 16-bit length and the UTF-8 text, cut at a character boundary to 65535 bytes.
std::vector<uint8_t> MKTextSample(std::string_view utf8);
