#include "palette/MainDialogCPP.h"

#include "bytes/FixedText.h"
#include "bytes/LittleEndian.h"
#include "display/ElementHider.h"
#include "hostapi/HostEnvironmentRecords.h"
#include "hostapi/HostRegistrationRecord.h"
#include "hostapi/HostSelectors.h"
#include "hostcalls/HostInterface.h"
#include "hostcalls/MenuItemText.h"
#include "resources/AddonAlerts.h"
#include "resources/AddonDialogs.h"
#include "resources/AddonMenu.h"
#include "resources/AddonResources.h"
#include "schedule/tasks/AnimationSettings.h"
#include "schedule/tasks/TaskLess.h"

#include <cstring>

namespace {
MainDialogCPP* gPalette = nullptr;
constexpr uint32_t kFlagsForDisplay = 2064;
constexpr int16_t kLinkedCountTip = 32624;
} // namespace

MainDialogCPP* CurrentPalette() { return gPalette; }

MainDialogCPP::MainDialogCPP(TaskDB& taskDB, ElementHider& elementHider)
    : taskDB_(taskDB), elementHider_(elementHider) {
    AddonDialogDescription d;
    if (GetAddonDialog(kDialogId, d))
        dialog_ = std::make_unique<DGDialog>(kDialogId, d.title, d.width, d.height, std::move(d.items));
    gPalette = this;
}

MainDialogCPP::~MainDialogCPP() {
    dialog_.reset();
    if (gPalette == this) gPalette = nullptr;
}

void MainDialogCPP::StartEventProcessing() {
    if (!dialog_) return;
    dialog_->BeginEventProcessing();
    toggleTexts_ = {AddonString(32602, 1), AddonString(32602, 2)};
    pendingSharedWarning_ = false;
    SetToggleText();
}

void MainDialogCPP::StopEventProcessing() {
    if (dialog_) dialog_->EndEventProcessing();
}

void MainDialogCPP::SetToggleText() {
    if (dialog_) dialog_->SetItemText(kMarkToggle, toggleTexts_[marked_ ? 1 : 0]);
}

void MainDialogCPP::SetMarked(bool marked) {
    marked_ = marked;
    SetToggleText();
}

void MainDialogCPP::Opened() {
    HostPaletteRecord record{};
    record.dialogId = DialogId();
    record.callback = &MainDialogCPP::PaletteCallback;
    record.flags = 1;
    uint8_t bytes[sizeof record];
    std::memcpy(bytes, &record, sizeof record);
    if (HostRegisterPalette(bytes) != kHostNoError) return;
    DGDialog& d = *dialog_;
    d.SetFocus(0);
    editedRow_ = previousRow_ = -1;
    for (int i = 0; i < 5; ++i) {
        typeNames_[static_cast<size_t>(i)] = AddonString(32512, static_cast<int16_t>(i + 1));
        d.PopUpAppend(kTypeEditor, typeNames_[static_cast<size_t>(i)], i);
    }
    typeNamesLoaded_ = true;
    for (int16_t e = kNameEditor; e <= kFinishEditor; ++e) d.ShowItem(e, false);
    d.ShowItem(kProfileEditor, false);
    ShowProgressEditors(false);
    if (DGItem* percent = d.Item(kPercentEditor)) {
        percent->minimum = 0;
        percent->maximum = 100;
    }
    DGListState& list = *d.List(kList);
    const DGItem& listItem = *d.Item(kList);
    list.tabs.clear();
    for (int16_t h = kFirstHeader; h <= kLastHeader; ++h) {
        const DGItem& header = *d.Item(h);
        DGTabField tab;
        tab.left = static_cast<int16_t>(header.rect.left - listItem.rect.left);
        tab.right = static_cast<int16_t>(std::min<int>(header.rect.left + header.rect.width - listItem.rect.left,
                                                       listItem.rect.width));
        tab.ownerDrawn = h == 19;
        list.tabs.push_back(tab);
    }
    selectedRow_ = list.selected;
    const std::pair<int16_t, int16_t> editors[] = {{kNameEditor, 17}, {kTypeEditor, 18}, {kProfileEditor, 19}, {kStartEditor, 20}, {kFinishEditor, 21}};
    for (auto [editor, header] : editors)
        d.SetItemSize(editor, static_cast<int16_t>(d.Item(header)->rect.width - 4), static_cast<int16_t>(list.rowHeight - 7));
}

