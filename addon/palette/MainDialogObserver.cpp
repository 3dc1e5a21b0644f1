#include "palette/MainDialogObserver.h"

#include "palette/MainDialogCPP.h"

MainDialogObserver::MainDialogObserver(MainDialogCPP& palette) : palette_(&palette) {
    if (palette.Dialog()) palette.Dialog()->Attach(this);
}

MainDialogObserver::~MainDialogObserver() {
    if (palette_ && palette_->Dialog()) palette_->Dialog()->Detach();
}

void MainDialogObserver::DialogOpened(DGDialog&) { palette_->Opened(); }
void MainDialogObserver::DialogClosed(DGDialog&) {
    if (palette_) palette_->Closed();
}
void MainDialogObserver::CloseRequested(DGDialog&) { palette_->CloseRequested(); }
void MainDialogObserver::DialogResized(DGDialog&, int16_t dx, int16_t dy) { palette_->Resized(dx, dy); }
void MainDialogObserver::SourceDestroyed(DGDialog& d) {
    // The palette is going away with its dialog; nothing of it may be reached afterwards.
    d.Detach();
    palette_ = nullptr;
}

void MainDialogObserver::ItemClicked(DGDialog&, int16_t item) { palette_->ButtonClicked(item); }

void MainDialogObserver::ItemChanged(DGDialog&, int16_t item) {
    if (item == MainDialogCPP::kCurrentDate) palette_->CurrentDateChanged();
    else if (item == MainDialogCPP::kStartEditor || item == MainDialogCPP::kFinishEditor) palette_->DateEditorChanged();
}

void MainDialogObserver::ItemFocused(DGDialog&, int16_t item) {
    if (item == MainDialogCPP::kCurrentDate) palette_->CommitRowEdit();
}

void MainDialogObserver::ListSelectionChanged(DGDialog&, int16_t) { palette_->ListSelectionChanged(); }
void MainDialogObserver::ListDoubleClicked(DGDialog&, int16_t, int16_t row) { palette_->ListDoubleClicked(row); }

void MainDialogObserver::ListTabDraw(DGDialog&, int16_t, int16_t row, int16_t tab, DGCanvas& canvas) {
    if (tab == 3) palette_->DrawStateCell(row, canvas);
}
