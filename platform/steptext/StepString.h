#pragma once
// A STEP string both ways: quoted, with IFC's escapes for what is not printable ASCII.
#include <optional>
#include <string>
#include <string_view>

// The UTF-8 text quoted: apostrophes and backslashes doubled, every other character beyond
// printable ASCII as \X2\ with UTF-16 units. A control character below U+0020 becomes a blank,
// DEL and a byte that starts no whole UTF-8 sequence U+FFFD, so the string always reads back.
std::string StepStringOf(std::string_view utf8);
// A string with its escapes decoded ('' \\ \X\hh \X2\...\X0\ \X4\...\X0\ \S\c \P?\), as UTF-8;
// nothing for an attribute that is no string (also inside a typed value).
std::optional<std::string> StepString(std::string_view attribute);