void MainDialogCPP::Closed() {
    typeNamesLoaded_ = false;
    HostUnregisterPalette(kDialogId);
}

void MainDialogCPP::CloseRequested() {
    if (CommitRowEdit()) ShowPalette(false);
}

void MainDialogCPP::ShowPalette(bool show) {
    if (!dialog_) return;
    SetAddonMenuItemText(static_cast<int32_t>(AddonMenuItem::ShowPalette), AddonString(32502, show ? 2 : 1));
    if (show) {
        if (dialog_->IsVisible()) return;
        if (pendingSharedWarning_) {
            pendingSharedWarning_ = false;
            AddonAlert(kAlertDemoMode);
        }
        dialog_->Show();
        visibleByUser_ = true;
    } else {
        if (dialog_->IsVisible()) dialog_->Hide();
        visibleByUser_ = false;
    }
}

void MainDialogCPP::ReportFailure() {
    AddonAlert(kAlertInternalError);
    if (!dialog_) return;
    // The failed event may have stopped anywhere: drawing goes on, and the rows show the
    // schedule as it now is.
    dialog_->List(kList)->drawSuspended = 0;
    RefillList(true);
}

GSErr MainDialogCPP::PaletteCallback(int32_t dialogId, int32_t message, int32_t) {
    MainDialogCPP* p = gPalette;
    if (!p || !p->dialog_ || dialogId != p->DialogId()) return 0;
    // The host's palette manager is an event boundary of the palette too.
    try {
        p->PaletteMessage(message);
    } catch (...) {
        try {
            p->ReportFailure();
        } catch (...) {
        }
    }
    return 0;
}

void MainDialogCPP::PaletteMessage(int32_t message) {
    switch (message) {
    case kHostPaletteClose: dialog_->UserCloseRequest(); break;
    case kHostPaletteHide: {
        bool byUser = visibleByUser_;
        ShowPalette(false);
        visibleByUser_ = byUser;
        break;
    }
    case kHostPaletteShow:
        if (visibleByUser_) ShowPalette(true);
        break;
    case kHostPaletteDisable:
        dialog_->EnableItem(kLink, false);
        dialog_->EnableItem(kUnlink, false);
        break;
    case kHostPaletteEnable:
        dialog_->EnableItem(kLink, true);
        dialog_->EnableItem(kUnlink, true);
        break;
    default: break;
    }
}

int32_t MainDialogCPP::RowCount() {
    DGListState* list = dialog_ ? dialog_->List(kList) : nullptr;
    return list ? static_cast<int32_t>(list->rows.size()) : 0;
}

bool MainDialogCPP::IsTaskRow(int32_t row) {
    if (row < 1 || row > RowCount() || static_cast<size_t>(row) > taskDB_.TaskCount()) return false;
    // A row is only as good as the task it shows: a list not refilled since the schedule changed
    // would name one task and act on another.
    return dialog_->List(kList)->rows[static_cast<size_t>(row) - 1].value ==
           taskDB_.Tasks()[static_cast<size_t>(row) - 1].id;
}

void MainDialogCPP::SelectListRow(int32_t row) {
    if (DGListState* list = dialog_->List(kList)) list->selected = row;
}

void MainDialogCPP::RefillList(bool keepSelection) {
    if (!dialog_) return;
    DGListState& list = *dialog_->List(kList);
    ++list.drawSuspended;
    std::string prefix = AddonString(32605, 1);
    if (!prefix.empty()) {
        std::string title = prefix;
        std::string_view path = BKTextOf(taskDB_.Settings().projectFilePath);
        if (title.size() + path.size() < 512) title += path;
        dialog_->SetTitle(title);
    }
    int32_t remembered = -1;
    if (list.selected >= 1 && list.selected <= static_cast<int16_t>(list.rows.size()))
        remembered = list.rows[static_cast<size_t>(list.selected) - 1].value;
    list.rows.clear();
    list.selected = 0;
    size_t count = taskDB_.TaskCount();
    list.rows.resize(count);
    for (size_t i = 0; i < count; ++i) FillRow(static_cast<int32_t>(i + 1));
    int32_t row = 1;
    if (keepSelection) {
        for (size_t i = count; i > 0; --i)
            if (list.rows[i - 1].value == remembered) {
                row = static_cast<int32_t>(i);
                break;
            }
    }
    dialog_->SetItemValue(kCurrentDate, taskDB_.CurrentDate().DayBefore().ToPlatformTime());
    FillStandingControls();
    if (count > 0) list.selected = row;
    selectedRow_ = list.selected;
    // The old row numbers may name other tasks now, or none: the last selection is this one.
    previousRow_ = selectedRow_ >= 1 ? selectedRow_ : -1;
    int32_t hint = editedRowAfterSort_;
    editedRowAfterSort_ = 0;
    FollowEditedTask(hint);
    --list.drawSuspended;
    ++list.redraws;
}

