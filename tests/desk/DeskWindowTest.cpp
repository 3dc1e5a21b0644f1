// A planner's session in the window, driven by mouse and keys: the example house, the palette,
// the schedule through the file dialog, linking by clicking in the 3D view, the building on a
// date, the selection and the views, the report as a place to work, the keyboard, an in-place
// edit the palette refuses, and a movie stopped from its progress window.
#include "DeskHouseSession.h"
#include "ModalWaits.h"
#include "bytes/LittleEndian.h"
#include "desk/dialogs/ActivityListView.h"
#include "desk/dialogs/CodePageText.h"
#include "desk/dialogs/DialogUnits.h"
#include "desk/dialogs/DialogWindow.h"
#include "desk/dialogs/ModalDialogWindow.h"
#include "desk/dialogs/QtDialogBackEnd.h"
#include "desk/views/ElementPicker.h"
#include "desk/views/ModelView.h"
#include "desk/views/SelectionOverlay.h"
#include "desk/window/FindPanel.h"
#include "desk/window/LayerPanel.h"
#include "desk/window/MainWindow.h"
#include "desk/window/Mnemonics.h"
#include "desk/window/ReportView.h"
#include "desk/window/WindowPlaces.h"
#include "dialogkit/DGAnswers.h"
#include "host/render/ViewDepth.h"
#include "host/render/ViewProjection.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QDockWidget>
#include <QFileDialog>
#include <QHelpEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <QToolTip>
#include <QTreeWidget>
#include <QWindow>

#include <filesystem>
#include <functional>
#include <memory>

namespace {

constexpr int16_t kMenu = 32500;
constexpr int32_t kPaletteId = 32400;
constexpr int16_t kList = 16;

// Acts once `ready` holds, polling while modal loops run (a dialog's exec, a frame loop's pump).
// A test's waits that never came true end with the test.
QObject* gWaits = nullptr;
void WhenReady(std::function<bool()> ready, std::function<void()> act) { ::WhenReady(gWaits, std::move(ready), std::move(act)); }

void Screenshot(QWidget* widget, const QString& name) {
    QDir().mkpath(QStringLiteral(BV_SCREENSHOT_DIR));
    widget->grab().save(QStringLiteral(BV_SCREENSHOT_DIR "/") + name);
}

void ClickButton(QWidget* button) { QTest::mouseClick(button, Qt::LeftButton); }

// Types the path into the dialog's name field, as a user would, and accepts. selectFile leaves
// the field alone while it has the focus, which the dialog may or may not have given it by the
// time a timer fires.
void ChooseFile(QFileDialog* box, const QString& path) {
    auto* name = box->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    QVERIFY(name != nullptr);
    name->setText(path);
    static_cast<QDialog*>(box)->accept();
}

// A click as the window system delivers it: to the top-level window, which passes it on to
// the widget under the pointer.
void ClickThroughWindow(QWidget* widget, QPoint at) {
    QWindow* window = widget->window()->windowHandle();
    QPointF local = widget->mapTo(widget->window(), at);
    QPointF global = widget->mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(window, &press);
    QApplication::sendEvent(window, &release);
}

// Answers every question while it runs: the host's "Save changes?" with the button of
// `answer`'s text, noting it was asked; any other question (the add-on's) with its escape.
struct Answerer {
    QString answer;
    int asked = 0;
    QTimer timer;
    Answerer() {
        timer.setInterval(10);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            auto* box = ActiveModal<QMessageBox>();
            if (!box) return;
            if (box->objectName() != QStringLiteral("alert1001")) return box->escapeButton()->click();
            ++asked;
            for (QAbstractButton* b : box->buttons())
                if (b->text() == answer) return b->click();
        });
        timer.start();
    }
};

bool Greenish(QRgb c) { return qGreen(c) > qRed(c) + 40 && qGreen(c) > qBlue(c) + 40; }

QRect ScreenRoom() { return QGuiApplication::primaryScreen()->availableGeometry(); }

// Where every corner of the element falls in the view, as a rectangle.
QRect Footprint(const ViewProjection& view, const Element& e) {
    QRect out;
    for (const Vec3& c : ElementCorners(e))
        if (auto p = view.Project(c)) out |= QRect(QPoint(static_cast<int>(p->x), static_cast<int>(p->y)), QSize(1, 1));
    return out;
}

} // namespace

class DeskWindowTest : public QObject, public DeskHouseSession {
    Q_OBJECT

private:
    DialogWindow* Palette() { return Window().Dialogs()->Window(kPaletteId); }
    ActivityListView* List() { return Palette()->ListView(kList); }
    DGDialog& PaletteDialog() { return *Palette()->Dialog(); }
    // The ID text of the element a click at this point of the 3D view picks; empty for none.
    std::string PickElementAt(QPoint at) {
        ModelView* v = Window().View3D();
        ViewProjection view(Model().view.Camera(), v->width(), v->height());
        Element* e = PickElement(Model(), view, at.x() + 0.5, at.y() + 0.5);
        return e ? e->IdText() : std::string();
    }
    QAction* ProjectItem(const QString& text) {
        for (QAction* menu : Window().menuBar()->actions())
            if (menu->menu() && menu->text() == QStringLiteral("&Project"))
                for (QAction* a : menu->menu()->actions())
                    if (a->text() == text) return a;
        return nullptr;
    }
    QPoint RowPoint(int32_t row, int x = 20) { return QPoint(x, List()->RowTop(row) + List()->RowHeightPixels() / 2); }


private slots:
    void initTestCase() {
        std::string error;
        QVERIFY2(StartOnHouse(QStringLiteral("bv-desk"), "2009-03-20", error), error.c_str());
        QVERIFY(QTest::qWaitForWindowExposed(&Window()));
    }

    void init() { gWaits = new QObject; }
    void cleanup() {
        delete gWaits;
        gWaits = nullptr;
    }

