// In-place editing of one row: name, type, profile and dates are edited over the row's cells.
#include "palette/MainDialogCPP.h"

#include "bytes/FixedText.h"
#include "display/DisplayPass.h"
#include "display/ElementHider.h"
#include "resources/AddonAlerts.h"
#include "resources/AddonResources.h"

namespace {

// The type pop-up lists the five types from its first item on. A type it has no item for shows the
// first item; committing stores that one.
int32_t TypeItem(ConstructionType type) {
    return IsKnownConstructionType(type) ? ConstructionTypeValue(type) + 1 : 1;
}

ConstructionType TypeOfItem(int32_t item) {
    std::optional<ConstructionType> type = item >= 1 ? ConstructionTypeFromInt(item - 1) : std::nullopt;
    return type.value_or(ConstructionType::Construction);
}

constexpr int16_t kProfileTexts = 32642;

} // namespace

// The type's own first, then the schedule's profiles in their order.
void MainDialogCPP::FillProfileEditor(int32_t taskId) {
    DGDialog& d = *dialog_;
    d.Item(kProfileEditor)->entries.clear();
    d.PopUpAppend(kProfileEditor, AddonString(kProfileTexts, 1), 0);
    const ProfileSet& set = elementHider_.Profiles();
    const std::string& own = set.TaskChoice(taskId);
    int32_t chosen = 1;
    for (size_t i = 0; i < set.Profiles().size(); ++i) {
        d.PopUpAppend(kProfileEditor, set.Profiles()[i].name, static_cast<int32_t>(i + 1));
        if (set.Profiles()[i].name == own) chosen = static_cast<int32_t>(i + 2);
    }
    d.SetItemValue(kProfileEditor, chosen);
}

std::string MainDialogCPP::ChosenProfile() {
    const DGItem* item = dialog_ ? dialog_->Item(kProfileEditor) : nullptr;
    if (!item || item->value <= 1 || static_cast<size_t>(item->value) > item->entries.size()) return {};
    return item->entries[static_cast<size_t>(item->value) - 1].text;
}

void MainDialogCPP::StoreProfileChoice(int32_t taskId, const std::string& profile) {
    ProfileSet& set = elementHider_.Profiles();
    // A profile deleted while the row was in edit leaves the task as it was.
    if (profile == set.TaskChoice(taskId) || !set.ChooseForTask(taskId, profile)) return;
    taskDB_.SetDirty(true);
    if (elementHider_.ShowsDate()) DisplayPass(elementHider_, taskDB_).ShowAtCurrentDate(AddonString(kProfileTexts, 2));
}

void MainDialogCPP::BeginRowEdit(int32_t row) {
    if (!IsTaskRow(row)) return;
    Task t;
    taskDB_.GetTaskAt(static_cast<size_t>(row) - 1, t);
    editedRow_ = row;
    editedTaskId_ = t.id;
    DGDialog& d = *dialog_;
    d.SetItemValue(kTypeEditor, TypeItem(t.type));
    FillProfileEditor(t.id);
    d.SetItemValue(kStartEditor, t.start.status == DateTimeStatus::Valid ? t.start.ToPlatformTime() : DateTime::Now().ToPlatformTime());
    d.SetItemValue(kFinishEditor, t.finish.status == DateTimeStatus::Valid ? t.finish.DayBefore().ToPlatformTime()
                                                           : DateTime::Now().ToPlatformTime());
    d.SetItemText(kNameEditor, std::string(t.Name()));
    FillProgressEditors(static_cast<size_t>(row) - 1);
    PlaceEditors();
}

void MainDialogCPP::PlaceEditors() {
    DGListState& list = *dialog_->List(kList);
    if (list.selected < 1) return;
    ++list.drawSuspended;
    list.editorsRow = list.selected;
    list.onTabs = {{1, kNameEditor}, {2, kTypeEditor}, {3, kProfileEditor}, {4, kStartEditor}, {5, kFinishEditor}};
    for (int16_t e = kNameEditor; e <= kFinishEditor; ++e) dialog_->ShowItem(e, true);
    dialog_->ShowItem(kProfileEditor, true);
    ShowProgressEditors(true);
    --list.drawSuspended;
    ++list.redraws;
}

