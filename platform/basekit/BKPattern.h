#pragma once
// Matching a text against a pattern as a finder does: `*` stands for any run of characters,
// `?` for one character, every other character for itself without letter case ("É" is "é").
// Texts are UTF-8; a malformed byte stands for itself.
#include <string_view>

bool BKMatchesPattern(std::string_view utf8Text, std::string_view utf8Pattern);
