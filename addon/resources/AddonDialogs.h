#pragma once
// Dialog descriptions from the add-on's resources ('DLG '): size, title and items with their
// places and texts. Modal and modeless dialogs are both built from this form.
#include "basekit/BKResources.h"
#include "dialogkit/DGModalDialog.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

constexpr uint32_t kAddonDialogType = BKResType("DLG ");

struct AddonDialogDescription {
    int16_t width = 0, height = 0;
    std::string title; // 8-bit
    std::vector<DGItem> items;
};

// Decodes a stored description; false when it is malformed (every length is checked).
bool DecodeAddonDialog(std::span<const uint8_t> data, AddonDialogDescription& out);
// Dialog `id` of the add-on's own resources; false when absent or malformed.
bool GetAddonDialog(int16_t id, AddonDialogDescription& out);
// A headless modal dialog with the description's title and items; its dialog id is the number
// as text ("32505"), which the host's `dialog` answers address. Null when the description is missing.
std::unique_ptr<DGModalDialog> MakeAddonModalDialog(int16_t id);
