#include "dialogkit/DGModalDialog.h"

#include "basekit/BKText.h"
#include "basekit/BKTime.h"
#include "dialogkit/DGAnswers.h"
#include "dialogkit/DGBackEnd.h"

#include <charconv>
#include <cstdio>

namespace {

bool ParseInt(const std::string& text, int32_t& out) {
    const char* end = text.data() + text.size();
    auto r = std::from_chars(text.data(), end, out);
    return r.ec == std::errc() && r.ptr == end;
}

std::string IsoDate(int32_t value) {
    BKTimeRecord r;
    BKTimeToRecord(value, 0, r);
    char text[24];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u", unsigned{r.year}, unsigned{r.month}, unsigned{r.day});
    return text;
}

// Why a value the user gave an item was not taken, in the script's terms.
std::string RefusalReason(const DGItem* item, const std::string& key, const std::string& value) {
    if (item == nullptr) return "no item " + key;
    if (!item->enabled) return "item " + key + " is disabled";
    std::string given = "item " + key + " refuses " + value;
    switch (item->kind) {
    case DGItemKind::PopUp: return given + " (entries 1-" + std::to_string(item->entries.size()) + ")";
    case DGItemKind::List: return given + " (rows 1-" + std::to_string(item->entries.size()) + ")";
    case DGItemKind::CheckBox:
    case DGItemKind::RadioButton: return given + " (0 or 1)";
    case DGItemKind::IntEdit:
        return given + " (" + std::to_string(item->minimum) + " to " + std::to_string(item->maximum) + ")";
    case DGItemKind::DateControl:
        return given + " (YYYY-MM-DD from " + IsoDate(item->minimum) + " to " + IsoDate(item->maximum) + ")";
    default: return "item " + key + " takes no value";
    }
}

} // namespace

DGModalDialog::DGModalDialog(std::string dialogId, std::string title)
    : dialogId_(std::move(dialogId)), title_(std::move(title)) {}

DGItem& DGModalDialog::AddItem(DGItem item) {
    items_.push_back(std::move(item));
    return items_.back();
}

DGItem* DGModalDialog::FindItem(int16_t id) {
    for (auto& item : items_)
        if (item.id == id) return &item;
    return nullptr;
}

DGItem* DGModalDialog::FindItem(const std::string& numberOrName) {
    int32_t number = 0;
    if (ParseInt(numberOrName, number) && number >= INT16_MIN && number <= INT16_MAX)
        return FindItem(static_cast<int16_t>(number));
    for (auto& item : items_)
        if (!item.name.empty() && item.name == numberOrName) return &item;
    return nullptr;
}

bool DGTakeUserValue(DGItem& item, const std::string& utf8Value) {
    int32_t number = 0;
    switch (item.kind) {
    case DGItemKind::TextEdit:
    case DGItemKind::StaticText: item.text = BKFromUtf8(utf8Value); return true;
    case DGItemKind::PopUp:
    case DGItemKind::List:
        if (!ParseInt(utf8Value, number) || number < 1 || number > static_cast<int32_t>(item.entries.size())) return false;
        item.value = number;
        return true;
    case DGItemKind::CheckBox:
    case DGItemKind::RadioButton:
        if (!ParseInt(utf8Value, number) || (number != 0 && number != 1)) return false;
        item.value = number;
        return true;
    case DGItemKind::IntEdit:
        if (!ParseInt(utf8Value, number) || number < item.minimum || number > item.maximum) return false;
        item.value = number;
        return true;
    case DGItemKind::DateControl: {
        int y = 0, m = 0, d = 0;
        char tail = 0;
        if (std::sscanf(utf8Value.c_str(), "%d-%d-%d%c", &y, &m, &d, &tail) != 3) return false;
        auto t = BKMakeTime(y, m, d, 0, 0);
        if (!t || *t < item.minimum || *t > item.maximum) return false;
        item.value = *t;
        return true;
    }
    case DGItemKind::Button:
    case DGItemKind::GroupBox:
    case DGItemKind::ProgressBar:
    case DGItemKind::UserArea: return false;
    }
    return false;
}

