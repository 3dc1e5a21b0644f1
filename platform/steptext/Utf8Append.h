#pragma once
// One code point onto UTF-8 text; one that is no character (a surrogate, past U+10FFFF) as
// U+FFFD, so whatever a file holds becomes valid UTF-8.
#include <cstdint>
#include <string>

void AppendUtf8(std::string& out, uint32_t codePoint);
