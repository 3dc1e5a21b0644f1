#include "palette/MainDialogObserver.h"

#include "palette/MainDialogCPP.h"

MainDialogObserver::MainDialogObserver(MainDialogCPP& palette) : palette_(&palette) {
    if (palette.Dialog()) palette.Dialog()->Attach(this);
}

MainDialogObserver::~MainDialogObserver() {
    if (palette_ && palette_->Dialog()) palette_->Dialog()->Detach();
}

// The palette's event boundary: nothing thrown below may reach the toolkit or the host, which
// would end the host. A failed event is reported and the palette goes on.
template <class Event>
void MainDialogObserver::Handle(Event&& event) {
    if (!palette_) return;
    try {
        event(*palette_);
    } catch (...) {
        try {
            palette_->ReportFailure();
        } catch (...) {
        }
    }
}

void MainDialogObserver::DialogOpened(DGDialog&) {
    Handle([](MainDialogCPP& p) { p.Opened(); });
}
void MainDialogObserver::DialogClosed(DGDialog&) {
    Handle([](MainDialogCPP& p) { p.Closed(); });
}
void MainDialogObserver::CloseRequested(DGDialog&) {
    Handle([](MainDialogCPP& p) { p.CloseRequested(); });
}
void MainDialogObserver::DialogResized(DGDialog&, int16_t dx, int16_t dy) {
    Handle([&](MainDialogCPP& p) { p.Resized(dx, dy); });
}
void MainDialogObserver::SourceDestroyed(DGDialog& d) {
    // The palette is going away with its dialog; nothing of it may be reached afterwards.
    d.Detach();
    palette_ = nullptr;
}

void MainDialogObserver::ItemClicked(DGDialog&, int16_t item) {
    Handle([&](MainDialogCPP& p) { p.ButtonClicked(item); });
}

void MainDialogObserver::ItemChanged(DGDialog&, int16_t item) {
    Handle([&](MainDialogCPP& p) {
        if (item == MainDialogCPP::kCurrentDate) p.CurrentDateChanged();
        else if (item == MainDialogCPP::kStartEditor || item == MainDialogCPP::kFinishEditor) p.DateEditorChanged();
        else if (item == MainDialogCPP::kViewChoice) p.ViewChanged();
        else if (item == MainDialogCPP::kStatusDate) p.StatusDateChanged();
    });
}

void MainDialogObserver::ItemFocused(DGDialog&, int16_t item) {
    Handle([&](MainDialogCPP& p) {
        if (item == MainDialogCPP::kCurrentDate) p.CommitRowEdit();
    });
}

void MainDialogObserver::ListSelectionChanged(DGDialog&, int16_t) {
    Handle([](MainDialogCPP& p) { p.ListSelectionChanged(); });
}
void MainDialogObserver::ListDoubleClicked(DGDialog&, int16_t, int32_t row) {
    Handle([&](MainDialogCPP& p) { p.ListDoubleClicked(row); });
}

std::string MainDialogObserver::ListRowTip(DGDialog&, int16_t item, int32_t row) {
    if (!palette_ || item != MainDialogCPP::kList) return {};
    // As with drawing: a help text that cannot be made is none.
    try {
        return palette_->RowTip(row);
    } catch (...) {
        return {};
    }
}

void MainDialogObserver::ListTabDraw(DGDialog&, int16_t, int32_t row, int16_t tab, DGCanvas& canvas) {
    if (!palette_ || tab != 3) return;
    // A cell that cannot be drawn is left as it is: an alert from inside drawing would be drawn
    // over and asked again with every repaint.
    try {
        palette_->DrawStateCell(row, canvas);
    } catch (...) {
    }
}
