#pragma once
// The report window: the lines the host and the add-ons write, read-only. A click on a line that
// names an element or a task goes to it (the window's owner decides what that means); the pointer
// shows where a click leads.
#include "desk/window/ReportLineNames.h"

#include <QPlainTextEdit>

#include <functional>

class ReportView : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit ReportView(QWidget* parent);

    // Tries the names of a clicked line in order; true once one of them was gone to.
    std::function<bool(const ReportName& name)> goTo;
    // What a click at a point of the viewport does.
    bool ClickAt(QPoint point);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
};
