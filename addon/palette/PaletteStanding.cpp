// The palette's view choice and status date: which dates the model follows, and up to when what
// happened is known. A change shows the model again when it shows a date.
#include "palette/MainDialogCPP.h"

#include "display/DisplayPass.h"
#include "display/ElementHider.h"
#include "resources/AddonDialogs.h"
#include "resources/AddonResources.h"

namespace {

constexpr int16_t kStandingTexts = 32644, kViewNames = 1, kViewUndo = 4, kStatusUndo = 5;
constexpr int16_t kBaselineDialog = 32509, kBaselineOk = 1, kBaselineCancel = 2, kBaselineName = 4;

} // namespace

void MainDialogCPP::FillStandingControls() {
    if (!dialog_ || !dialog_->Item(kViewChoice)) return;
    DGDialog& d = *dialog_;
    if (d.Item(kViewChoice)->entries.empty())
        for (uint8_t v = 0; v < kScheduleViewCount; ++v)
            d.PopUpAppend(kViewChoice, AddonString(kStandingTexts, static_cast<int16_t>(kViewNames + v)), v);
    d.SetItemValue(kViewChoice, static_cast<int32_t>(taskDB_.View()) + 1);
    // No status date set: the control offers today, which is what the views use then.
    d.SetItemValue(kStatusDate, taskDB_.DataDate().DayBefore().ToPlatformTime());
}

void MainDialogCPP::ViewChanged() {
    const int32_t item = dialog_->ItemValue(kViewChoice);
    if (item < 1 || item > kScheduleViewCount) return;
    const auto view = static_cast<ScheduleView>(item - 1);
    if (view == taskDB_.View()) return;
    taskDB_.SetView(view);
    if (elementHider_.ShowsDate())
        DisplayPass(elementHider_, taskDB_).ShowAtCurrentDate(AddonString(kStandingTexts, kViewUndo));
}

void MainDialogCPP::StatusDateChanged() {
    DateTime chosen;
    chosen.FromPlatformTime(dialog_->ItemValue(kStatusDate));
    const DateTime end = chosen.EndOfDay();
    if (end == taskDB_.StatusDate()) return;
    taskDB_.SetStatusDate(end);
    if (taskDB_.View() != ScheduleView::Planned && elementHider_.ShowsDate())
        DisplayPass(elementHider_, taskDB_).ShowAtCurrentDate(AddonString(kStandingTexts, kStatusUndo));
}

void MainDialogCPP::KeepBaselineCommand() {
    auto dialog = MakeAddonModalDialog(kBaselineDialog);
    if (!dialog || dialog->Run(kBaselineOk, kBaselineCancel) != kBaselineOk) return;
    const DGItem* name = dialog->FindItem(kBaselineName);
    if (name && taskDB_.KeepBaseline(name->text)) RefillList(true);
}

void MainDialogCPP::MarkDoneCommand(size_t index, const std::string& caption) {
    if (!taskDB_.MarkDoneToStatusDate(index)) return;
    RefillList(true);
    if (taskDB_.View() != ScheduleView::Planned && elementHider_.ShowsDate())
        DisplayPass(elementHider_, taskDB_).ShowAtCurrentDate(caption);
}