    void cleanupTestCase() {
        // Whatever the add-on asks while it unloads is declined, as a user leaving would.
        QTimer decline;
        QStringList asked;
        connect(&decline, &QTimer::timeout, [&] {
            if (auto* box = ActiveModal<QMessageBox>()) {
                asked << box->objectName();
                box->buttons().back()->click();
            }
        });
        decline.start(10);
        session.reset();
        qInfo("asked on leaving: %s", qPrintable(asked.join(' ')));
        QDir(tempDir).removeRecursively();
    }

    void paletteShowsFromTheAddonMenu() {
        QAction* show = Window().AddonAction(kMenu, 1);
        QVERIFY(show);
        QString before = show->text();
        show->trigger();
        QVERIFY(Palette());
        QTRY_VERIFY(Palette()->isVisible());
        QVERIFY(Palette()->windowFlags() & Qt::Tool);
        // The add-on renamed its item to the hiding one, which keeps a mnemonic.
        QVERIFY(show->text() != before);
        QVERIFY(!MnemonicOf(show->text()).isNull());
    }

    void atFirstStartEveryWindowLiesInsideTheScreenOverTheViewsFreeArea() {
        QVERIFY2(ScreenRoom().contains(Window().frameGeometry()), "main window");
        QVERIFY2(ScreenRoom().contains(Palette()->frameGeometry()), "palette");
        // The palette lies over the 3D view, leaving the menus and docks free.
        QRect view(Window().View3D()->mapToGlobal(QPoint(0, 0)), Window().View3D()->size());
        QVERIFY(view.contains(Palette()->geometry()));
        auto* photo = Window().findChild<QDockWidget*>(QStringLiteral("photoDock"));
        photo->show();
        QTRY_VERIFY(photo->isVisible());
        QVERIFY2(ScreenRoom().contains(photo->frameGeometry()), "photo window");
        QVERIFY(!photo->frameGeometry().intersects(Palette()->frameGeometry()));
        photo->hide();
    }

    void thePaletteHidesAndReturnsWithTheMainWindow() {
        Window().setWindowState(Qt::WindowMinimized);
        QTRY_VERIFY(!Palette()->isVisible());
        Window().setWindowState(Qt::WindowNoState);
        QTRY_VERIFY(Palette()->isVisible());
    }

    void scheduleImportsThroughTheFileDialog() {
        QString path = QStringLiteral(BV_SOURCE_DIR "/examples/house/schedule.txt");
        QString filterShown;
        WhenReady([] { return ActiveModal<QFileDialog>() != nullptr; }, [&] {
            auto* box = ActiveModal<QFileDialog>();
            filterShown = box->selectedNameFilter();
            box->selectNameFilter(box->nameFilters().at(1));
            ChooseFile(box, path);
        });
        Window().AddonAction(kMenu, 3)->trigger();
        QVERIFY(!filterShown.isEmpty());
        Palette()->Sync();
        QCOMPARE(PaletteDialog().List(kList)->rows.size(), size_t{12});
    }

    void thePaletteShowsItsLongestTaskNameAndEveryRow() {
        const DGListState& list = *PaletteDialog().List(kList);
        const DGTabField& names = list.tabs.front();
        QFontMetrics metrics(List()->font());
        QString longest;
        for (const DGListRow& row : list.rows)
            if (metrics.horizontalAdvance(FromCodePage(row.tabs[0])) > metrics.horizontalAdvance(longest))
                longest = FromCodePage(row.tabs[0]);
        QVERIFY2(metrics.horizontalAdvance(longest) + 5 <= ToPixels(names.right - names.left), qPrintable(longest));
        // The header over the column grew with it (the palette's own resize handling).
        QCOMPARE(PaletteDialog().Item(17)->rect.width, static_cast<int16_t>(names.right - names.left));
        QVERIFY(List()->viewport()->height() >= 12 * List()->RowHeightPixels());
        QVERIFY2(ScreenRoom().contains(Palette()->frameGeometry()), "palette");
        // Grown upwards from where it opened: still over the 3D view.
        QRect view(Window().View3D()->mapToGlobal(QPoint(0, 0)), Window().View3D()->size());
        QVERIFY(view.contains(Palette()->geometry()));
        Screenshot(Palette(), QStringLiteral("palette-fitted.png"));
    }

