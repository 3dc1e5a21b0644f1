// The window's recovery copies: none while the user works, one a moment after the work stops,
// none from inside a modal dialog, and none left once the project is saved.
#include "desk/window/DeskSession.h"
#include "desk/window/MainWindow.h"
#include "desk/window/RecoveryTimer.h"
#include "host/app/ProjectRecovery.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <fstream>
#include <sstream>

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

    // A copy a crash left: the start asks, in a message box with the three answers, and
    // "Recover" opens it as unsaved work of the saved file.
    void startAsksAboutACopyACrashLeft() {
        const std::string saved = (folder_ + QStringLiteral("/asked.qvp")).toStdString();
        fs::copy_file(BV_SOURCE_DIR "/examples/house/house.qvp", saved, fs::copy_options::overwrite_existing);
        std::stringstream text;
        text << std::ifstream(saved).rdbuf();
        const std::string copy = text.str();
        const std::string root = (folder_ + QStringLiteral("/crashed")).toStdString();
        std::string error;
        QVERIFY(WriteRecoveryCopy(root + "/run-1", 1, copy, "", saved, error));
        fs::last_write_time(saved, fs::last_write_time(root + "/run-1/manifest.json") - std::chrono::minutes(5));

        QStringList texts;
        QString shot = QStringLiteral(BV_SCREENSHOT_DIR "/desk-recovery-question.png");
        QTimer answer;
        answer.setInterval(50);
        connect(&answer, &QTimer::timeout, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            answer.stop();
            QDir().mkpath(QFileInfo(shot).path());
            box->grab().save(shot);
            for (QAbstractButton* b : box->buttons()) texts << b->text();
            for (QAbstractButton* b : box->buttons())
                if (b->text() == QStringLiteral("Recover")) b->click();
        });
        answer.start();
        DeskOptions options;
        options.prefs = (folder_ + QStringLiteral("/preferences")).toStdString();
        options.now = "2009-03-01";
        options.recovery = root;
        DeskSession session;
        QVERIFY2(session.Start(options, error), error.c_str());
        QCOMPARE(texts, (QStringList{QStringLiteral("Recover"), QStringLiteral("Open saved files"), QStringLiteral("Later")}));
        QCOMPARE(session.GetHost().projectPath, saved);
        QVERIFY(session.GetHost().Model().Modified());
        QVERIFY(session.Window().isWindowModified());
    }

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
