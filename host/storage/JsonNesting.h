#pragma once
// Copying and writing JSON values recurse once per level, so a hostile file could exhaust the
// stack long after parsing; its text is measured before it is parsed.
#include <cstddef>
#include <optional>
#include <string_view>

// The byte at which the text opens more than `maxNesting` lists or objects, if it does.
std::optional<size_t> FindTooDeepNesting(std::string_view text, size_t maxNesting);
