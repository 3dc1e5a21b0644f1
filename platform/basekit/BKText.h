#pragma once
// Text in the host's 8-bit code page (Windows-1250) and its conversions at the UI boundary.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// UTF-8 from Windows-1250; bytes without a character become U+FFFD.
std::string BKToUtf8(std::string_view cp1250);
// Windows-1250 from UTF-8; characters without a byte become '?'. Invalid UTF-8 bytes too.
std::string BKFromUtf8(std::string_view utf8);
// The first character of a UTF-8 text that Windows-1250 lacks (or a malformed byte, as U+FFFD),
// for readers that must refuse rather than let it become '?'.
struct BKUnmappable {
    size_t offset; // bytes into the text
    size_t length; // its bytes
    char32_t character;
};
std::optional<BKUnmappable> BKFirstUnmappable(std::string_view utf8);
// UTF-16 from Windows-1250.
std::u16string BKToUtf16(std::string_view cp1250);
// Windows-1250 from UTF-16.
std::string BKFromUtf16(std::u16string_view utf16);

// UTF-8 from UTF-16 (surrogate pairs joined) and back; malformed input becomes U+FFFD.
std::string BKUtf16ToUtf8(std::u16string_view utf16);
std::u16string BKUtf8ToUtf16(std::string_view utf8);

enum class BKCaseMode { Sensitive, Ignore };

// Three-way comparison of two Windows-1250 texts in a Hungarian-aware order: accented vowels
// sort with their base letter (a á, e é, i í, u ú), ö ő after o, ü ű after u, digits before
// letters. With case ignored, texts that differ only in case compare equal; the order is total.
int BKCompareText(std::string_view a, std::string_view b, BKCaseMode mode);