void MainDialogCPP::RemoveEditors() {
    DGListState& list = *dialog_->List(kList);
    ++list.drawSuspended;
    list.editorsRow = 0;
    list.onTabs.clear();
    for (int16_t e = kNameEditor; e <= kFinishEditor; ++e) dialog_->ShowItem(e, false);
    dialog_->ShowItem(kProfileEditor, false);
    ShowProgressEditors(false);
}

bool MainDialogCPP::StoreRowEdit() {
    if (editedRow_ < 0) return true;
    DGDialog& d = *dialog_;
    DateTime start, finish;
    start.FromPlatformTime(d.ItemValue(kStartEditor));
    finish.FromPlatformTime(d.ItemValue(kFinishEditor));
    start = start.StartOfDay();
    finish = finish.EndOfDay();
    if (start.ticks > finish.DayBefore().ticks) return false;
    sortColumn_ = -1;
    // The edit's task is no longer on its row (the schedule changed under it): nothing to store into.
    if (!IsTaskRow(editedRow_) || taskDB_.Tasks()[static_cast<size_t>(editedRow_) - 1].id != editedTaskId_)
        return true;
    Task t;
    taskDB_.GetTaskAt(static_cast<size_t>(editedRow_) - 1, t);
    t.start = start;
    t.finish = finish;
    t.type = TypeOfItem(d.ItemValue(kTypeEditor));
    t.SetName(d.ItemText(kNameEditor));
    taskDB_.SetTaskAt(static_cast<size_t>(editedRow_) - 1, t);
    StoreProgressEdit(static_cast<size_t>(editedRow_) - 1);
    taskDB_.RecomputeStates();
    StoreProfileChoice(t.id, ChosenProfile());
    return true;
}

bool MainDialogCPP::CommitRowEdit() {
    if (editedRow_ < 0 || !dialog_) return true;
    DGListState& list = *dialog_->List(kList);
    if (StoreRowEdit()) {
        RemoveEditors();
        FillRow(editedRow_);
        --list.drawSuspended;
        ++list.redraws;
        editedRow_ = -1;
        return true;
    }
    // The list, and with it the palette's rows, go back to the edited row.
    list.selected = selectedRow_ = previousRow_ = editedRow_;
    PlaceEditors();
    AddonAlert(kAlertFinishBeforeStart);
    return false;
}

void MainDialogCPP::DiscardRowEdit() {
    if (editedRow_ < 0 || !dialog_) return;
    RemoveEditors();
    --dialog_->List(kList)->drawSuspended;
    editedRow_ = -1;
}

void MainDialogCPP::ListSelectionChanged() {
    DGListState& list = *dialog_->List(kList);
    selectedRow_ = list.selected;
    if (selectedRow_ >= 1) {
        previousRow_ = selectedRow_;
        CommitRowEdit();
        return;
    }
    if (IsTaskRow(previousRow_)) list.selected = previousRow_;
    else previousRow_ = -1;
    // A failed commit puts every row field back on the edited row, so the second commit below
    // cannot ask about the same edit again in this one gesture.
    CommitRowEdit();
    selectedRow_ = list.selected;
    if (selectedRow_ != editedRow_) CommitRowEdit();
}

void MainDialogCPP::ListDoubleClicked(int32_t row) {
    DGListState& list = *dialog_->List(kList);
    selectedRow_ = list.selected;
    if (row == editedRow_) return;
    // The double click's first click did not keep its row: its commit failed and said so already.
    if (list.selected != row) return;
    if (!IsTaskRow(row)) return;
    if (!CommitRowEdit()) return;
    list.selected = selectedRow_ = row;
    BeginRowEdit(row);
}
