#include "desk/dialogs/DialogWindow.h"

#include "desk/dialogs/ActivityListView.h"
#include "desk/dialogs/CanvasView.h"
#include "desk/dialogs/CodePageText.h"
#include "desk/dialogs/DialogUnits.h"
#include "desk/dialogs/ItemWidget.h"

#include <QCloseEvent>
#include <QResizeEvent>
#include <QScreen>

#include <algorithm>

namespace {

// Room a list shows: this many rows, and a first column up to this width (units).
constexpr int kRowsShown = 16;
constexpr int kWidestColumn = 520;
// Padding of a cell's text, as the list draws it.
constexpr int kCellPadding = 6;

} // namespace

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
        } else if (item.kind == DGItemKind::UserArea) {
            auto* area = new CanvasView(dialog, id, this);
            area->afterInput = [this] { AfterInput(); };
            areas_[id] = area;
        } else {
            items_[id] = new ItemWidget(id, [this, id] { return dialog_ ? dialog_->Item(id) : nullptr; }, this, events);
        }
    }
    // The description's layout is the least room its items need.
    setMinimumSize(ToPixels(dialog.Width()), ToPixels(dialog.Height()));
    Sync();
}

DialogWindow::~DialogWindow() = default;

void DialogWindow::Detach() {
    dialog_ = nullptr;
    for (auto& [id, list] : lists_) list->Detach();
    for (auto& [id, area] : areas_) area->Detach();
}

ActivityListView* DialogWindow::ListView(int16_t item) const {
    auto it = lists_.find(item);
    return it == lists_.end() ? nullptr : it->second;
}

QWidget* DialogWindow::ItemView(int16_t item) const {
    if (auto* list = ListView(item)) return list;
    if (auto area = areas_.find(item); area != areas_.end()) return area->second;
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
    FitContent();
    PlaceEditors();
    for (auto& [id, widget] : items_) widget->Sync();
    for (auto& [id, area] : areas_) area->Sync();
    for (auto& [listId, view] : lists_)
        if (DGListState* list = dialog_->List(listId))
            for (auto& [tab, editorId] : list->onTabs)
                if (QWidget* w = ItemView(editorId)) w->raise();
    if (dialog_->IsVisible() != isVisible()) setVisible(dialog_->IsVisible());
    syncing_ = false;
}

void DialogWindow::FitContent() {
    if (!dialog_ || !dialog_->IsProcessing()) return;
    QScreen* shownOn = screen();
    QRect room = shownOn ? shownOn->availableGeometry() : QRect(0, 0, 1 << 14, 1 << 14);
    for (auto& [listId, view] : lists_) {
        const DGListState* list = dialog_->List(listId);
        if (!list || list->tabs.empty()) continue;
        QFontMetrics metrics(view->font());
        int widest = 0;
        for (const DGListRow& row : list->rows)
            if (!row.tabs.empty()) widest = std::max(widest, metrics.horizontalAdvance(FromCodePage(row.tabs[0])));
        std::pair<size_t, int> content{list->rows.size(), widest};
        if (content == fitted_) continue;
        fitted_ = content;
        // The first column grows with the window, as a list of names does.
        const DGTabField& first = list->tabs.front();
        int columnWidth = ToPixels(first.right - first.left);
        int wanted = std::min(widest + kCellPadding, ToPixels(kWidestColumn));
        int dx = std::clamp(wanted - columnWidth, 0, std::max(0, room.width() - frameGeometry().width()));
        int rows = std::min<int>(static_cast<int>(list->rows.size()), kRowsShown);
        // From the list's own rectangle: a hidden window has not laid out its list's inside yet.
        int shown = view->geometry().height() - 2 * view->frameWidth();
        int dy = std::clamp(rows * view->RowHeightPixels() - shown, 0, std::max(0, room.height() - frameGeometry().height()));
        if (dx <= 0 && dy <= 0) continue;
        // As the user's resize: the dialog moves and grows its items its own way.
        dialog_->UserResize(static_cast<int16_t>(ToUnits(dx)), static_cast<int16_t>(ToUnits(dy)));
        appliedSize_ = QSize(ToPixels(dialog_->Width()), ToPixels(dialog_->Height()));
        // A window in the lower half of the screen keeps its bottom edge: it grows upwards.
        bool low = frameGeometry().center().y() > room.center().y();
        int grownBy = appliedSize_.height() - height();
        resize(appliedSize_);
        if (low && isVisible()) move(pos() - QPoint(0, grownBy));
        view->Sync();
        // Grown past the screen's edge, the window steps back onto it.
        QRect frame = frameGeometry();
        QPoint shift(std::min(0, room.right() - frame.right()), std::max(0, room.top() - frame.top()));
        if (shift.y() == 0) shift.setY(std::min(0, room.bottom() - frame.bottom()));
        if (!shift.isNull() && isVisible()) move(pos() + shift);
    }
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
