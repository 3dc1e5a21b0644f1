#pragma once
// The IFC library keeps texts as wide strings of code points; the host speaks UTF-8.
#include "steptext/Utf8Append.h"

#include <cstdint>
#include <string>

// Code points that are not characters (surrogates, beyond U+10FFFF) become U+FFFD.
std::string Utf8FromWide(const std::wstring& text);
// Control characters (line breaks, tabs) as blanks: a name from the file inside one line of the
// report or of an error.
std::string SingleLine(std::string text);
