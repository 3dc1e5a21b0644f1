// The second 3D window beside the first: opened from the Window menu, it looks with the first's
// camera and shows the schedule's other view at the date the first shows.
#include "DeskHouseSession.h"
#include "ModalWaits.h"
#include "desk/dialogs/DialogWindow.h"
#include "desk/dialogs/QtDialogBackEnd.h"
#include "desk/views/ModelView.h"
#include "desk/window/MainWindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDateEdit>
#include <QDir>
#include <QDockWidget>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

constexpr int16_t kMenu = 32500;
constexpr int32_t kPaletteId = 32400;
constexpr int32_t kSCurveId = 32422;
constexpr int16_t kSCurveMenuItem = 18, kSCurveArea = 3;
constexpr int16_t kDateField = 10, kShowBuilt = 9, kList = 16, kLinkButton = 1;

bool Greenish(QRgb c) { return qGreen(c) > qRed(c) + 40 && qGreen(c) > qBlue(c) + 40; }

} // namespace

class DeskSecondViewTest : public QObject, public DeskHouseSession {
    Q_OBJECT

private:
    DialogWindow* Palette() { return Window().Dialogs()->Window(kPaletteId); }
    QDockWidget* SecondDock() { return Window().findChild<QDockWidget*>(QStringLiteral("secondDock")); }
    // The second window's picture at the first's size, so a pixel names the same place in both.
    QImage SecondAtFirstSize() {
        ModelView* second = Window().SecondView();
        second->setFixedSize(Window().View3D()->size());
        QApplication::processEvents();
        return second->Picture();
    }
    void ShowOn(QDate day) {
        auto* date = qobject_cast<QDateEdit*>(Palette()->ItemView(kDateField));
        QVERIFY(date);
        date->setDate(day);
        QTest::mouseClick(Palette()->ItemView(kShowBuilt), Qt::LeftButton);
        Window().RefreshAll();
    }

private slots:
    void initTestCase() {
        std::string error;
        QVERIFY2(StartOnHouse(QStringLiteral("bv-desk-second"), "2009-03-01", error), error.c_str());
        QVERIFY(QTest::qWaitForWindowExposed(&Window()));
    }

    void cleanupTestCase() { EndSession(); }

