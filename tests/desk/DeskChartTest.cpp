// The schedule chart in the window: shown from the add-on's menu beside the 3D view, its
// current-date line dragged with the mouse, and the model following it in the 3D view.
#include "DeskHouseSession.h"
#include "ModalWaits.h"
#include "desk/dialogs/DialogWindow.h"
#include "desk/dialogs/QtDialogBackEnd.h"
#include "desk/views/ElementPicker.h"
#include "desk/views/ModelView.h"
#include "desk/window/MainWindow.h"
#include "dialogkit/DGCanvas.h"
#include "host/render/ViewProjection.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDateEdit>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

constexpr int16_t kMenu = 32500;
constexpr int32_t kPaletteId = 32400;
constexpr int32_t kChartId = 32420;
constexpr int16_t kChartArea = 5;
constexpr uint32_t kCurrentDateColour = 0x0000D0;

bool Greenish(QRgb c) { return qGreen(c) > qRed(c) + 40 && qGreen(c) > qBlue(c) + 40; }

} // namespace

class DeskChartTest : public QObject, public DeskHouseSession {
    Q_OBJECT

private:
    DialogWindow* Palette() { return Window().Dialogs()->Window(kPaletteId); }
    DialogWindow* Chart() { return Window().Dialogs()->Window(kChartId); }
    // The current-date line's pixel in the chart's area, from the canvas the area paints.
    int CurrentDateX(QWidget* area) {
        DGCanvas canvas = Chart()->Dialog()->DrawUserArea(kChartArea, area->width(), area->height());
        for (const DGCanvasOp& op : canvas.Ops())
            if (op.kind == DGCanvasOp::Kind::Line && op.width == 3 && op.color == kCurrentDateColour) return op.points[0].x;
        return -1;
    }

private slots:
    void initTestCase() {
        std::string error;
        QVERIFY2(StartOnHouse(QStringLiteral("bv-desk-chart"), "2009-03-01", error), error.c_str());
        QVERIFY(QTest::qWaitForWindowExposed(&Window()));
    }

    void cleanupTestCase() { EndSession(); }

    void draggingTheDateLineTakesThe3DViewAlong() {
        // The schedule, and two walls of the ground floor linked to its row 6.
        Window().AddonAction(kMenu, 1)->trigger();
        QTRY_VERIFY(Palette() && Palette()->isVisible());
        WhenReady(this, [] { return ActiveModal<QFileDialog>() != nullptr; }, [] {
            auto* box = ActiveModal<QFileDialog>();
            box->selectNameFilter(box->nameFilters().at(1));
            box->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(QStringLiteral(BV_SOURCE_DIR "/examples/house/schedule.txt"));
            static_cast<QDialog*>(box)->accept();
        });
        Window().AddonAction(kMenu, 3)->trigger();
        QPoint wall = PointOnElement("FAL-01");
        QVERIFY(wall.x() >= 0);
        ModelView* v = Window().View3D();
        QTest::mouseClick(v, Qt::LeftButton, Qt::NoModifier, wall);
        Palette()->Dialog()->UserSelectRow(16, 6);
        WhenReady(this, [] { return ActiveModal<QMessageBox>() != nullptr; },
                  [] { ActiveModal<QMessageBox>()->buttons().front()->click(); });
        QTest::mouseClick(Palette()->ItemView(1), Qt::LeftButton);
        Model().Selection().clear();

        // The chart, from the menu; the item's text turns to hiding it.
        QAction* show = Window().AddonAction(kMenu, 12);
        QVERIFY(show);
        QString before = show->text();
        show->trigger();
        QTRY_VERIFY(Chart() && Chart()->isVisible());
        QVERIFY(show->text() != before);
        QWidget* area = Chart()->ItemView(kChartArea);
        QVERIFY(area);
        QTRY_VERIFY(area->isVisible());
        Window().RefreshAll();
        QImage picture = v->Picture();

        // Pressed on the line (1 March), dragged through the days to 20 March, 4 pixels a day.
        int x = CurrentDateX(area);
        QVERIFY(x > 0);
        int y = 10;
        QTest::mousePress(area, Qt::LeftButton, Qt::NoModifier, QPoint(x, y));
        QTest::mouseMove(area, QPoint(x + 30, y));
        QTest::mouseMove(area, QPoint(x + 60, y));
        QTest::mouseMove(area, QPoint(x + 19 * 4, y));
        QTest::mouseRelease(area, Qt::LeftButton, Qt::NoModifier, QPoint(x + 19 * 4, y));
        QCOMPARE(CurrentDateX(area), x + 19 * 4);
        auto* date = qobject_cast<QDateEdit*>(Palette()->ItemView(10));
        QVERIFY(date);
        QTRY_COMPARE(date->date(), QDate(2009, 3, 20));
        Window().RefreshAll();
        QImage after = v->Picture();
        QVERIFY(after != picture);
        QVERIFY2(Greenish(after.pixel(wall)), qPrintable(QColor(after.pixel(wall)).name()));
        QVERIFY(!Greenish(picture.pixel(wall)));

        // The chart beside the model, for the documents.
        QImage shot(Window().width() + Chart()->width(), std::max(Window().height(), Chart()->height()), QImage::Format_RGB32);
        shot.fill(Qt::white);
        QPainter painter(&shot);
        painter.drawPixmap(0, 0, Window().grab());
        painter.drawPixmap(Window().width(), 0, Chart()->grab());
        painter.end();
        QDir().mkpath(QStringLiteral(BV_SCREENSHOT_DIR));
        shot.save(QStringLiteral(BV_SCREENSHOT_DIR "/chart-beside-model.png"));
    }
};

QTEST_MAIN(DeskChartTest)
#include "DeskChartTest.moc"
