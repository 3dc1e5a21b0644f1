#pragma once
// The host's 8-bit text (Windows-1250) for a UTF-8 text out of an IFC file. A character the
// code page lacks becomes its nearest Latin letters ("ø" "o", "Æ" "AE"), or '?' when it has
// none; line breaks and other control characters become blanks; blanks at either end go. At
// most `maxBytes` bytes are kept.
#include <cstddef>
#include <string>
#include <string_view>

std::string HostTextFromIfc(std::string_view utf8, size_t maxBytes);
