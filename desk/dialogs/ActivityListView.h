#pragma once
// The single-selection list of a dialog: rows of tab fields drawn from the list's state, the
// owner-drawn fields painted from the dialog's canvas calls, marked rows in their colour, and
// clicks, double clicks and arrow keys passed to the dialog as the user's input.
#include "dialogkit/DGDialog.h"

#include <QAbstractScrollArea>

#include <functional>

class ActivityListView : public QAbstractScrollArea {
    Q_OBJECT
public:
    ActivityListView(DGDialog& dialog, int16_t item, QWidget* parent);

    // Rereads the rows, the selection and the geometry; repaints.
    void Sync();
    void Detach() { dialog_ = nullptr; }
    // The row (from 1) at a point of the viewport, 0 below the last row.
    int32_t RowAt(int y) const;
    // The top of a row in the viewport's pixels.
    int RowTop(int32_t row) const;
    int RowHeightPixels() const;
    // Called after every user action the list passed on.
    std::function<void()> afterInput;
    // The help text of the row under a point of the viewport, as the dialog gives it.
    QString TipAt(int y) const;

protected:
    bool viewportEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    DGListState* List() const { return dialog_ ? dialog_->List(item_) : nullptr; }
    void UpdateScrollRange();
    void Select(int32_t row);

    DGDialog* dialog_;
    int16_t item_;
    int32_t shownSelection_ = 0;
};
