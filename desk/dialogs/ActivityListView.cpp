#include "desk/dialogs/ActivityListView.h"

#include "desk/dialogs/CanvasPainter.h"
#include "desk/dialogs/CodePageText.h"
#include "desk/dialogs/DialogUnits.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>

ActivityListView::ActivityListView(DGDialog& dialog, int16_t item, QWidget* parent)
    : QAbstractScrollArea(parent), dialog_(&dialog), item_(item) {
    setFocusPolicy(Qt::StrongFocus);
    setFrameShape(QFrame::Box);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setAutoFillBackground(true);
    QPalette p = viewport()->palette();
    p.setColor(QPalette::Base, Qt::white);
    viewport()->setPalette(p);
    Sync();
}

int ActivityListView::RowHeightPixels() const {
    const DGListState* list = List();
    return ToPixels(list ? list->rowHeight : 18);
}

int32_t ActivityListView::RowAt(int y) const {
    const DGListState* list = List();
    if (!list || y < 0) return 0;
    int32_t row = (y + verticalScrollBar()->value()) / RowHeightPixels() + 1;
    return row <= static_cast<int32_t>(list->rows.size()) ? row : 0;
}

int ActivityListView::RowTop(int32_t row) const { return (row - 1) * RowHeightPixels() - verticalScrollBar()->value(); }

void ActivityListView::UpdateScrollRange() {
    const DGListState* list = List();
    int total = list ? static_cast<int>(list->rows.size()) * RowHeightPixels() : 0;
    verticalScrollBar()->setRange(0, std::max(0, total - viewport()->height()));
    verticalScrollBar()->setPageStep(viewport()->height());
    verticalScrollBar()->setSingleStep(RowHeightPixels());
}

void ActivityListView::Sync() {
    if (const DGItem* item = dialog_ ? dialog_->Item(item_) : nullptr) {
        QRect rect = PixelRect(item->rect);
        if (geometry() != rect) setGeometry(rect);
        setEnabled(item->enabled);
        setVisible(item->visible);
    }
    UpdateScrollRange();
    if (const DGListState* list = List(); list && list->selected != shownSelection_) {
        shownSelection_ = list->selected;
        // The selected row comes into sight, as a toolkit list keeps it.
        if (shownSelection_ >= 1) {
            int top = RowTop(shownSelection_);
            if (top < 0) verticalScrollBar()->setValue(verticalScrollBar()->value() + top);
            else if (top + RowHeightPixels() > viewport()->height())
                verticalScrollBar()->setValue(verticalScrollBar()->value() + top + RowHeightPixels() - viewport()->height());
        }
    }
    viewport()->update();
}

void ActivityListView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    DGListState* list = List();
    if (!list) return;
    int h = RowHeightPixels();
    int first = verticalScrollBar()->value() / h + 1;
    int last = std::min<int>(static_cast<int>(list->rows.size()), (verticalScrollBar()->value() + viewport()->height()) / h + 1);
    double scale = DialogUnitScale();
    for (int32_t row = first; row <= last; ++row) {
        // Drawing a cell may call back into the add-on, which may refill the list.
        if (static_cast<size_t>(row) > list->rows.size()) break;
        const DGListRow r = list->rows[static_cast<size_t>(row) - 1];
        QRect rowRect(0, RowTop(row), viewport()->width(), h);
        bool selected = row == list->selected;
        if (selected) painter.fillRect(rowRect, palette().color(QPalette::Highlight));
        else if (r.colored) painter.fillRect(rowRect, ColorOfToolkit(r.color));
        for (size_t t = 0; t < list->tabs.size(); ++t) {
            const DGTabField tab = list->tabs[t];
            int16_t tabNumber = static_cast<int16_t>(t + 1);
            if (list->editorsRow == row && list->onTabs.count(tabNumber)) continue; // an editor lies there
            QRect cell(ToPixels(tab.left), rowRect.top(), ToPixels(tab.right - tab.left), h);
            if (tab.ownerDrawn) {
                DGCanvas canvas = dialog_->DrawTab(item_, row, tabNumber);
                painter.save();
                painter.translate(cell.topLeft());
                painter.scale(scale, scale);
                PaintCanvas(canvas, painter);
                painter.restore();
                list = List();
                if (!list) return;
            } else if (t < r.tabs.size()) {
                painter.setPen(selected ? palette().color(QPalette::HighlightedText) : QColor(Qt::black));
                painter.drawText(cell.adjusted(3, 0, -2, 0), Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
                                 FromCodePage(r.tabs[t]));
            }
        }
    }
}

QString ActivityListView::TipAt(int y) const {
    int32_t row = RowAt(y);
    return dialog_ && row >= 1 ? FromCodePage(dialog_->RowTip(item_, row)) : QString();
}

bool ActivityListView::viewportEvent(QEvent* event) {
    if (event->type() != QEvent::ToolTip) return QAbstractScrollArea::viewportEvent(event);
    auto* help = static_cast<QHelpEvent*>(event);
    QString tip = TipAt(help->pos().y());
    if (tip.isEmpty()) QToolTip::hideText();
    else QToolTip::showText(help->globalPos(), tip, viewport());
    return true;
}

void ActivityListView::Select(int32_t row) {
    if (!dialog_) return;
    DGListState* list = List();
    if (!list || row < 1 || row == list->selected) return;
    dialog_->UserSelectRow(item_, row);
    if (afterInput) afterInput();
}

void ActivityListView::mousePressEvent(QMouseEvent* event) {
    setFocus();
    if (event->button() == Qt::LeftButton) Select(RowAt(event->position().toPoint().y()));
}

void ActivityListView::mouseDoubleClickEvent(QMouseEvent* event) {
    int32_t row = RowAt(event->position().toPoint().y());
    if (!dialog_ || row < 1 || event->button() != Qt::LeftButton) return;
    dialog_->UserDoubleClick(item_, row);
    if (afterInput) afterInput();
}

void ActivityListView::keyPressEvent(QKeyEvent* event) {
    DGListState* list = List();
    if (!list) return;
    int32_t count = static_cast<int32_t>(list->rows.size());
    switch (event->key()) {
    case Qt::Key_Up: Select(std::max(1, list->selected - 1)); break;
    case Qt::Key_Down: Select(std::min(count, list->selected + 1)); break;
    case Qt::Key_Home: Select(1); break;
    case Qt::Key_End: Select(count); break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (list->selected >= 1 && dialog_) {
            dialog_->UserDoubleClick(item_, list->selected);
            if (afterInput) afterInput();
        }
        break;
    default: QAbstractScrollArea::keyPressEvent(event);
    }
}

void ActivityListView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollRange();
}

void ActivityListView::scrollContentsBy(int, int) {
    viewport()->update();
    if (afterInput) afterInput(); // the editors follow their row
}