bool DGModalDialog::ApplyChange(const std::string& itemKey, const std::string& utf8Value) {
    DGItem* item = FindItem(itemKey);
    if (item == nullptr || !item->enabled || !DGTakeUserValue(*item, utf8Value)) return false;
    if (item->kind == DGItemKind::RadioButton && item->value == 1) {
        // Radio buttons in one group share the name before '#'.
        auto group = item->name.substr(0, item->name.find('#'));
        for (auto& other : items_)
            if (&other != item && other.kind == DGItemKind::RadioButton && !group.empty() &&
                other.name.substr(0, other.name.find('#')) == group)
                other.value = 0;
    }
    if (onChange) onChange(*this, item->id);
    return true;
}

DGCanvas DGModalDialog::DrawRow(int16_t item, int32_t row, int32_t width, int32_t height) {
    DGCanvas canvas(width, height);
    const DGItem* list = FindItem(item);
    if (list == nullptr || row < 1 || row > static_cast<int32_t>(list->entries.size())) return canvas;
    if (onDrawRow) onDrawRow(*this, item, row, canvas);
    else canvas.DrawTextLeft(4, (height - canvas.TextHeight()) / 2, list->entries[static_cast<size_t>(row) - 1].text, 0, 0,
                             width, height, kDGWindowTextColor);
    return canvas;
}

int16_t DGModalDialog::Run(int16_t okItem, int16_t cancelItem) {
    if (IDGBackEnd* backEnd = DGCurrentBackEnd()) {
        int16_t pressed = backEnd->RunModal(*this, okItem, cancelItem);
        DGRecordDialog({dialogId_, pressed == okItem});
        return pressed;
    }
    auto answer = DGTakeDialogAnswer(dialogId_);
    int16_t pressed = cancelItem;
    bool closed = false;
    bool valid = true;
    if (answer) {
        std::vector<DGDialogStep> steps = answer->steps;
        if (steps.empty()) {
            for (const auto& [key, value] : answer->items) steps.push_back({key, value, false});
            steps.push_back({std::to_string(answer->press), {}, true});
        }
        for (const auto& step : steps) {
            if (closed) {
                valid = false; // steps after the dialog closed reach nobody
                DGReportDialogRefusal(dialogId_, "the dialog closed before " + step.item +
                                                     (step.press ? "" : "=" + step.value));
                break;
            }
            if (!step.press) {
                if (!ApplyChange(step.item, step.value)) {
                    valid = false;
                    DGReportDialogRefusal(dialogId_, RefusalReason(FindItem(step.item), step.item, step.value));
                }
                continue;
            }
            // Beside numbers and names, `ok` and `cancel` name the buttons that confirm and cancel.
            DGItem* button = FindItem(step.item);
            if (button == nullptr && (step.item == "ok" || step.item == "cancel"))
                button = FindItem(step.item == "ok" ? okItem : cancelItem);
            if (button == nullptr || button->kind != DGItemKind::Button || !button->enabled) {
                valid = false;
                DGReportDialogRefusal(dialogId_, button == nullptr ? "no item " + step.item
                                                 : button->kind != DGItemKind::Button
                                                     ? "item " + step.item + " is not a button"
                                                     : "button " + step.item + " is disabled");
                continue;
            }
            // A press the dialog refuses to close on (a check, a button opening another
            // dialog) leaves it open for the next steps.
            if (!onClick || onClick(*this, button->id)) {
                pressed = button->id;
                closed = true;
            }
        }
        if (!valid) DGCountUnansweredQuestion(); // a change or press that could not be made is a script error
    }
    if (!closed) {
        if (answer && valid) DGReportDialogRefusal(dialogId_, "no press closed the dialog (it kept refusing its values)");
        DGCountUnansweredQuestion();
        if (onClick) onClick(*this, cancelItem);
        pressed = cancelItem;
    }
    DGRecordDialog({dialogId_, pressed == okItem});
    return pressed;
}
