#include "desk/dialogs/DialogWindow.h"

#include "desk/dialogs/ActivityListView.h"
#include "desk/dialogs/CodePageText.h"
#include "desk/dialogs/DialogUnits.h"
#include "desk/dialogs/ItemWidget.h"

#include <QCloseEvent>
#include <QResizeEvent>

DialogWindow::DialogWindow(DGDialog& dialog, QWidget* parent) : QWidget(parent, Qt::Tool), dialog_(&dialog) {
    setObjectName(QStringLiteral("dialog%1").arg(dialog.Id()));
    UseDialogFont(*this);
    ItemWidgetEvents events;
    events.clicked = [this](int16_t id) {
        if (dialog_) dialog_->UserClick(id);
        AfterInput();
    };
    events.changed = [this](int16_t id, const std::string& value) {
        if (dialog_) dialog_->UserChange(id, value);
        AfterInput();
    };
    events.focused = [this](int16_t id) {
        if (dialog_ && dialog_->FocusedItem() != id) dialog_->UserFocus(id);
    };
    for (const DGItem& item : dialog.Items()) {
        int16_t id = item.id;
        if (item.kind == DGItemKind::List) {
            auto* view = new ActivityListView(dialog, id, this);
            view->afterInput = [this] { AfterInput(); };
            lists_[id] = view;
        } else {
            items_[id] = new ItemWidget(id, [this, id] { return dialog_ ? dialog_->Item(id) : nullptr; }, this, events);
        }
    }
    Sync();
}

DialogWindow::~DialogWindow() = default;

void DialogWindow::Detach() {
    dialog_ = nullptr;
    for (auto& [id, list] : lists_) list->Detach();
}

ActivityListView* DialogWindow::ListView(int16_t item) const {
    auto it = lists_.find(item);
    return it == lists_.end() ? nullptr : it->second;
}

QWidget* DialogWindow::ItemView(int16_t item) const {
    if (auto* list = ListView(item)) return list;
    auto it = items_.find(item);
    return it == items_.end() ? nullptr : it->second->Widget();
}

void DialogWindow::AfterInput() {
    Sync();
    if (afterInput) afterInput();
}

void DialogWindow::PlaceEditors() {
    for (auto& [listId, view] : lists_) {
        DGListState* list = dialog_->List(listId);
        if (!list) continue;
        for (auto& [tabNumber, editorId] : list->onTabs) {
            auto it = items_.find(editorId);
            const DGItem* editor = dialog_->Item(editorId);
            if (it == items_.end() || !editor || tabNumber < 1 || static_cast<size_t>(tabNumber) > list->tabs.size()) continue;
            if (list->editorsRow < 1) {
                it->second->ClearOverride();
                continue;
            }
            const DGTabField& tab = list->tabs[static_cast<size_t>(tabNumber) - 1];
            QPoint origin = view->geometry().topLeft() + view->viewport()->geometry().topLeft();
            int height = ToPixels(editor->rect.height);
            int top = view->RowTop(list->editorsRow) + (view->RowHeightPixels() - height) / 2;
            it->second->SetOverride(QRect(origin.x() + ToPixels(tab.left) + 2, origin.y() + top,
                                          ToPixels(editor->rect.width), height));
        }
        for (auto& [id, widget] : items_)
            if (!list->editorsRow || std::none_of(list->onTabs.begin(), list->onTabs.end(),
                                                  [id = id](const auto& p) { return p.second == id; }))
                widget->ClearOverride();
    }
}

void DialogWindow::Sync() {
    if (!dialog_ || syncing_) return;
    syncing_ = true;
    setWindowTitle(FromCodePage(dialog_->Title()));
    QSize size(ToPixels(dialog_->Width()), ToPixels(dialog_->Height()));
    if (size != appliedSize_) {
        appliedSize_ = size;
        resize(size);
    }
    for (auto& [id, list] : lists_) list->Sync();
    PlaceEditors();
    for (auto& [id, widget] : items_) widget->Sync();
    for (auto& [listId, view] : lists_)
        if (DGListState* list = dialog_->List(listId))
            for (auto& [tab, editorId] : list->onTabs)
                if (QWidget* w = ItemView(editorId)) w->raise();
    if (dialog_->IsVisible() != isVisible()) setVisible(dialog_->IsVisible());
    syncing_ = false;
}

void DialogWindow::closeEvent(QCloseEvent* event) {
    // The dialog decides: the palette hides itself once a pending edit is stored.
    event->ignore();
    if (dialog_) dialog_->UserCloseRequest();
    AfterInput();
}

void DialogWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (!dialog_ || syncing_ || !appliedSize_.isValid() || event->size() == appliedSize_) return;
    int dx = ToUnits(event->size().width()) - dialog_->Width();
    int dy = ToUnits(event->size().height()) - dialog_->Height();
    appliedSize_ = event->size();
    if (dx || dy) dialog_->UserResize(static_cast<int16_t>(dx), static_cast<int16_t>(dy));
    AfterInput();
}
