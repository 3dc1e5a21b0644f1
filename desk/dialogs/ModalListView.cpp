#include "desk/dialogs/ModalListView.h"

#include "desk/dialogs/CanvasPainter.h"
#include "desk/dialogs/CodePageText.h"
#include "desk/dialogs/DialogUnits.h"

#include <QPainter>
#include <QStyledItemDelegate>

namespace {

constexpr int kRowUnits = 22;
const QColor kSelectedRow(204, 228, 247);

class RowDelegate : public QStyledItemDelegate {
public:
    RowDelegate(DGModalDialog& dialog, int16_t item, QObject* parent)
        : QStyledItemDelegate(parent), dialog_(dialog), item_(item) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const QRect r = option.rect;
        painter->fillRect(r, option.state & QStyle::State_Selected ? kSelectedRow : option.palette.base().color());
        const DGCanvas canvas = dialog_.DrawRow(item_, index.row() + 1, r.width(), r.height());
        painter->save();
        painter->translate(r.topLeft());
        PaintCanvas(canvas, *painter);
        painter->restore();
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
        return QSize(option.rect.width(), ToPixels(kRowUnits));
    }

private:
    DGModalDialog& dialog_;
    int16_t item_;
};

} // namespace

ModalListView::ModalListView(DGModalDialog& dialog, int16_t item, QWidget* parent,
                             std::function<void(int16_t, const std::string&)> changed)
    : QListWidget(parent), dialog_(dialog), item_(item), changed_(std::move(changed)) {
    setObjectName(QStringLiteral("list%1").arg(item));
    setItemDelegate(new RowDelegate(dialog, item, this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    connect(this, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!syncing_ && row >= 0 && changed_) changed_(item_, std::to_string(row + 1));
    });
    Sync();
}

void ModalListView::Sync() {
    const DGItem* item = dialog_.FindItem(item_);
    if (!item) return;
    syncing_ = true;
    if (geometry() != PixelRect(item->rect)) setGeometry(PixelRect(item->rect));
    setEnabled(item->enabled);
    std::vector<std::string> rows;
    for (const DGPopUpEntry& e : item->entries) rows.push_back(e.text);
    if (rows != shownRows_) {
        clear();
        // The text is for the accessibility tools; the row is painted by its owner.
        for (const std::string& row : rows) addItem(FromCodePage(row));
        shownRows_ = std::move(rows);
    }
    if (currentRow() != item->value - 1) setCurrentRow(item->value - 1);
    viewport()->update();
    syncing_ = false;
}
