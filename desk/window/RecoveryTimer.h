#pragma once
// The window's side of the recovery copies: the user's keys and clicks are activity the copy
// follows, and a timer looks at the project every half second. It never looks from inside a
// nested event loop (a modal dialog, a progress window): the add-on or the host is then in the
// middle of a command whose work is not yet whole.
#include "host/app/ProjectRecovery.h"

#include <QObject>
#include <QTimer>

class RecoveryTimer : public QObject {
public:
    RecoveryTimer(ProjectRecovery& recovery, QObject* parent);
    ~RecoveryTimer() override;
    static constexpr int kIntervalMs = 500;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Look();

    ProjectRecovery& recovery_;
    QTimer timer_;
};
