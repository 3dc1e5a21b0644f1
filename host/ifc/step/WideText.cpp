#include "host/ifc/step/WideText.h"

#include <cstdint>

std::string Utf8FromWide(const std::wstring& text) {
    // Most texts of a model are plain ASCII: one byte for each character, written in one go.
    size_t ascii = 0;
    while (ascii < text.size() && static_cast<uint32_t>(text[ascii]) < 0x80) ++ascii;
    std::string out(ascii, '\0');
    for (size_t i = 0; i < ascii; ++i) out[i] = static_cast<char>(text[i]);
    if (ascii == text.size()) return out;
    out.reserve(text.size() + (text.size() - ascii) * 3);
    for (size_t i = ascii; i < text.size(); ++i) AppendUtf8(out, static_cast<uint32_t>(text[i]));
    return out;
}

std::string SingleLine(std::string text) {
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    return text;
}
