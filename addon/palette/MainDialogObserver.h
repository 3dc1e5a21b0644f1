#pragma once
// Receives the palette's events from the dialog toolkit and hands them to the palette.
#include "dialogkit/DGDialog.h"

class MainDialogCPP;

class MainDialogObserver : public IDGObserver {
public:
    explicit MainDialogObserver(MainDialogCPP& palette);
    ~MainDialogObserver() override;

    void DialogOpened(DGDialog&) override;
    void DialogClosed(DGDialog&) override;
    void CloseRequested(DGDialog&) override;
    void DialogResized(DGDialog&, int16_t dx, int16_t dy) override;
    void SourceDestroyed(DGDialog&) override;
    void ItemClicked(DGDialog&, int16_t item) override;
    void ItemChanged(DGDialog&, int16_t item) override;
    void ItemFocused(DGDialog&, int16_t item) override;
    void ListSelectionChanged(DGDialog&, int16_t item) override;
    void ListDoubleClicked(DGDialog&, int16_t item, int32_t row) override;
    void ListTabDraw(DGDialog&, int16_t item, int32_t row, int16_t tab, DGCanvas& canvas) override;
    std::string ListRowTip(DGDialog&, int16_t item, int32_t row) override;

private:
    template <class Event>
    void Handle(Event&& event);

    MainDialogCPP* palette_;
};
