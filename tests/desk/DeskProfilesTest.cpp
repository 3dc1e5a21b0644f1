// The appearance profiles dialog in the window: an office's profiles read in, the dialog from the
// add-on's menu, its list's swatches showing each colour over a checker as its transparency says,
// every label whole, and a cancel that leaves the profiles as they were.
#include "DeskHouseSession.h"
#include "ModalWaits.h"
#include "desk/dialogs/DialogWindow.h"
#include "desk/dialogs/ModalDialogWindow.h"
#include "desk/dialogs/QtDialogBackEnd.h"
#include "desk/window/MainWindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <cstdlib>
#include <functional>

namespace {

constexpr int16_t kMenu = 32500;
constexpr int32_t kPaletteId = 32400;
constexpr int16_t kProfilesList = 3, kCancel = 2;
constexpr int kDuringSwatchLeft = 172 + 52, kSwatchWidth = 46;

// Opens the file through the add-on's file dialog on the menu item.
void ChooseThenTrigger(QObject* owner, MainWindow& window, int item, int filter, const QString& path) {
    WhenReady(owner, [] { return ActiveModal<QFileDialog>() != nullptr; }, [filter, path] {
        auto* box = ActiveModal<QFileDialog>();
        box->selectNameFilter(box->nameFilters().at(filter));
        box->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(path);
        static_cast<QDialog*>(box)->accept();
    });
    window.AddonAction(kMenu, item)->trigger();
}

bool Near(QRgb pixel, int r, int g, int b) {
    return std::abs(qRed(pixel) - r) <= 2 && std::abs(qGreen(pixel) - g) <= 2 && std::abs(qBlue(pixel) - b) <= 2;
}

} // namespace

class DeskProfilesTest : public QObject, public DeskHouseSession {
    Q_OBJECT

private slots:
    void initTestCase() {
        std::string error;
        QVERIFY2(StartOnHouse(QStringLiteral("bv-desk-profiles"), "2009-03-01", error), error.c_str());
        QVERIFY(QTest::qWaitForWindowExposed(&Window()));
    }

    void cleanupTestCase() { EndSession(); }

    void theSwatchesShowEachColourOverAChecker() {
        Window().AddonAction(kMenu, 1)->trigger();
        QTRY_VERIFY(Window().Dialogs()->Window(kPaletteId) != nullptr);
        ChooseThenTrigger(this, Window(), 3, 1, QStringLiteral(BV_SOURCE_DIR "/examples/house/schedule.txt"));
        ChooseThenTrigger(this, Window(), 15, 0, QStringLiteral(BV_SOURCE_DIR "/tests/scripts/data/profiles.json"));

        int rows = 0, checkerLight = 0, checkerDark = 0;
        QStringList cutLabels;
        bool shown = false;
        WhenReady(this, [] { return ActiveModal<ModalDialogWindow>() != nullptr; }, [&] {
            auto* dialog = ActiveModal<ModalDialogWindow>();
            shown = dialog->objectName() == QStringLiteral("dialog32421");
            auto* list = qobject_cast<QListWidget*>(dialog->ItemView(kProfilesList));
            if (list) {
                rows = list->count();
                // "Állvány" (row 7): during, a yellow at 40 % over the checker's two greys.
                list->setCurrentRow(6);
                QApplication::processEvents();
                const QImage image = list->viewport()->grab().toImage();
                const QRect row = list->visualItemRect(list->item(6));
                for (int y = row.top() + 3; y < row.bottom() - 2; ++y)
                    for (int x = row.left() + kDuringSwatchLeft + 1; x < row.left() + kDuringSwatchLeft + kSwatchWidth - 1; ++x) {
                        const QRgb p = image.pixel(x, y);
                        checkerLight += Near(p, 255, 255, 179);
                        checkerDark += Near(p, 223, 223, 147);
                    }
            }
            for (auto* b : dialog->findChildren<QAbstractButton*>())
                if (b->isVisible() && b->sizeHint().width() > b->width()) cutLabels << b->text();
            QDir().mkpath(QStringLiteral(BV_SCREENSHOT_DIR));
            dialog->grab().save(QStringLiteral(BV_SCREENSHOT_DIR "/dialog-32421.png"));
            QTest::mouseClick(dialog->ItemView(kCancel), Qt::LeftButton);
        });
        Window().AddonAction(kMenu, 14)->trigger();
        QVERIFY(shown);
        QCOMPARE(rows, 8);
        QVERIFY2(checkerLight > 20 && checkerDark > 20, qPrintable(QStringLiteral("%1 light, %2 dark").arg(checkerLight).arg(checkerDark)));
        QVERIFY2(cutLabels.isEmpty(), qPrintable(cutLabels.join(QStringLiteral(" | "))));
    }
};

QTEST_MAIN(DeskProfilesTest)
#include "DeskProfilesTest.moc"
