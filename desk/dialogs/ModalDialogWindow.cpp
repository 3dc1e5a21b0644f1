#include "desk/dialogs/ModalDialogWindow.h"

#include "desk/dialogs/CodePageText.h"
#include "desk/dialogs/DialogUnits.h"
#include "desk/dialogs/ItemWidget.h"
#include "desk/dialogs/ModalListView.h"

#include <QPushButton>

ModalDialogWindow::ModalDialogWindow(DGModalDialog& dialog, int16_t okItem, int16_t cancelItem, QWidget* parent)
    : QDialog(parent), dialog_(dialog), okItem_(okItem), cancelItem_(cancelItem), pressed_(cancelItem) {
    setObjectName(QString::fromStdString("dialog" + dialog.DialogId()));
    setWindowTitle(FromCodePage(dialog.Title()));
    UseDialogFont(*this);
    ItemWidgetEvents events;
    events.changed = [this](int16_t id, const std::string& value) {
        dialog_.ApplyChange(std::to_string(id), value);
        Sync();
    };
    events.clicked = [this](int16_t id) {
        bool close = !dialog_.onClick || dialog_.onClick(dialog_, id);
        if (close) {
            pressed_ = id;
            done(id == okItem_ ? Accepted : Rejected);
        } else {
            Sync();
        }
    };
    int right = 0, bottom = 0;
    for (const DGItem& item : dialog.Items()) {
        int16_t id = item.id;
        right = std::max(right, item.rect.left + item.rect.width);
        bottom = std::max(bottom, item.rect.top + item.rect.height);
        if (item.kind == DGItemKind::List) {
            lists_.push_back(new ModalListView(dialog_, id, this, events.changed));
            continue;
        }
        auto* w = new ItemWidget(id, [this, id] { return dialog_.FindItem(id); }, this, events);
        items_.push_back(w);
        if (id == okItem && w->Widget())
            if (auto* b = qobject_cast<QPushButton*>(w->Widget())) b->setDefault(true);
    }
    setFixedSize(ToPixels(right + 10), ToPixels(bottom + 8));
}

QWidget* ModalDialogWindow::ItemView(int16_t item) const {
    for (ItemWidget* w : items_)
        if (w->Id() == item) return w->Widget();
    for (ModalListView* list : lists_)
        if (list->objectName() == QStringLiteral("list%1").arg(item)) return list;
    return nullptr;
}

void ModalDialogWindow::Sync() {
    for (ItemWidget* w : items_) w->Sync();
    for (ModalListView* list : lists_) list->Sync();
}

void ModalDialogWindow::reject() {
    // Escape or the window's close box: the cancel button's handler runs, as a press would.
    if (dialog_.onClick) dialog_.onClick(dialog_, cancelItem_);
    pressed_ = cancelItem_;
    QDialog::reject();
}

int16_t ModalDialogWindow::Run() {
    pressed_ = cancelItem_;
    exec();
    return pressed_;
}