void MainDialogCPP::FillRow(int32_t row) {
    DGListState& list = *dialog_->List(kList);
    if (row < 1 || static_cast<size_t>(row) > list.rows.size() || static_cast<size_t>(row) > taskDB_.TaskCount())
        return;
    Task t;
    taskDB_.GetTaskAt(static_cast<size_t>(row) - 1, t);
    DGListRow& r = list.rows[static_cast<size_t>(row) - 1];
    r.tabs.assign(5, std::string());
    r.tabs[0] = std::string(t.Name());
    // A summary row or a milestone builds nothing: its type cell stays empty.
    if (IsKnownConstructionType(t.type) && !taskDB_.IsMarkerAt(static_cast<size_t>(row) - 1))
        r.tabs[1] = typeNames_[ConstructionTypeIndex(t.type)];
    char buffer[1024];
    r.tabs[3] = t.start.FormatForDisplay(buffer, sizeof buffer, kFlagsForDisplay);
    r.tabs[4] = t.finish.DayBefore().FormatForDisplay(buffer, sizeof buffer, kFlagsForDisplay);
    r.value = t.id;
    r.colored = (t.flags & LinkedToSelection) != 0;
    r.color = r.colored ? kDGInactiveBorderColor : 0;
}

std::string MainDialogCPP::RowTip(int32_t row) {
    if (row < 1 || static_cast<size_t>(row) > taskDB_.TaskCount()) return {};
    Task t;
    taskDB_.GetTaskAt(static_cast<size_t>(row) - 1, t);
    auto counts = taskDB_.LinkedElementCounts();
    auto it = counts.find(t.id);
    return AddonFormat(kLinkedCountTip, 1, {std::to_string(it == counts.end() ? 0 : it->second)});
}

void MainDialogCPP::DrawStateCell(int32_t row, DGCanvas& canvas) {
    if (taskDB_.TaskCount() == 0 || row < 1 || static_cast<size_t>(row) > taskDB_.TaskCount()) return;
    Task t;
    taskDB_.GetTaskAt(static_cast<size_t>(row) - 1, t);
    if (!t.IsValid()) return;
    int32_t w = canvas.Width(), h = canvas.Height();
    int32_t l = 0, top = 1, r = w - 5, b = h - 2;
    canvas.FrameRect(l, top, r, b, kDGWindowTextColor);
    ++l;
    ++top;
    --r;
    --b;
    int32_t p = t.percentComplete;
    uint32_t color = p <= 33 ? 0x4040FF : p <= 66 ? 0x40FFFF : p <= 99 ? 0x40FFC0 : 0x40FF40;
    int32_t fillRight = l + ((r - l) * p) / 100;
    if (fillRight > l) canvas.FillRect(l, top, fillRight, b, color);
    std::string text = std::to_string(p) + "%";
    canvas.DrawTextCentred((l + r) / 2, top + ((b - top) - canvas.TextHeight()) / 2, text, l, top, r, b);
}

void MainDialogCPP::SortByColumn(int16_t headerId) {
    sortDescending_ = headerId == sortColumn_ && !sortDescending_;
    sortColumn_ = headerId;
    SortFollowingEdit(TaskLess::FromColumn(sortDescending_, headerId, &typeNames_));
}

