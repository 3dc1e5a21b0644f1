// The window's recovery copies: none while the user works, one a moment after the work stops,
// none from inside a modal dialog, and none left once the project is saved.
#include "desk/window/DeskSession.h"
#include "desk/window/MainWindow.h"
#include "desk/window/RecoveryTimer.h"
#include "host/app/ProjectRecovery.h"

#include <QDialog>
#include <QDir>
#include <QTest>
#include <QTimer>

#include <filesystem>

namespace fs = std::filesystem;

class DeskRecoveryTest : public QObject {
    Q_OBJECT

    QString folder_;

    bool CopyWritten(ProjectRecovery& r) { return fs::exists(fs::path(r.Folder()) / RecoveryManifest::kFileName); }
    void Link(Host& host) {
        HostModel& m = host.Model();
        Element* e = m.FindByIdText("FAL-01");
        QVERIFY(e);
        m.Undo().Open("Link");
        m.SetUserData(*e, "Bauvista", UserDataBlock{103, 0x5757, {7, 0, 0, 0}});
        m.CloseUndoStep();
    }

private slots:
    void initTestCase() {
        folder_ = QDir::tempPath() + QStringLiteral("/desk-recovery-%1").arg(QCoreApplication::applicationPid());
        QDir(folder_).removeRecursively();
        QDir().mkpath(folder_);
        QFile::copy(QStringLiteral(BV_SOURCE_DIR "/examples/house/house.qvp"), folder_ + QStringLiteral("/house.qvp"));
    }
    void cleanupTestCase() { QDir(folder_).removeRecursively(); }

    void timerWritesOnceQuietAndSaveRemoves() {
        DeskOptions options;
        options.model = (folder_ + QStringLiteral("/house.qvp")).toStdString();
        options.prefs = (folder_ + QStringLiteral("/preferences")).toStdString();
        options.now = "2009-03-01";
        options.recovery = (folder_ + QStringLiteral("/recovery")).toStdString();
        DeskSession session;
        std::string error;
        QVERIFY2(session.Start(options, error), error.c_str());
        session.Window().show();
        ProjectRecovery* recovery = session.GetHost().recovery;
        QVERIFY(recovery);
        recovery->SetTimes(1.0, 300);
        QTest::qWait(RecoveryTimer::kIntervalMs * 2); // the project as opened is seen, not copied

        Link(session.GetHost());
        QTest::keyClick(&session.Window(), Qt::Key_Shift);
        // Before the quiet second has passed there is no copy.
        QTest::qWait(400);
        QVERIFY(!CopyWritten(*recovery));
        QTRY_VERIFY_WITH_TIMEOUT(CopyWritten(*recovery), 5000);

        // A modal dialog holds the copy back: the command behind it is not finished.
        Link(session.GetHost());
        QDialog modal(&session.Window());
        QTimer::singleShot(2500, &modal, &QDialog::accept);
        const std::string before = recovery->Folder();
        fs::file_time_type written = fs::last_write_time(fs::path(before) / RecoveryManifest::kFileName);
        modal.exec();
        QCOMPARE(fs::last_write_time(fs::path(before) / RecoveryManifest::kFileName), written);
        QTRY_VERIFY_WITH_TIMEOUT(fs::last_write_time(fs::path(before) / RecoveryManifest::kFileName) != written, 5000);

        QVERIFY(session.Window().SaveProjectFile(folder_ + QStringLiteral("/house.qvp")));
        QVERIFY(!fs::exists(recovery->Folder()));
        QTest::qWait(1500);
        QVERIFY(!fs::exists(recovery->Folder())); // nothing unsaved: nothing to copy
    }
};

QTEST_MAIN(DeskRecoveryTest)
#include "DeskRecoveryTest.moc"