    void theKeyboardReachesEveryMenu() {
        // Every menu title and item has a mnemonic of its own within its menu.
        QSet<QChar> titles;
        for (QAction* title : Window().menuBar()->actions()) {
            QChar t = MnemonicOf(title->text());
            QVERIFY2(!t.isNull() && !titles.contains(t), qPrintable(title->text()));
            titles.insert(t);
            QSet<QChar> items;
            for (QAction* a : title->menu()->actions()) {
                if (a->isSeparator()) continue;
                QChar m = MnemonicOf(a->text());
                QVERIFY2(!m.isNull() && !items.contains(m), qPrintable(title->text() + QStringLiteral(": ") + a->text()));
                items.insert(m);
            }
        }
        Window().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&Window()));
        QMenu* addonMenu = nullptr;
        for (QAction* title : Window().menuBar()->actions())
            if (title->text() == QStringLiteral("&Bauvista")) addonMenu = title->menu();
        QVERIFY(addonMenu);
        QTest::keyClick(&Window(), Qt::Key_B, Qt::AltModifier);
        QTRY_VERIFY(addonMenu->isVisible());
        Screenshot(addonMenu, QStringLiteral("bauvista-menu.png"));
        addonMenu->hide();
        QTRY_VERIFY(!addonMenu->isVisible());
        // F10 goes to the menu bar's first menu.
        Window().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&Window()));
        QTest::keyClick(&Window(), Qt::Key_F10);
        QTRY_COMPARE(Window().menuBar()->activeAction(), Window().menuBar()->actions().front());
        QTest::keyClick(Window().menuBar(), Qt::Key_Escape);
        if (QWidget* popup = QApplication::activePopupWidget()) popup->hide();
        Window().menuBar()->setActiveAction(nullptr);
    }

    void elementsAreSelectedByClickingInThe3DView() {
        QPoint wall1 = PointOnElement("FAL-01"), wall2 = PointOnElement("OSZ-01");
        QVERIFY(wall1.x() >= 0 && wall2.x() >= 0);
        ModelView* v = Window().View3D();
        QTest::mouseClick(v, Qt::LeftButton, Qt::NoModifier, wall1);
        QCOMPARE(Model().Selection().size(), size_t{1});
        QTest::mouseClick(v, Qt::LeftButton, Qt::ShiftModifier, wall2);
        QCOMPARE(Model().Selection().size(), size_t{2});
        // Shift-click again takes it out; a plain click on empty sky clears.
        QTest::mouseClick(v, Qt::LeftButton, Qt::ShiftModifier, wall2);
        QCOMPARE(Model().Selection().size(), size_t{1});
        QTest::mouseClick(v, Qt::LeftButton, Qt::NoModifier, QPoint(2, 2));
        QCOMPARE(Model().Selection().size(), size_t{0});
        // A rubber band round the whole picture takes every drawn element.
        QTest::mousePress(v, Qt::LeftButton, Qt::NoModifier, QPoint(1, 1));
        QTest::mouseMove(v, QPoint(40, 40));
        QTest::mouseMove(v, QPoint(v->width() - 2, v->height() - 2));
        QTest::mouseRelease(v, Qt::LeftButton, Qt::NoModifier, QPoint(v->width() - 2, v->height() - 2));
        QVERIFY(Model().Selection().size() > 5);
        QTest::mouseClick(v, Qt::LeftButton, Qt::NoModifier, wall1);
        QTest::mouseClick(v, Qt::LeftButton, Qt::ShiftModifier, wall2);
        QCOMPARE(Model().Selection().size(), size_t{2});
    }

    void selectionIsLinkedAndMarked() {
        // Row 6: the ground-floor walls' task.
        QTest::mouseClick(List()->viewport(), Qt::LeftButton, Qt::NoModifier, RowPoint(6));
        QCOMPARE(PaletteDialog().List(kList)->selected, 6);
        QString asked;
        WhenReady([] { return ActiveModal<QMessageBox>() != nullptr; }, [&] {
            asked = ActiveModal<QMessageBox>()->objectName();
            ActiveModal<QMessageBox>()->buttons().front()->click();
        });
        ClickButton(Palette()->ItemView(1)); // link, confirmed
        QCOMPARE(asked, QStringLiteral("alert32509"));
        ClickButton(Palette()->ItemView(3)); // mark the rows linked to the selection
        QTest::mouseClick(List()->viewport(), Qt::LeftButton, Qt::NoModifier, RowPoint(2));
        Palette()->Sync();
        QVERIFY(PaletteDialog().List(kList)->rows[5].colored);
        QImage list = List()->viewport()->grab().toImage();
        const DGTabField& typeTab = PaletteDialog().List(kList)->tabs[1];
        QPoint inRow6(ToPixels(typeTab.right) - 3, RowPoint(6).y());
        QCOMPARE(QColor(list.pixel(inRow6)), QColor(180, 180, 180));
        QVERIFY(QColor(list.pixel(QPoint(inRow6.x(), RowPoint(7).y()))) != QColor(180, 180, 180));
    }

    void aRowsHelpTextTellsHowManyElementsAreLinkedToItsTask() {
        int32_t id = PaletteDialog().List(kList)->rows[5].value;
        int linked = 0;
        for (const auto& e : Model().Elements()) {
            auto data = e->userData.find("Bauvista");
            if (data == e->userData.end() || data->second.bytes.size() < 40) continue;
            for (size_t k = 0; k < 10; ++k) linked += LE::Get<int32_t>(data->second.bytes, 4 * k) == id ? 1 : 0;
        }
        QVERIFY(linked >= 2); // the two just linked
        QCOMPARE(List()->TipAt(RowPoint(6).y()), QStringLiteral("Kapcsolt elemek: %1").arg(linked));
        QCOMPARE(List()->TipAt(RowPoint(12).y()), QStringLiteral("Kapcsolt elemek: 0"));
        QCOMPARE(List()->TipAt(List()->RowTop(13) + 2), QString());
        // The pointer resting on the row shows it.
        QPoint at = RowPoint(6);
        QHelpEvent help(QEvent::ToolTip, at, List()->viewport()->mapToGlobal(at));
        QApplication::sendEvent(List()->viewport(), &help);
        QTRY_COMPARE(QToolTip::text(), QStringLiteral("Kapcsolt elemek: %1").arg(linked));
        QToolTip::hideText();
    }

    void theBuildingOnADateShowsWorkInItsConstructionColour() {
        QPoint wall = PointOnElement("FAL-01");
        auto* date = qobject_cast<QDateEdit*>(Palette()->ItemView(10));
        QVERIFY(date);
        date->setDate(QDate(2009, 3, 20));
        ClickButton(Palette()->ItemView(9)); // "Mutasd ami felépült"
        Model().Selection().clear();
        Window().RefreshAll();
        QImage picture = Window().View3D()->Picture();
        QVERIFY2(Greenish(picture.pixel(wall)), qPrintable(QColor(picture.pixel(wall)).name()));
        // The window shows the renderer's own pixels, the ones a movie captures.
        Image host = Window().View3D()->RenderFull();
        QCOMPARE(QColor(picture.pixel(wall)).rgb() & 0xFFFFFF, host.At(wall.x(), wall.y()));
        // The palette floats where it opened, over the window's lower left; drawn with a title
        // bar as a window manager would (offscreen has none).
        QImage shot = Window().grab().toImage();
        {
            QPainter painter(&shot);
            QPixmap palette = Palette()->grab();
            QPoint at = Palette()->geometry().topLeft() - Window().geometry().topLeft();
            painter.fillRect(QRect(at - QPoint(1, 21), palette.size() + QSize(2, 22)), QColor(70, 90, 120));
            painter.setPen(Qt::white);
            painter.drawText(QRect(at - QPoint(-6, 20), QSize(palette.width(), 20)), Qt::AlignVCenter, Palette()->windowTitle());
            painter.drawPixmap(at, palette);
        }
        QDir().mkpath(QStringLiteral(BV_SCREENSHOT_DIR));
        shot.save(QStringLiteral(BV_SCREENSHOT_DIR "/main-window-with-palette.png"));
        Screenshot(Palette(), QStringLiteral("palette.png"));
    }

    void aSelectedTerrainLeavesTheHouseInFrontOfItUncovered() {
        Element* terrain = Model().FindByIdText("TER-01");
        QVERIFY(terrain);
        Model().Selection() = {terrain->Guid()};
        Window().RefreshAll();
        ModelView* v = Window().View3D();
        QImage picture = v->Picture().convertToFormat(QImage::Format_RGB32);
        Image host = v->RenderFull();
        ViewDepth depth(Model(), Model().view.Camera(), v->width(), v->height());
        int covered = 0, inFront = 0, outlined = 0;
        for (int32_t y = 0; y < v->height(); ++y)
            for (int32_t x = 0; x < v->width(); ++x) {
                QColor shown(picture.pixel(x, y));
                if (shown == kSelectionColour) ++outlined;
                const Element* owner = depth.Owner(x, y);
                if (!owner || owner == terrain) continue;
                ++inFront;
                uint32_t h = host.At(x, y);
                int most = std::max({std::abs(shown.red() - int((h >> 16) & 0xFF)), std::abs(shown.green() - int((h >> 8) & 0xFF)),
                                     std::abs(shown.blue() - int(h & 0xFF))});
                // At most the faint line behind: the element in front stays itself.
                if (most > kHiddenOutlineAlpha + 2) ++covered;
            }
        Screenshot(v, QStringLiteral("terrain-selected.png"));
        QVERIFY(inFront > 10000);
        QVERIFY2(covered == 0, qPrintable(QStringLiteral("%1 pixels covered").arg(covered)));
        QVERIFY(outlined > 300);
        Model().Selection().clear();
        Window().RefreshAll();
    }

    void fitAllAndTheStandardViewsShowTheWholeBuilding() {
        ViewCamera before = Model().view.Camera();
        ModelView* v = Window().View3D();
        QRect inside = v->rect().adjusted(-2, -2, 2, 2);
        auto everythingInView = [&] {
            ViewProjection view(Model().view.Camera(), v->width(), v->height());
            QRect all;
            for (const auto& e : Model().Elements())
                if (IsElementDrawn(Model(), *e)) {
                    QRect f = Footprint(view, *e);
                    if (!inside.contains(f)) return false;
                    all |= f;
                }
            // And the building fills the view in one direction at least.
            return all.width() > v->width() * 0.8 || all.height() > v->height() * 0.8;
        };
        v->ZoomBy(0.3);
        QVERIFY(!everythingInView());
        QTest::keyClick(v, Qt::Key_Home);
        QVERIFY(everythingInView());
        for (StandardView side : {StandardView::Top, StandardView::Front, StandardView::Back, StandardView::Left,
                                  StandardView::Right, StandardView::Isometric}) {
            v->ShowStandardView(side);
            QVERIFY2(everythingInView(), qPrintable(QStringLiteral("view %1").arg(static_cast<int>(side))));
        }
        ViewProjection top(LookFrom(Model().view.Camera(), StandardView::Top), 10, 10);
        QVERIFY(top.Forward()[2] < -0.99);
        // Parallel projection from the View menu, and back; fitting works the same in it.
        QAction* parallel = nullptr;
        for (QAction* title : Window().menuBar()->actions())
            if (title->text() == QStringLiteral("&View"))
                for (QAction* a : title->menu()->actions())
                    if (a->isCheckable()) parallel = a;
        QVERIFY(parallel);
        parallel->trigger();
        QVERIFY(IsParallel(Model().view.Camera()));
        QTest::keyClick(v, Qt::Key_Home);
        QVERIFY(IsParallel(Model().view.Camera()));
        QVERIFY(everythingInView());
        Screenshot(v, QStringLiteral("parallel-isometric.png"));
        parallel->trigger();
        QVERIFY(!IsParallel(Model().view.Camera()));
        // A middle double click fits as Home does.
        v->ZoomBy(0.3);
        QTest::mouseDClick(v, Qt::MiddleButton, Qt::NoModifier, v->rect().center());
        QVERIFY(everythingInView());
        Model().view.SetCamera(before);
        Window().RefreshAll();
    }

    void aReportLineNamingAnElementOrATaskGoesToIt() {
        // The lines as the schedule checks write them: an element by its ID, tasks by name.
        const DGListState& list = *PaletteDialog().List(kList);
        QString task = FromCodePage(list.rows[4].tabs[0]);
        HostCore& host = session->GetHost();
        host.WriteReport(ToCodePage(QStringLiteral("A(z) 'Fal' (ID: \"FAL-01\") tartalmaz nem illeszkedő tevékenység típusokat:")));
        host.WriteReport(ToCodePage(QStringLiteral("A(z) \"%1\" művelet (Építés) követi a(z) \"%2\" műveletet (Építés)")
                                        .arg(FromCodePage(list.rows[0].tabs[0]), task)));
        ReportView* report = Window().ReportWindow();
        auto pointIn = [report](int line, const QString& part) {
            QTextBlock block = report->document()->lastBlock();
            while (block.isValid() && block.blockNumber() > report->document()->blockCount() - 1 - line) block = block.previous();
            QTextCursor c(block);
            c.setPosition(block.position() + block.text().indexOf(part) + 1);
            return report->cursorRect(c).center();
        };
        Model().Selection().clear();
        QTest::mouseClick(report->viewport(), Qt::LeftButton, Qt::NoModifier, pointIn(1, QStringLiteral("FAL-01")));
        QCOMPARE(Model().Selection().size(), size_t{1});
        QCOMPARE(Model().Find(Model().Selection()[0])->IdText(), std::string("FAL-01"));
        // Brought into view: the wall fills the view's middle.
        ModelView* v = Window().View3D();
        ViewProjection view(Model().view.Camera(), v->width(), v->height());
        QRect wall = Footprint(view, *Model().FindByIdText("FAL-01"));
        QVERIFY(v->rect().contains(wall));
        QVERIFY(wall.width() > v->width() / 2 || wall.height() > v->height() / 2);
        // A click on the second task's name selects its row.
        QTest::mouseClick(report->viewport(), Qt::LeftButton, Qt::NoModifier, pointIn(0, task));
        QCOMPARE(PaletteDialog().List(kList)->selected, 5);
        Model().Selection().clear();
        Window().RefreshAll();
    }

    void stateBarsArePaintedFromTheCanvasCalls() {
        DGListState& state = *PaletteDialog().List(kList);
        const DGTabField& tab = state.tabs[2];
        QImage list = List()->viewport()->grab().toImage();
        int checked = 0;
        for (int32_t row = 1; row <= 8; ++row) {
            DGCanvas canvas = PaletteDialog().DrawTab(kList, row, 3);
            for (const DGCanvasOp& op : canvas.Ops()) {
                if (op.kind != DGCanvasOp::Kind::Fill) continue;
                int top = List()->RowTop(row);
                int x0 = ToPixels(tab.left + op.left), x1 = ToPixels(tab.left + op.right) - 1;
                int y = top + ToPixels(op.bottom - 1); // below the percentage's digits
                QColor expected(op.color & 0xFF, (op.color >> 8) & 0xFF, (op.color >> 16) & 0xFF);
                QCOMPARE(QColor(list.pixel(x0, y)), expected);
                QCOMPARE(QColor(list.pixel(x1, y)), expected);
                ++checked;
            }
        }
        QVERIFY(checked >= 2); // the earthworks are done, the walls under way
    }

    void anInPlaceEditWithInvertedDatesIsRefused() {
        QTest::mouseDClick(List()->viewport(), Qt::LeftButton, Qt::NoModifier, RowPoint(2));
        Palette()->Sync();
        QCOMPARE(PaletteDialog().List(kList)->editorsRow, 2);
        auto* start = qobject_cast<QDateEdit*>(Palette()->ItemView(14));
        auto* finish = qobject_cast<QDateEdit*>(Palette()->ItemView(15));
        QVERIFY(start && finish && finish->isVisible());
        // The editors lie over the edited row.
        QPoint rowInPalette = List()->viewport()->mapTo(Palette(), RowPoint(2));
        QVERIFY(std::abs(finish->geometry().center().y() - rowInPalette.y()) <= 4);
        // Each is as high as its text needs in the font, and a date's whole text fits.
        for (int16_t item = 12; item <= 15; ++item) {
            QWidget* editor = Palette()->ItemView(item);
            QVERIFY2(editor->height() >= editor->minimumSizeHint().height(), qPrintable(QString::number(item)));
            QVERIFY(editor->height() >= editor->fontMetrics().height() + 2);
        }
        for (QDateEdit* date : {start, finish}) QVERIFY2(date->width() >= date->sizeHint().width(), qPrintable(date->text()));
        Screenshot(Palette(), QStringLiteral("palette-editing.png"));
        finish->setDate(start->date().addDays(-5));
        QString alertText;
        WhenReady([] { return ActiveModal<QMessageBox>() != nullptr; }, [&] {
            auto* box = ActiveModal<QMessageBox>();
            QCOMPARE(box->objectName(), QStringLiteral("alert32503"));
            alertText = box->text();
            Screenshot(box, QStringLiteral("alert-32503.png"));
            box->buttons().front()->click();
        });
        QTest::mouseClick(List()->viewport(), Qt::LeftButton, Qt::NoModifier, RowPoint(3));
        QVERIFY(!alertText.isEmpty());
        // The palette stays on the edited row for the user to correct it.
        QCOMPARE(PaletteDialog().List(kList)->selected, 2);
        finish->setDate(start->date().addDays(3));
        QTest::mouseClick(List()->viewport(), Qt::LeftButton, Qt::NoModifier, RowPoint(3));
        QCOMPARE(PaletteDialog().List(kList)->selected, 3);
    }

    void aVeryLongNameWidensThePaletteOnlySoFarAndPlacesAreKept() {
        QTest::mouseDClick(List()->viewport(), Qt::LeftButton, Qt::NoModifier, RowPoint(4));
        auto* name = qobject_cast<QLineEdit*>(Palette()->ItemView(12));
        QVERIFY(name);
        QString longName = QStringLiteral("Dachstuhl (Sparren, Pfetten, Kehlbalken, Windrispen) ").repeated(4);
        name->setText(longName);
        emit name->textEdited(longName);
        QTest::mouseClick(List()->viewport(), Qt::LeftButton, Qt::NoModifier, RowPoint(3));
        Palette()->Sync();
        const DGTabField& names = PaletteDialog().List(kList)->tabs.front();
        QVERIFY(names.right - names.left <= 520);
        QVERIFY(names.right - names.left >= 500);
        QVERIFY2(ScreenRoom().contains(Palette()->frameGeometry()), "palette");
        // Moved by the user, the palette is remembered where it was left.
        QRect left = Palette()->geometry().translated(-30, -40);
        Palette()->setGeometry(left);
        std::string error;
        QVERIFY2(Window().Places().Save(error), error.c_str());
        WindowPlaces reread(session->GetHost().Preferences());
        QCOMPARE(reread.Remembered(Palette()->objectName()), std::optional<QRect>(left));
        QCOMPARE(reread.Remembered(QStringLiteral("main")), std::optional<QRect>(Window().geometry()));
    }

    void aMovieIsStoppedFromItsProgressWindow() {
        QString movie = tempDir + QStringLiteral("/stopped");
        int32_t stoppedAt = 0, maximum = 0, lastFrame = 0;
        // The last frame the progress window showed before it went.
        QTimer watch;
        connect(&watch, &QTimer::timeout, [&] {
            if (DialogWindow* p = Window().Dialogs()->Window(32450)) lastFrame = p->Dialog()->ItemValue(3);
        });
        watch.start(1);
        bool settingsShown = false;
        QStringList cutLabels;
        QString ended;
        bool selectionUntouched = false;
        WhenReady([] { return ActiveModal<ModalDialogWindow>() != nullptr; }, [&] {
            auto* settings = ActiveModal<ModalDialogWindow>();
            settingsShown = settings->objectName() == QStringLiteral("dialog32503");
            Screenshot(settings, QStringLiteral("dialog-32503.png"));
            // Every label is whole: none needs more room than its item has.
            for (auto* b : settings->findChildren<QAbstractButton*>())
                if (b->isVisible() && b->sizeHint().width() > b->width()) cutLabels << b->text();
            WhenReady([] { return ActiveModal<QFileDialog>() != nullptr; }, [&] {
                auto* box = ActiveModal<QFileDialog>();
                ChooseFile(box, movie);
            });
            WhenReady([&] {
                DialogWindow* p = Window().Dialogs()->Window(32450);
                return p && p->isVisible() && p->Dialog()->ItemValue(3) >= 3;
            }, [&] {
                DialogWindow* p = Window().Dialogs()->Window(32450);
                Screenshot(p, QStringLiteral("progress-window.png"));
                stoppedAt = p->Dialog()->ItemValue(3);
                // While frames are made, the rest of the window takes no commands.
                size_t selected = Model().Selection().size();
                // Clicks as the window system delivers them: to the window first, then its widget.
                ClickThroughWindow(Window().View3D(), PointOnElement("FAL-01"));
                selectionUntouched = Model().Selection().size() == selected;
                maximum = p->Dialog()->Item(3)->maximum;
                QWidget* stop = p->ItemView(1);
                ClickThroughWindow(stop, stop->rect().center());
                WhenReady([] { return ActiveModal<QMessageBox>() != nullptr; }, [&] {
                    ended = ActiveModal<QMessageBox>()->objectName();
                    ActiveModal<QMessageBox>()->buttons().front()->click();
                });
            });
            ClickButton(settings->ItemView(1));
        });
        Window().AddonAction(kMenu, 6)->trigger();
        QVERIFY(settingsShown);
        QVERIFY2(cutLabels.isEmpty(), qPrintable(cutLabels.join(QStringLiteral(" | "))));
        QVERIFY(stoppedAt >= 3);
        QVERIFY2(stoppedAt < maximum, qPrintable(QStringLiteral("%1 of %2").arg(stoppedAt).arg(maximum)));
        QVERIFY2(lastFrame <= stoppedAt + 1, qPrintable(QStringLiteral("went on to frame %1").arg(lastFrame)));
        QTRY_VERIFY(Window().Dialogs()->Window(32450) == nullptr);
        QVERIFY(!ended.isEmpty());
        QVERIFY(selectionUntouched);
        qInfo("stopped at frame %d (last shown %d) of %d, then %s", stoppedAt, lastFrame, maximum, qPrintable(ended));
    }

    // The compressor dialog of an AVI is a dialog of the platform's own: it is drawn whole,
    // every item inside the window and big enough to be read and used.
    void anAviIsMadeThroughAReadableCompressorDialog() {
        QString movie = tempDir + QStringLiteral("/by-hand");
        QStringList misplaced;
        QString optionsName, ended;
        WhenReady([] { return ActiveModal<ModalDialogWindow>() != nullptr; }, [&] {
            auto* settings = ActiveModal<ModalDialogWindow>();
            auto* kind = qobject_cast<QComboBox*>(settings->ItemView(19));
            kind->setCurrentIndex(1);
            emit kind->activated(1);
            WhenReady([] { return ActiveModal<QFileDialog>() != nullptr; }, [&] {
                auto* box = ActiveModal<QFileDialog>();
                ChooseFile(box, movie);
            });
            WhenReady([] {
                auto* d = ActiveModal<ModalDialogWindow>();
                return d && d->objectName() == QStringLiteral("dialogavi-options");
            }, [&] {
                auto* options = ActiveModal<ModalDialogWindow>();
                optionsName = options->objectName();
                Screenshot(options, QStringLiteral("dialog-avi-options.png"));
                for (QWidget* w : options->findChildren<QWidget*>()) {
                    if (!w->isVisible() || w->parentWidget() != options) continue;
                    QRect r = w->geometry();
                    if (r.width() < 20 || r.height() < 12 || !options->rect().contains(r))
                        misplaced << QStringLiteral("%1 %2,%3 %4x%5")
                                         .arg(QString::fromUtf8(w->metaObject()->className()))
                                         .arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
                }
                WhenReady([] { return ActiveModal<QMessageBox>() != nullptr; }, [&] {
                    ended = ActiveModal<QMessageBox>()->objectName();
                    ActiveModal<QMessageBox>()->buttons().front()->click();
                });
                // A button drawn without room cannot be pressed: the dialog is left as a user would.
                if (misplaced.isEmpty())
                    ClickButton(options->ItemView(1));
                else
                    options->reject();
            });
            ClickButton(settings->ItemView(1));
        });
        Window().AddonAction(kMenu, 6)->trigger();
        QCOMPARE(optionsName, QStringLiteral("dialogavi-options"));
        QVERIFY2(misplaced.isEmpty(), qPrintable(misplaced.join(QStringLiteral(" | "))));
        QCOMPARE(ended, QStringLiteral("alert32524"));
        std::error_code error;
        QVERIFY(std::filesystem::file_size((movie + QStringLiteral(".avi")).toStdString(), error) > 10000);
    }

    // The movie's time, size and picture options open from the settings: every label whole, and
    // the length's item enabled once the movie is to have a length.
    void theMoviesOptionsOpenFromItsSettings() {
        QString optionsName;
        QStringList cutLabels;
        bool secondsFollowTiming = false;
        WhenReady([] { return ActiveModal<ModalDialogWindow>() != nullptr; }, [&] {
            auto* settings = ActiveModal<ModalDialogWindow>();
            WhenReady([] {
                auto* d = ActiveModal<ModalDialogWindow>();
                return d && d->objectName() == QStringLiteral("dialog32510");
            }, [&] {
                auto* options = ActiveModal<ModalDialogWindow>();
                optionsName = options->objectName();
                bool before = options->ItemView(6)->isEnabled();
                auto* timing = qobject_cast<QComboBox*>(options->ItemView(5));
                timing->setCurrentIndex(1);
                emit timing->activated(1);
                secondsFollowTiming = !before && options->ItemView(6)->isEnabled();
                Screenshot(options, QStringLiteral("dialog-32510.png"));
                for (auto* b : options->findChildren<QAbstractButton*>())
                    if (b->isVisible() && b->sizeHint().width() > b->width()) cutLabels << b->text();
                ClickButton(options->ItemView(2));
                ClickButton(settings->ItemView(2));
            });
            ClickButton(settings->ItemView(28));
        });
        Window().AddonAction(kMenu, 6)->trigger();
        QCOMPARE(optionsName, QStringLiteral("dialog32510"));
        QVERIFY(secondsFollowTiming);
        QVERIFY2(cutLabels.isEmpty(), qPrintable(cutLabels.join(QStringLiteral(" | "))));
    }

    // Last, as it replaces the house: an IFC model through the project menu, then its revision.
    void unsavedWorkAsksBeforeItGoes() {
        HostModel* before = &Model();
        QVERIFY(Model().Modified()); // the links of the tests before
        QVERIFY(Window().isWindowModified());
        Answerer answerer;
        answerer.answer = QStringLiteral("Cancel");
        // Cancel keeps everything: the window, the model, no file dialog after it.
        ProjectItem(QStringLiteral("&New"))->trigger();
        ProjectItem(QStringLiteral("&Open..."))->trigger();
        ProjectItem(QStringLiteral("Open &IFC..."))->trigger();
        QVERIFY(!Window().close());
        QCOMPARE(answerer.asked, 4);
        QVERIFY(Window().isVisible());
        QCOMPARE(&Model(), before);
        QVERIFY(Model().Modified());
        // Save on a project with a file writes it there, then the new project comes.
        QString saved = tempDir + QStringLiteral("/unsaved.qvp");
        QVERIFY(Window().SaveProjectFile(saved));
        QVERIFY(!Window().isWindowModified());
        AttributeRecord& layer = *Model().Attribute(HostAttribute::Layer, 1);
        LE::Put<uint32_t>(layer, HostAttribute::kFlags, LE::Get<uint32_t>(layer, HostAttribute::kFlags) ^ HostAttribute::kLayerLocked);
        Window().RefreshAll();
        QVERIFY(Window().isWindowModified());
        uint32_t flags = LE::Get<uint32_t>(layer, HostAttribute::kFlags);
        size_t linked = 0;
        for (const auto& e : Model().Elements()) linked += e->userData.count("Bauvista");
        QVERIFY(linked > 0);
        answerer.answer = QStringLiteral("Save");
        ProjectItem(QStringLiteral("&New"))->trigger();
        QCOMPARE(answerer.asked, 5);
        QCOMPARE(Model().Elements().size(), size_t{0});
        QVERIFY(Window().OpenProjectFile(saved));
        QCOMPARE(LE::Get<uint32_t>(*Model().Attribute(HostAttribute::Layer, 1), HostAttribute::kFlags), flags);
        size_t linkedAgain = 0;
        for (const auto& e : Model().Elements()) linkedAgain += e->userData.count("Bauvista");
        QCOMPARE(linkedAgain, linked);
        QVERIFY(!Window().isWindowModified());
        QVERIFY(Window().windowTitle().startsWith(QStringLiteral("unsaved.qvp")));
    }

    void anIfcModelOpensAndTakesARevisionFromTheProjectMenu() {
        QString filter;
        auto choose = [&filter](const char* file) {
            WhenReady([] { return ActiveModal<QFileDialog>() != nullptr; }, [&filter, file] {
                auto* box = ActiveModal<QFileDialog>();
                filter = box->selectedNameFilter();
                ChooseFile(box, QStringLiteral(BV_SOURCE_DIR "/tests/data/ifc/") + QString::fromUtf8(file));
            });
        };
        // The add-on may offer to save the schedule first; not this time. The project is as
        // saved, so the host does not ask.
        WhenReady([] { return ActiveModal<QMessageBox>() != nullptr; },
                  [] { ActiveModal<QMessageBox>()->escapeButton()->click(); });
        QAction* open = ProjectItem(QStringLiteral("Open &IFC..."));
        QAction* update = ProjectItem(QStringLiteral("&Update from IFC Revision..."));
        QVERIFY(open && update);
        choose("IfcOpenHouse.ifc");
        open->trigger();
        QCOMPARE(filter, QStringLiteral("IFC models (*.ifc *.IFC)"));
        QCOMPARE(Model().Elements().size(), size_t{35});
        QVERIFY(session->GetHost().projectPath.empty());
        QVERIFY(Window().windowTitle().startsWith(QStringLiteral("Untitled")));
        // The building is seen whole in this window.
        ModelView* v = Window().View3D();
        ViewProjection view(Model().view.Camera(), v->width(), v->height());
        for (const auto& e : Model().Elements())
            if (IsElementDrawn(Model(), *e))
                QVERIFY2(v->rect().adjusted(-2, -2, 2, 2).contains(Footprint(view, *e)), e->IdText().c_str());
        Screenshot(&Window(), QStringLiteral("ifc-house.png"));
        choose("IfcOpenHouse_rev2.ifc");
        update->trigger();
        QVERIFY(Model().FindByIdText("Garden wall") != nullptr);
        QVERIFY(Window().Report()->toPlainText().contains(QStringLiteral("kept 34, added 1, removed 1")));
    }

    // The Open IFC dialog's choice of a layer for each storey, and the selected element's facts
    // as a tree: class first, then its storey, its materials, and its property sets.
    void storeyLayersFromTheOpenDialogAndTheSelectionsFactsAsATree() {
        QAction* open = nullptr;
        for (QAction* menu : Window().menuBar()->actions())
            if (menu->menu() && menu->text() == QStringLiteral("&Project"))
                for (QAction* a : menu->menu()->actions())
                    if (a->text() == QStringLiteral("Open &IFC...")) open = a;
        QVERIFY(open);
        Answerer answerer;
        answerer.answer = QStringLiteral("Don't save"); // the revision before is not saved
        bool ticked = false;
        WhenReady([] { return ActiveModal<QFileDialog>() != nullptr; }, [&ticked] {
            auto* box = ActiveModal<QFileDialog>();
            auto* byStorey = box->findChild<QCheckBox*>(QStringLiteral("layersByStorey"));
            if (byStorey && byStorey->isVisible()) {
                byStorey->click();
                ticked = true;
            }
            ChooseFile(box, QStringLiteral(BV_SOURCE_DIR "/tests/data/ifc/facts-ifc2x3.ifc"));
        });
        open->trigger();
        QVERIFY(ticked);
        QCOMPARE(Model().Elements().size(), size_t{8});
        QStringList layers;
        for (int16_t i = 1; i <= Model().AttributeCount(HostAttribute::Layer); ++i)
            layers << FromCodePage(Model().AttributeName(HostAttribute::Layer, i));
        QCOMPARE(layers, (QStringList{"Pince", "Földszint", "Emelet", "Padlás"}));
        QCOMPARE(Window().Layers()->rowCount(), 4);

        const Element* wall = Model().FindByIdText(ToCodePage(QStringLiteral("Külső fal")));
        QVERIFY(wall);
        Model().Selection() = {wall->Guid()};
        Window().RefreshAll();
        auto* tree = Window().findChild<QTreeWidget*>(QStringLiteral("selection"));
        QVERIFY(tree);
        QCOMPARE(tree->topLevelItemCount(), 1);
        QTreeWidgetItem* element = tree->topLevelItem(0);
        QVERIFY(element->isExpanded());
        QStringList rows;
        for (int i = 0; i < element->childCount(); ++i) rows << element->child(i)->text(0) + '=' + element->child(i)->text(1);
        QCOMPARE(rows.mid(0, 1), QStringList{"Class=IfcWallStandardCase"});
        const int storey = rows.indexOf(QStringLiteral("Storey=Földszint"));
        const int materials = rows.indexOf(QStringLiteral("Materials="));
        const int pset = rows.indexOf(QStringLiteral("Pset_WallCommon="));
        QVERIFY(storey > 0 && materials > storey && pset > materials);
        QTreeWidgetItem* materialItem = element->child(materials);
        QCOMPARE(materialItem->childCount(), 2);
        QCOMPARE(materialItem->child(1)->text(0), QStringLiteral("Hőszigetelés"));
        QTreeWidgetItem* psetItem = element->child(pset);
        QStringList values;
        for (int i = 0; i < psetItem->childCount(); ++i) values << psetItem->child(i)->text(0) + '=' + psetItem->child(i)->text(1);
        QVERIFY2(values.contains(QStringLiteral("IsExternal=TRUE")), qPrintable(values.join(' ')));
        // A group the user opened stays open when the window refreshes.
        psetItem->setExpanded(true);
        Window().RefreshAll();
        element = tree->topLevelItem(0);
        QVERIFY(element->child(pset)->isExpanded());
        Screenshot(&Window(), QStringLiteral("ifc-facts.png"));
    }

    void elementsAreFoundByWhatTheyAreAndIsolated() {
        // The IFC house: its walls by class, counted as typed.
        QVERIFY(Window().OpenProjectFile(QStringLiteral(BV_SOURCE_DIR "/tests/data/ifc/IfcOpenHouse.ifc")));
        FindPanel* find = Window().Find();
        QVERIFY(find);
        auto* value = find->findChild<QComboBox*>(QStringLiteral("findValue"));
        QVERIFY(value);
        QVERIFY(value->findText(QStringLiteral("IfcWallStandardCase")) >= 0); // the pop-up offers the model's classes
        value->setEditText(QStringLiteral("ifcwall*"));
        size_t walls = 0;
        for (const auto& e : Model().Elements()) walls += e->Kind() == HostElement::Wall;
        QVERIFY(walls >= 4);
        QCOMPARE(find->Count(), walls);
        find->AddCondition(QStringLiteral("name"), QStringLiteral("South*"));
        QCOMPARE(find->Count(), size_t{1});
        ClickButton(find->SelectButton());
        QCOMPARE(Model().Selection().size(), size_t{1});
        QCOMPARE(Model().Find(Model().Selection()[0])->IdText(), std::string("South wall"));
        // Isolated, the view draws the one wall only: the rest of its picture is background.
        ViewCamera before = Model().view.Camera();
        ClickButton(find->ZoomButton());
        QVERIFY(!(Model().view.Camera() == before));
        ClickButton(find->IsolateButton());
        QVERIFY(Window().View3D()->IsIsolating());
        Image isolated = Window().View3D()->RenderFull();
        size_t drawn = 0;
        for (uint32_t px : isolated.pixels) drawn += px != isolated.pixels[0];
        QVERIFY(drawn > 0);
        // A click where another element lies takes nothing while it is not shown.
        ModelView* v = Window().View3D();
        QPoint other(-1, -1);
        for (int y = 4; y < v->height() && other.x() < 0; y += 8)
            for (int x = 4; x < v->width(); x += 8) {
                std::string id = PickElementAt(QPoint(x, y));
                if (!id.empty() && id != "South wall") {
                    other = QPoint(x, y);
                    break;
                }
            }
        QVERIFY(other.x() >= 0);
        v->ClickAt(other, false);
        for (const API_Guid& g : Model().Selection()) QCOMPARE(Model().Find(g)->IdText(), std::string("South wall"));
        ClickButton(find->IsolateButton());
        QVERIFY(!Window().View3D()->IsIsolating());
        Window().findChild<QDockWidget*>(QStringLiteral("findDock"))->raise();
        Screenshot(&Window(), QStringLiteral("find-elements.png"));
    }
};

QTEST_MAIN(DeskWindowTest)
#include "DeskWindowTest.moc"
