#include "host/storage/HexText.h"

namespace {

int DigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

std::string EncodeHex(std::span<const uint8_t> bytes) {
    static const char* digits = "0123456789abcdef";
    std::string s;
    s.reserve(bytes.size() * 2);
    for (uint8_t b : bytes) {
        s.push_back(digits[b >> 4]);
        s.push_back(digits[b & 15]);
    }
    return s;
}

HexFault DecodeHex(std::string_view text, std::vector<uint8_t>& out) {
    out.clear();
    if (text.size() % 2) return HexFault::OddLength;
    out.reserve(text.size() / 2);
    for (size_t i = 0; i < text.size(); i += 2) {
        int hi = DigitValue(text[i]), lo = DigitValue(text[i + 1]);
        if (hi < 0 || lo < 0) return HexFault::NotADigit;
        out.push_back(static_cast<uint8_t>(hi << 4 | lo));
    }
    return HexFault::None;
}
