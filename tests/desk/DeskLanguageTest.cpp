// The program in its user's language: run once under LANG=hu_HU.UTF-8 and once under
// LANG=en_US.UTF-8, it speaks Hungarian or English in the host's menus and docks, its
// questions, Qt's own file dialog and calendar, and writes dates as that locale does.
#include "desk/dialogs/DialogWindow.h"
#include "desk/dialogs/QtDialogBackEnd.h"
#include "desk/window/DeskSession.h"
#include "desk/window/MainWindow.h"
#include "desk/window/ReportView.h"

#include <QCalendarWidget>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QDir>
#include <QDockWidget>
#include <QFileDialog>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTextBlock>
#include <QTextDocument>
#include <QTreeWidget>

#include <memory>

class DeskLanguageTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<DeskSession> session;
    QString tempDir;
    bool hungarian = false;
    MainWindow& Window() { return session->Window(); }
    // The expected text in this run's language.
    QString Says(const char* hu, const char* en) const { return QString::fromUtf8(hungarian ? hu : en); }

private slots:
    void initTestCase() {
        hungarian = qgetenv("LANG").startsWith("hu");
        tempDir = QDir::tempPath() + QStringLiteral("/bv-lang-%1").arg(QCoreApplication::applicationPid());
        QDir().mkpath(tempDir);
        DeskOptions options;
        options.prefs = (tempDir + QStringLiteral("/preferences")).toStdString();
        options.now = "2009-03-20";
        session = std::make_unique<DeskSession>();
        std::string error;
        QVERIFY2(session->Start(options, error), error.c_str());
        Window().show();
        QVERIFY(QTest::qWaitForWindowExposed(&Window()));
    }

    void cleanupTestCase() {
        session.reset();
        QDir(tempDir).removeRecursively();
    }

    void theHostMenusAndDocksSpeakTheLanguage() {
        QStringList titles;
        for (QAction* a : Window().menuBar()->actions()) titles << a->text();
        QCOMPARE(titles.value(0), Says("&Projekt", "&Project"));
        QCOMPARE(titles.value(1), Says("&Szerkesztés", "&Edit"));
        QCOMPARE(titles.value(2), Says("&Nézet", "&View"));
        QVERIFY2(titles.contains(QStringLiteral("&Bauvista")), qPrintable(titles.join(' ')));
        QCOMPARE(titles.back(), Says("&Ablak", "&Window"));
        QStringList items;
        for (QAction* a : Window().menuBar()->actions().value(0)->menu()->actions()) items << a->text();
        QVERIFY2(items.contains(Says("&IFC megnyitása...", "Open &IFC...")), qPrintable(items.join(' ')));
        auto* report = Window().findChild<QDockWidget*>(QStringLiteral("reportDock"));
        QCOMPARE(report->windowTitle(), Says("Jelentés", "Report"));
        QVERIFY(Window().windowTitle().startsWith(Says("Névtelen", "Untitled")));
        auto* selected = Window().findChild<QTreeWidget*>(QStringLiteral("selection"));
        QVERIFY(selected);
        QCOMPARE(selected->headerItem()->text(1), Says("Érték", "Value"));
        QCOMPARE(selected->topLevelItem(0)->text(0), Says("Nincs kijelölt elem", "Nothing selected"));
    }

    void theIfcReportSpeaksItToo() {
        QVERIFY(Window().OpenProjectFile(QStringLiteral(BV_SOURCE_DIR "/tests/data/ifc/IfcOpenHouse.ifc")));
        QCOMPARE(Window().ReportWindow()->document()->lastBlock().text(),
                 Says("IFC-modell (IFC2X3): 35 elem, 0 termék kimaradt", "IFC model IFC2X3: 35 elements, 0 products left out"));
    }

    void aFileThatCannotBeOpenedIsSaidSo() {
        QString said, why;
        auto* timer = new QTimer(this);
        timer->setInterval(10);
        connect(timer, &QTimer::timeout, this, [&said, &why, timer] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            timer->stop();
            said = box->text();
            why = box->informativeText();
            box->buttons().front()->click();
        });
        timer->start();
        QVERIFY(!Window().OpenProjectFile(tempDir + QStringLiteral("/hiányzó.ifc")));
        delete timer;
        QCOMPARE(said, Says("A(z) \"hiányzó.ifc\" nem nyitható meg.", "\"hiányzó.ifc\" cannot be opened."));
        QVERIFY2(why.contains(QStringLiteral("hiányzó.ifc")), qPrintable(why));
    }

    void qtsOwnFileDialogAndCalendarSpeakItToo() {
        QFileDialog box(&Window());
        box.setOption(QFileDialog::DontUseNativeDialog);
        box.setAcceptMode(QFileDialog::AcceptOpen);
        auto* buttons = box.findChild<QDialogButtonBox*>();
        QVERIFY(buttons);
        QCOMPARE(buttons->button(QDialogButtonBox::Cancel)->text(), Says("Mégse", "&Cancel").remove('&'));
        QCOMPARE(buttons->button(QDialogButtonBox::Open)->text(), Says("&Megnyitás", "&Open"));
        QCalendarWidget calendar;
        QCOMPARE(calendar.firstDayOfWeek(), hungarian ? Qt::Monday : Qt::Sunday);
        QDir().mkpath(QStringLiteral(BV_SCREENSHOT_DIR));
        box.resize(700, 420);
        box.grab().save(QStringLiteral(BV_SCREENSHOT_DIR "/file-dialog-%1.png").arg(hungarian ? "hu" : "en"));
    }

    void thePalettesDateIsWrittenAsTheLocaleWritesIt() {
        Window().AddonAction(32500, 1)->trigger(); // the palette, with its current date
        DialogWindow* palette = Window().Dialogs()->Window(32400);
        QVERIFY(palette);
        QTRY_VERIFY(palette->isVisible());
        auto* date = qobject_cast<QDateEdit*>(palette->ItemView(10));
        QVERIFY(date);
        QTRY_COMPARE(date->text(), Says("2009.03.20.", "3/20/2009"));
    }
};

QTEST_MAIN(DeskLanguageTest)
#include "DeskLanguageTest.moc"
