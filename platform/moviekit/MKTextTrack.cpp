#include "moviekit/MKTextTrack.h"

#include <algorithm>
#include <cstddef>

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v >> 8));
    out.push_back(static_cast<uint8_t>(v));
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v >> 16);
    Put16(out, v & 0xFFFF);
}

} // namespace

std::vector<uint8_t> MKTextSampleEntry(int32_t width, int32_t height) {
    int32_t w = std::clamp(width, 0, 32767);
    int32_t h = std::clamp(height, 0, 32767);
    int32_t boxTop = h - std::min(h, 60);
    std::vector<uint8_t> out;
    Put32(out, 0);           // display flags
    out.push_back(0x01);     // horizontal justification: centre
    out.push_back(0xFF);     // vertical justification: bottom
    Put32(out, 0);           // background colour, transparent
    Put16(out, static_cast<uint32_t>(boxTop)); // text box: top, left, bottom, right
    Put16(out, 0);
    Put16(out, static_cast<uint32_t>(h));
    Put16(out, static_cast<uint32_t>(w));
    Put16(out, 0);           // style record: first and last character
    Put16(out, 0);
    Put16(out, 1);           // font id
    out.push_back(0);        // face style
    out.push_back(18);       // font size
    Put32(out, 0xFFFFFFFF);  // text colour, opaque white
    // Font table: one font, id 1, "Sans".
    Put32(out, 8 + 2 + 2 + 1 + 4);
    out.insert(out.end(), {'f', 't', 'a', 'b'});
    Put16(out, 1);
    Put16(out, 1);
    out.push_back(4);
    out.insert(out.end(), {'S', 'a', 'n', 's'});
    return out;
}

std::vector<uint8_t> MKTextSample(std::string_view utf8) {
    size_t n = std::min<size_t>(utf8.size(), 65535);
    // Never end inside a character.
    while (n > 0 && n < utf8.size() && (static_cast<unsigned char>(utf8[n]) & 0xC0) == 0x80) --n;
    std::vector<uint8_t> out;
    out.reserve(2 + n);
    Put16(out, static_cast<uint32_t>(n));
    out.insert(out.end(), utf8.begin(), utf8.begin() + static_cast<std::ptrdiff_t>(n));
    return out;
}
