#pragma once
// Waiting on what a modal loop shows: the dialog or message box open now, and an act done once
// a condition holds, polled while the loop runs.
#include <QApplication>
#include <QObject>
#include <QTimer>

#include <functional>

template <typename T> T* ActiveModal() { return qobject_cast<T*>(QApplication::activeModalWidget()); }

// Acts once `ready` holds, polling every 10 ms; the poll ends with `owner` if it never does.
inline void WhenReady(QObject* owner, std::function<bool()> ready, std::function<void()> act) {
    auto* timer = new QTimer(owner);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, ready = std::move(ready), act = std::move(act)] {
        if (!ready()) return;
        timer->stop();
        timer->deleteLater();
        act();
    });
    timer->start();
}
