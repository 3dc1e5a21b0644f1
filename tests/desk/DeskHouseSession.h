#pragma once
// The desk on the example house for a whole test program: its preferences in a folder of the
// run's own, the clock fixed, the window at a planner's size and shown.
#include "desk/window/DeskSession.h"
#include "desk/window/MainWindow.h"

#include <QCoreApplication>
#include <QDir>

#include <memory>
#include <string>

class DeskHouseSession {
protected:
    std::unique_ptr<DeskSession> session;
    QString tempDir;
    MainWindow& Window() { return session->Window(); }
    HostModel& Model() { return session->GetHost().Model(); }

    // The run's folder is `folder`-PID in the temporary one; false with `error` when the desk
    // did not start.
    bool StartOnHouse(const QString& folder, const char* now, std::string& error) {
        tempDir = QDir::tempPath() + QStringLiteral("/") + folder + QStringLiteral("-%1").arg(QCoreApplication::applicationPid());
        QDir().mkpath(tempDir);
        DeskOptions options;
        options.model = BV_SOURCE_DIR "/examples/house/house.qvp";
        options.prefs = (tempDir + QStringLiteral("/preferences")).toStdString();
        options.now = now;
        session = std::make_unique<DeskSession>();
        if (!session->Start(options, error)) return false;
        Window().resize(1280, 800);
        Window().show();
        return true;
    }
};
