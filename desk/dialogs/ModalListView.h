#pragma once
// A modal dialog's list as a widget: one row an entry of the item, each painted from the
// dialog's canvas calls for it, the selected row on a light highlight so the owner's black text
// stays readable; choosing a row is the user's change of the item's value.
#include "dialogkit/DGModalDialog.h"

#include <QListWidget>

#include <functional>
#include <string>
#include <vector>

class ModalListView : public QListWidget {
    Q_OBJECT
public:
    ModalListView(DGModalDialog& dialog, int16_t item, QWidget* parent,
                  std::function<void(int16_t item, const std::string& utf8Value)> changed);

    // Rereads the rows, the selection and the place; repaints.
    void Sync();

private:
    DGModalDialog& dialog_;
    int16_t item_;
    std::function<void(int16_t, const std::string&)> changed_;
    std::vector<std::string> shownRows_;
    bool syncing_ = false;
};
