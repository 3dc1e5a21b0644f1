#pragma once
// A modal dialog of the headless back-end. The dialog keeps its items' state; Run() applies the
// next queued answer for the dialog's id as the user's changes (each ITEM=VALUE in order, ITEM
// being the item number or its name), then presses the answer's item. Without a queued answer
// the cancel item is pressed and the question counted as unanswered.
//
// Values by item kind: pop-up, the 1-based entry; check box and radio button, 0 or 1; text edit,
// the text (UTF-8); integer edit, a decimal number; date control, YYYY-MM-DD; list, the row
// from 1 (a modal dialog's list keeps its rows as the item's entries, its value the selected row).
#include "dialogkit/DGCanvas.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

enum class DGItemKind {
    Button, StaticText, TextEdit, PopUp, CheckBox, RadioButton, IntEdit, DateControl, GroupBox,
    List, ProgressBar, // appended: stored descriptions number kinds in this order
    UserArea,          // drawn by its owner on a canvas, with the mouse and keys passed to it
};

struct DGRect {
    int16_t left = 0, top = 0, width = 0, height = 0;
};

struct DGPopUpEntry {
    std::string text; // 8-bit code page
    int32_t data = 0;
};

struct DGItem {
    int16_t id = 0;
    DGItemKind kind = DGItemKind::Button;
    std::string name;  // optional script name ("codec")
    std::string text;  // 8-bit code page
    DGRect rect;
    int32_t value = 0; // pop-up entry (1-based), check state, integer, or platform time of a date control
    bool enabled = true;
    bool visible = true;
    std::vector<DGPopUpEntry> entries;
    // Integer edits and date controls refuse values outside these; a progress bar's maximum.
    int32_t minimum = INT32_MIN;
    int32_t maximum = INT32_MAX;
};

// Takes a value the user gave an item (see above for the forms); false, with the item unchanged,
// when the value does not fit the item's kind or bounds.
bool DGTakeUserValue(DGItem& item, const std::string& utf8Value);

class DGModalDialog {
public:
    DGModalDialog(std::string dialogId, std::string title);

    DGItem& AddItem(DGItem item);
    DGItem* FindItem(int16_t id);
    DGItem* FindItem(const std::string& numberOrName);
    const std::vector<DGItem>& Items() const { return items_; }
    const std::string& DialogId() const { return dialogId_; }
    const std::string& Title() const { return title_; }

    // Called after each change the user makes; the item's new state is already in place.
    std::function<void(DGModalDialog&, int16_t item)> onChange;
    // Called when a button is pressed; return false to keep the dialog open (for a confirm check).
    std::function<bool(DGModalDialog&, int16_t item)> onClick;
    // Draws row `row` (from 1) of a list item; without it the row shows its entry's text.
    std::function<void(DGModalDialog&, int16_t item, int32_t row, DGCanvas&)> onDrawRow;

    // The row as the owner draws it at a size in pixels.
    DGCanvas DrawRow(int16_t item, int32_t row, int32_t width, int32_t height);

    // Returns the item that closed the dialog. `okItem` counts as confirmation in the log.
    int16_t Run(int16_t okItem, int16_t cancelItem);

    // Applies one user change; false when the item does not exist or the value does not fit it.
    bool ApplyChange(const std::string& item, const std::string& utf8Value);

private:
    std::string dialogId_;
    std::string title_;
    std::vector<DGItem> items_;
};
