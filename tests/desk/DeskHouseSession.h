#pragma once
// The desk on the example house for a whole test program: its preferences in a folder of the
// run's own, the clock fixed, the window at a planner's size and shown.
#include "desk/views/ElementPicker.h"
#include "desk/views/ModelView.h"
#include "desk/window/DeskSession.h"
#include "desk/window/MainWindow.h"
#include "host/render/ViewProjection.h"
#include "ModalWaits.h"

#include <QCoreApplication>
#include <QDir>
#include <QAbstractButton>
#include <QMessageBox>
#include <QPoint>

#include <memory>
#include <string>
#include <vector>

class DeskHouseSession {
protected:
    std::unique_ptr<DeskSession> session;
    QString tempDir;
    MainWindow& Window() { return session->Window(); }
    HostModel& Model() { return session->GetHost().Model(); }

    // A pixel of the 3D view where the element of this ID is the one picked: the middle one of
    // the pixels where it is picked, away from its outline; (-1, -1) where it is not seen.
    QPoint PointOnElement(const std::string& id) {
        ModelView* v = Window().View3D();
        ViewProjection view(Model().view.Camera(), v->width(), v->height());
        std::vector<QPoint> on;
        for (int y = 4; y < v->height(); y += 6)
            for (int x = 4; x < v->width(); x += 6)
                if (Element* e = PickElement(Model(), view, x + 0.5, y + 0.5); e && e->IdText() == id) on.emplace_back(x, y);
        return on.empty() ? QPoint(-1, -1) : on[on.size() / 2];
    }

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

    // Ends the session, declining the questions its end asks, and removes the run's folder.
    void EndSession() {
        QTimer decline;
        QObject::connect(&decline, &QTimer::timeout, [] {
            if (auto* box = ActiveModal<QMessageBox>()) box->buttons().back()->click();
        });
        decline.start(10);
        session.reset();
        QDir(tempDir).removeRecursively();
    }
};
