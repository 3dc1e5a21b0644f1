#pragma once
// A dialog's user area as a widget: painted from the owner's canvas calls at the widget's size,
// with the mouse, the wheel and the keys passed to the dialog as DialogKit's input. It also runs
// the dialog's timer, counting the intervals that passed so a slow step skips ticks, not queues them.
#include "dialogkit/DGDialog.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <functional>

class CanvasView : public QWidget {
    Q_OBJECT
public:
    CanvasView(DGDialog& dialog, int16_t item, QWidget* parent);

    void Detach() { dialog_ = nullptr; }
    // Follows the item's place and the dialog's timer, and draws again.
    void Sync();
    std::function<void()> afterInput;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Send(DGMouse::Action action, QPointF at, Qt::KeyboardModifiers modifiers, int32_t wheel = 0);
    void Tick();

    DGDialog* dialog_;
    int16_t item_;
    QTimer timer_;
    QElapsedTimer clock_;
    uint64_t timerRun_ = 0;
    int32_t timerInterval_ = 0;
    int64_t ticksSent_ = 0;
    bool pressed_ = false;
};
