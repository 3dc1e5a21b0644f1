#pragma once
// The text of an item of the add-on's menu, as the host shows it.
#include <cstdint>
#include <string>

// `text` is 8-bit; an empty one (a missing resource) leaves the item as it is.
void SetAddonMenuItemText(int32_t item, const std::string& text);
