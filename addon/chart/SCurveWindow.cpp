#include "chart/SCurveWindow.h"

#include "basekit/BKText.h"
#include "chart/SCurveDrawing.h"
#include "hostcalls/MenuItemText.h"
#include "resources/AddonDialogs.h"
#include "resources/AddonMenu.h"
#include "resources/AddonResources.h"
#include "schedule/tasks/SCurve.h"
#include "schedule/tasks/TaskDB.h"

namespace {

constexpr int16_t kTexts = 32644, kPlannedName = 1, kActualName = 2, kShowText = 7, kHideText = 8;

} // namespace

SCurveWindow::SCurveWindow(TaskDB& taskDB, Weigh weigh) : taskDB_(taskDB), weigh_(std::move(weigh)) {
    AddonDialogDescription d;
    if (GetAddonDialog(kDialogId, d)) {
        dialog_ = std::make_unique<DGDialog>(kDialogId, d.title, d.width, d.height, std::move(d.items));
        dialog_->Attach(this);
        dialog_->BeginEventProcessing();
    }
}

SCurveWindow::~SCurveWindow() {
    if (dialog_) {
        dialog_->EndEventProcessing();
        dialog_->Detach();
    }
    dialog_.reset();
}

void SCurveWindow::Show(bool show) {
    if (!dialog_) return;
    SetAddonMenuItemText(static_cast<int32_t>(AddonMenuItem::ShowSCurve),
                         AddonString(kTexts, show ? kHideText : kShowText));
    if (show) dialog_->Show();
    else dialog_->Hide();
    dialog_->InvalidateItem(kArea);
}

void SCurveWindow::CloseRequested(DGDialog&) { Show(false); }

void SCurveWindow::DialogResized(DGDialog& d, int16_t dx, int16_t dy) {
    d.GrowItem(kArea, dx, dy);
    d.GrowItem(kKey, dx, 0);
    d.InvalidateItem(kArea);
}

void SCurveWindow::ItemChanged(DGDialog& d, int16_t item) {
    if (item == kKey) d.InvalidateItem(kArea);
}

void SCurveWindow::UserAreaDraw(DGDialog& d, int16_t item, DGCanvas& canvas) {
    if (item != kArea) return;
    const SCurve curve = ComputeSCurve(taskDB_, weigh_(d.ItemText(kKey)));
    DrawSCurve(curve, {AddonString(kTexts, kPlannedName), AddonString(kTexts, kActualName)}, canvas);
}

bool SCurveWindow::ScriptGesture(DGDialog& d, const std::vector<std::string>& args, std::string& error) {
    if (args.empty() || args[0] != "key" || args.size() > 2) {
        error = "usage: key [TEXT]";
        return false;
    }
    d.SetItemText(kKey, args.size() == 2 ? BKFromUtf8(args[1]) : std::string());
    d.InvalidateItem(kArea);
    return true;
}