void MainDialogCPP::SortFollowingEdit(const TaskLess& less) {
    std::vector<Task>& tasks = taskDB_.Tasks();
    editedRowAfterSort_ = 0;
    if (editedRow_ >= 1 && static_cast<size_t>(editedRow_) <= tasks.size()) {
        // Where a stable sort puts the edited task: after every task before it in the order, and
        // after the equal ones that stood before it. The next refill checks the place by the id.
        size_t at = static_cast<size_t>(editedRow_) - 1;
        size_t place = 0;
        for (size_t j = 0; j < tasks.size(); ++j) {
            if (j == at) continue;
            if (less(tasks[j], tasks[at]) || (j < at && !less(tasks[at], tasks[j]))) ++place;
        }
        editedRowAfterSort_ = static_cast<int32_t>(place + 1);
    }
    taskDB_.SortTasks(less);
}

void MainDialogCPP::FollowEditedTask(int32_t hintRow) {
    if (editedRow_ < 0) return;
    DGListState& list = *dialog_->List(kList);
    auto showsEditedTask = [&](int32_t row) { return IsTaskRow(row) && list.rows[static_cast<size_t>(row) - 1].value == editedTaskId_; };
    int32_t row = 0;
    if (showsEditedTask(hintRow)) {
        row = hintRow;
    } else if (hintRow == 0 && showsEditedTask(editedRow_)) {
        row = editedRow_; // the order did not change
    } else {
        for (size_t i = 0; i < list.rows.size(); ++i) {
            if (list.rows[i].value != editedTaskId_) continue;
            if (row != 0) { // two tasks share the id: either could be the edited one
                row = 0;
                break;
            }
            row = static_cast<int32_t>(i + 1);
        }
    }
    if (!showsEditedTask(row)) {
        // Never stored into another task: an edit that lost its task ends unstored.
        DiscardRowEdit();
        return;
    }
    editedRow_ = row;
    list.selected = selectedRow_ = previousRow_ = row;
    PlaceEditors();
}

void MainDialogCPP::ReSortIfByState() {
    if (sortColumn_ == 19) {
        SortFollowingEdit(TaskLess::FromColumn(sortDescending_, 19, &typeNames_));
        RefillList(true);
    } else if (DGListState* list = dialog_->List(kList)) {
        for (int32_t row = 1; row <= static_cast<int32_t>(list->rows.size()); ++row) FillRow(row);
        ++list->redraws;
    }
}

void MainDialogCPP::CurrentDateChanged() {
    DateTime chosen;
    chosen.FromPlatformTime(dialog_->ItemValue(kCurrentDate));
    taskDB_.SetCurrentDate(chosen.EndOfDay(), false);
    ReSortIfByState();
}

void MainDialogCPP::DateEditorChanged() {
    StoreRowEdit();
    ReSortIfByState();
}

void MainDialogCPP::Resized(int16_t dx, int16_t dy) {
    DGDialog& d = *dialog_;
    DGListState& list = *d.List(kList);
    auto moveTabs = [&] {
        if (dx == 0 || list.tabs.empty()) return;
        list.tabs[0].right = static_cast<int16_t>(list.tabs[0].right + dx);
        for (size_t i = 1; i < list.tabs.size(); ++i) {
            list.tabs[i].left = static_cast<int16_t>(list.tabs[i].left + dx);
            list.tabs[i].right = static_cast<int16_t>(list.tabs[i].right + dx);
        }
    };
    if (dx < 0) moveTabs();
    for (int16_t b = kLink; b <= kDeleteTask; ++b) d.MoveItem(b, dx, 0);
    for (int16_t i : {kShowAll, kShowBuilt, kCurrentDate, kDateLabel, kViewChoice, kStatusDate, kStatusDateLabel,
                      kKeepBaseline, kStartedCheck, kActualStartEditor, kFinishedCheck, kActualFinishEditor, kPercentLabel,
                      kPercentEditor})
        d.MoveItem(i, 0, dy);
    d.MoveItem(kMarkDone, dx, dy);
    d.GrowItem(kList, dx, dy);
    if (dx != 0) {
        d.GrowItem(kFirstHeader, dx, 0);
        d.GrowItem(kNameEditor, dx, 0);
        for (int16_t h = 18; h <= kLastHeader; ++h) d.MoveItem(h, dx, 0);
        for (int16_t e : {kTypeEditor, kProfileEditor, kStartEditor, kFinishEditor}) d.MoveItem(e, dx, 0);
    }
    if (dx > 0) moveTabs();
}
