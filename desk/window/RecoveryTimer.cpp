#include "desk/window/RecoveryTimer.h"

#include <QApplication>
#include <QEvent>
#include <QThread>

RecoveryTimer::RecoveryTimer(ProjectRecovery& recovery, QObject* parent) : QObject(parent), recovery_(recovery) {
    timer_.setInterval(kIntervalMs);
    connect(&timer_, &QTimer::timeout, this, [this] { Look(); });
    timer_.start();
    qApp->installEventFilter(this);
}

RecoveryTimer::~RecoveryTimer() {
    if (qApp) qApp->removeEventFilter(this);
}

bool RecoveryTimer::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonRelease:
    case QEvent::Wheel:
    case QEvent::Drop: recovery_.NoteActivity(); break;
    default: break;
    }
    return QObject::eventFilter(watched, event);
}

void RecoveryTimer::Look() {
    if (QThread::currentThread()->loopLevel() > 1 || QApplication::activeModalWidget()) return;
    recovery_.Tick(ProjectRecovery::SteadyNow());
}
