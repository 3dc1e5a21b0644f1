#pragma once
// The texts the page's frame takes: whatever a model or a schedule holds is written so that the
// page shows it and nothing of it runs.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// `&`, `<`, `>`, `"` and `'` as character references.
std::string EscapeHtmlText(std::string_view utf8);
// JSON for the inside of a script element: `<`, `>`, `&`, U+2028 and U+2029 as \u escapes,
// so no text can end the element or break the line a script reads.
std::string JsonForScript(std::string_view json);
std::string Base64Of(std::span<const uint8_t> bytes);