    void theSecondWindowFollowsTheFirstsCameraAndDate() {
        // The schedule, and a wall of the ground floor linked to its row 6.
        Window().AddonAction(kMenu, 1)->trigger();
        QTRY_VERIFY(Palette() && Palette()->isVisible());
        WhenReady(this, [] { return ActiveModal<QFileDialog>() != nullptr; }, [] {
            auto* box = ActiveModal<QFileDialog>();
            box->selectNameFilter(box->nameFilters().at(1));
            box->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(QStringLiteral(BV_SOURCE_DIR "/examples/house/schedule.txt"));
            static_cast<QDialog*>(box)->accept();
        });
        Window().AddonAction(kMenu, 3)->trigger();
        const QPoint wall = PointOnElement("FAL-01");
        QVERIFY(wall.x() >= 0);
        QTest::mouseClick(Window().View3D(), Qt::LeftButton, Qt::NoModifier, wall);
        Palette()->Dialog()->UserSelectRow(kList, 6);
        WhenReady(this, [] { return ActiveModal<QMessageBox>() != nullptr; },
                  [] { ActiveModal<QMessageBox>()->buttons().front()->click(); });
        QTest::mouseClick(Palette()->ItemView(kLinkButton), Qt::LeftButton);
        Model().Selection().clear();

        // Opened from the Window menu: the host keeps its state while it is open.
        QDockWidget* dock = SecondDock();
        QVERIFY(dock);
        QVERIFY(!dock->isVisible());
        QVERIFY(!Model().SecondViewOpen());
        dock->toggleViewAction()->trigger();
        QTRY_VERIFY(dock->isVisible());
        QVERIFY(Model().SecondViewOpen());

        // The date moves both: planned, the wall is under way in the first window on 20 March;
        // nothing of it happened, so the second (what happened) does not show it.
        ShowOn(QDate(2009, 3, 20));
        const Element* fal = Model().FindByIdText("FAL-01");
        QVERIFY(fal && fal->second && fal->second->hidden);
        QImage first = Window().View3D()->Picture();
        QImage second = SecondAtFirstSize();
        QVERIFY2(Greenish(first.pixel(wall)), qPrintable(QColor(first.pixel(wall)).name()));
        QVERIFY2(!Greenish(second.pixel(wall)), qPrintable(QColor(second.pixel(wall)).name()));
        // A click picks what the window it falls in draws there.
        QTest::mouseClick(Window().SecondView(), Qt::LeftButton, Qt::NoModifier, wall);
        QVERIFY(std::find(Model().Selection().begin(), Model().Selection().end(), fal->Guid()) == Model().Selection().end());
        QTest::mouseClick(Window().View3D(), Qt::LeftButton, Qt::NoModifier, wall);
        QCOMPARE(Model().Selection(), std::vector<API_Guid>{fal->Guid()});
        Model().Selection().clear();

        // The camera moves both, whichever window turns it.
        Window().View3D()->OrbitBy(20, 0);
        QApplication::processEvents();
        const QImage turned = SecondAtFirstSize();
        QVERIFY(turned != second);
        const QImage firstBefore = Window().View3D()->Picture();
        Window().SecondView()->OrbitBy(-20, 0);
        QApplication::processEvents();
        QVERIFY(Window().View3D()->Picture() != firstBefore);

        // Both windows side by side, for the eye.
        QImage shot(first.width() * 2 + 8, first.height(), QImage::Format_RGB32);
        shot.fill(Qt::white);
        QPainter painter(&shot);
        painter.drawImage(0, 0, Window().View3D()->Picture());
        painter.drawImage(first.width() + 8, 0, SecondAtFirstSize());
        painter.end();
        QDir().mkpath(QStringLiteral(BV_SCREENSHOT_DIR));
        shot.save(QStringLiteral(BV_SCREENSHOT_DIR "/second-view-beside-first.png"));

        // Closed, the host forgets what it showed.
        dock->toggleViewAction()->trigger();
        QTRY_VERIFY(!dock->isVisible());
        QVERIFY(!Model().SecondViewOpen());
        QVERIFY(!Model().FindByIdText("FAL-01")->second);
    }

    void theSCurveWindowShowsItsLinesInTheDesk() {
        Window().AddonAction(kMenu, kSCurveMenuItem)->trigger();
        QTRY_VERIFY(Window().Dialogs()->Window(kSCurveId) && Window().Dialogs()->Window(kSCurveId)->isVisible());
        DialogWindow* window = Window().Dialogs()->Window(kSCurveId);
        QWidget* area = window->ItemView(kSCurveArea);
        QVERIFY(area);
        QTRY_VERIFY(area->isVisible());
        QVERIFY(area->width() > 200 && area->height() > 120);
        // Inside the window, whole, and painted: more than its white background.
        QVERIFY(window->rect().contains(area->geometry()));
        const QImage picture = area->grab().toImage();
        int coloured = 0;
        for (int y = 0; y < picture.height(); y += 2)
            for (int x = 0; x < picture.width(); x += 2) {
                const QRgb c = picture.pixel(x, y);
                if (std::abs(qRed(c) - qGreen(c)) > 60 || std::abs(qGreen(c) - qBlue(c)) > 60) ++coloured;
            }
        QVERIFY2(coloured > 20, qPrintable(QString::number(coloured)));
        QDir().mkpath(QStringLiteral(BV_SCREENSHOT_DIR));
        window->grab().save(QStringLiteral(BV_SCREENSHOT_DIR "/s-curve-window.png"));
    }
};

QTEST_MAIN(DeskSecondViewTest)
#include "DeskSecondViewTest.moc"
