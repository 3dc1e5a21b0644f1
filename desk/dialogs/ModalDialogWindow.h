#pragma once
// A modal dialog as a QDialog: the user's changes go through DGModalDialog::ApplyChange (so
// its change handler runs as with queued answers), a button press asks its click handler
// whether the dialog may close.
#include "dialogkit/DGModalDialog.h"

#include <QDialog>

#include <vector>

class ItemWidget;
class ModalListView;

class ModalDialogWindow : public QDialog {
    Q_OBJECT
public:
    ModalDialogWindow(DGModalDialog& dialog, int16_t okItem, int16_t cancelItem, QWidget* parent);
    // Shows the dialog until a button closes it; returns that button.
    int16_t Run();
    QWidget* ItemView(int16_t item) const;
    void Sync();

    void reject() override;

private:
    DGModalDialog& dialog_;
    int16_t okItem_, cancelItem_;
    int16_t pressed_;
    std::vector<ItemWidget*> items_;
    std::vector<ModalListView*> lists_;
};
