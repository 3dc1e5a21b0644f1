#include "desk/window/ReportView.h"

#include <QMouseEvent>
#include <QTextBlock>

ReportView::ReportView(QWidget* parent) : QPlainTextEdit(parent) {
    setObjectName(QStringLiteral("report"));
    setReadOnly(true);
    setMouseTracking(true);
}

bool ReportView::ClickAt(QPoint point) {
    QTextCursor cursor = cursorForPosition(point);
    QString line = cursor.block().text();
    if (!goTo) return false;
    for (const ReportName& name : NamesForClick(line, cursor.positionInBlock()))
        if (goTo(name)) return true;
    return false;
}

void ReportView::mouseReleaseEvent(QMouseEvent* event) {
    QPlainTextEdit::mouseReleaseEvent(event);
    // A drag that chose text to copy is no click.
    if (event->button() == Qt::LeftButton && !textCursor().hasSelection()) ClickAt(event->position().toPoint());
}

void ReportView::mouseMoveEvent(QMouseEvent* event) {
    QPlainTextEdit::mouseMoveEvent(event);
    QTextCursor cursor = cursorForPosition(event->position().toPoint());
    bool onName = !NamesForClick(cursor.block().text(), cursor.positionInBlock()).empty();
    viewport()->setCursor(onName ? Qt::PointingHandCursor : Qt::IBeamCursor);
}
