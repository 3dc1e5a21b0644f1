#include "desk/dialogs/CanvasView.h"

#include "desk/dialogs/CanvasPainter.h"
#include "desk/dialogs/DialogUnits.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

namespace {

uint32_t Modifiers(Qt::KeyboardModifiers m) {
    return ((m & Qt::ShiftModifier) ? kDGShift : 0u) | ((m & Qt::ControlModifier) ? kDGControl : 0u);
}

} // namespace

CanvasView::CanvasView(DGDialog& dialog, int16_t item, QWidget* parent)
    : QWidget(parent), dialog_(&dialog), item_(item) {
    setObjectName(QStringLiteral("area%1").arg(item));
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true); // moves reach the area however the platform reports the buttons
    connect(&timer_, &QTimer::timeout, this, &CanvasView::Tick);
}

void CanvasView::Sync() {
    if (!dialog_) return;
    const DGItem* item = dialog_->Item(item_);
    if (!item) return;
    setGeometry(ToPixels(item->rect.left), ToPixels(item->rect.top), ToPixels(item->rect.width), ToPixels(item->rect.height));
    setVisible(item->visible);
    // A timer started again (or at another speed) counts from now.
    if (dialog_->TimerInterval() != timerInterval_ || dialog_->TimerRuns() != timerRun_) {
        timerInterval_ = dialog_->TimerInterval();
        timerRun_ = dialog_->TimerRuns();
        ticksSent_ = 0;
        if (timerInterval_ > 0) {
            clock_.start();
            timer_.start(std::max(10, timerInterval_ / 2));
        } else {
            timer_.stop();
        }
    }
    update();
}

void CanvasView::Tick() {
    if (!dialog_ || timerInterval_ <= 0) return;
    int64_t ticks = clock_.elapsed() / timerInterval_;
    if (ticks <= ticksSent_) return;
    ticksSent_ = ticks;
    dialog_->UserTimer(ticks);
    if (afterInput) afterInput();
}

void CanvasView::paintEvent(QPaintEvent*) {
    if (!dialog_) return;
    QPainter painter(this);
    PaintCanvas(dialog_->DrawUserArea(item_, width(), height()), painter);
}

void CanvasView::Send(DGMouse::Action action, QPointF at, Qt::KeyboardModifiers modifiers, int32_t wheel) {
    if (!dialog_) return;
    DGMouse mouse;
    mouse.action = action;
    mouse.x = static_cast<int32_t>(at.x());
    mouse.y = static_cast<int32_t>(at.y());
    mouse.wheel = wheel;
    mouse.modifiers = Modifiers(modifiers);
    dialog_->UserMouse(item_, mouse);
    if (afterInput) afterInput();
}

void CanvasView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    pressed_ = true;
    setFocus();
    Send(DGMouse::Action::Down, event->position(), event->modifiers());
}

void CanvasView::mouseMoveEvent(QMouseEvent* event) {
    // Qt folds the moves that came while a step ran into the last one: the dates between are
    // dropped, not queued.
    if (pressed_) Send(DGMouse::Action::Move, event->position(), event->modifiers());
}

void CanvasView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !pressed_) return;
    pressed_ = false;
    Send(DGMouse::Action::Up, event->position(), event->modifiers());
}

void CanvasView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    Send(DGMouse::Action::DoubleClick, event->position(), event->modifiers());
}

void CanvasView::wheelEvent(QWheelEvent* event) {
    int32_t notches = event->angleDelta().y() / 120;
    if (notches == 0) notches = event->angleDelta().x() / 120;
    if (notches != 0) Send(DGMouse::Action::Wheel, event->position(), event->modifiers(), notches);
    event->accept();
}

void CanvasView::keyPressEvent(QKeyEvent* event) {
    if (!dialog_) return;
    DGKey key = DGKey::Other;
    if (event->matches(QKeySequence::Undo)) key = DGKey::Undo;
    else switch (event->key()) {
        case Qt::Key_Left: key = DGKey::Left; break;
        case Qt::Key_Right: key = DGKey::Right; break;
        case Qt::Key_Up: key = DGKey::Up; break;
        case Qt::Key_Down: key = DGKey::Down; break;
        case Qt::Key_Home: key = DGKey::Home; break;
        case Qt::Key_End: key = DGKey::End; break;
        case Qt::Key_Space: key = DGKey::Space; break;
        case Qt::Key_Escape: key = DGKey::Escape; break;
        default: QWidget::keyPressEvent(event); return;
        }
    dialog_->UserKey(item_, key, Modifiers(event->modifiers()));
    if (afterInput) afterInput();
}
