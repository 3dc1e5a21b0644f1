// An IFC model opened and updated in the window while it goes on: the model named at start-up
// read with the window there, Cancel half way through leaving the open project exactly as it
// was, the window repainting meanwhile.
#include "IfcCopiesGenerator.h"
#include "desk/dialogs/CodePageText.h"
#include "desk/window/DeskSession.h"
#include "desk/window/MainWindow.h"
#include "desk/views/ModelView.h"
#include "host/app/ReadProgressTexts.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <fstream>
#include <memory>
#include <sstream>

namespace {

// Twenty copies of the duplex: some 4,700 products, a read long enough that Cancel comes while
// the helper still converts.
std::string WriteLargeModel(const QString& folder) {
    std::ifstream in(BV_SOURCE_DIR "/tests/data/ifc/duplex.ifc", std::ios::binary);
    std::stringstream original;
    original << in.rdbuf();
    std::string path = (folder + QStringLiteral("/duplex-x20.ifc")).toStdString();
    std::ofstream(path, std::ios::binary) << GenerateIfcCopies(original.str(), IfcCopiesLayout{20, 60});
    return path;
}

int gEvents = 0;
GSErr CountEvent(uint32_t, int32_t) {
    ++gEvents;
    return 0;
}

// What the open project is, as far as a user or an add-on can tell.
struct ProjectState {
    const HostModel* model;
    size_t elements, undoSteps, reportLines;
    uint64_t undoPosition;
    bool modified;
    std::string path;
    int events;
    bool operator==(const ProjectState&) const = default;
};

QWidget* ReadWindow() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QStringLiteral("modelReadWindow") && w->isVisible()) return w;
    return nullptr;
}

// Counts the paints a widget receives.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

} // namespace

class DeskModelReadTest : public QObject {
    Q_OBJECT
    QString tempDir;
    QString large;
    std::unique_ptr<DeskSession> session;

    MainWindow& Window() { return session->Window(); }
    Host& GetHost() { return session->GetHost(); }
    ProjectState State() {
        HostModel& m = GetHost().Model();
        return {&m, m.Elements().size(), m.Undo().UndoCount(), GetHost().ReportLines().size(), m.Undo().Position(),
                m.Modified(), GetHost().projectPath, gEvents};
    }
    // An edit of the open project in an undo step, so it has history and unsaved work to keep.
    void EditFirstElement() {
        HostModel& m = GetHost().Model();
        QVERIFY(!m.Elements().empty());
        Element& e = *m.Elements().front();
        QVERIFY(m.Undo().Open("edit"));
        auto record = e.record;
        record[104] ^= 1;
        m.ChangeElement(e, record);
        QVERIFY(m.CloseUndoStep().has_value());
        QVERIFY(m.Modified());
    }

    // Presses Cancel once the progress window shows the helper at work and the 3D view has repainted
    // meanwhile; the window is grabbed then into `screenshot` (when given). The products now come
    // in a burst at the end of the helper's work, too quick for the window's tick to show half of
    // them, so the conversion's start is the point a user can rely on.
    struct CancelAtHalf {
        bool pressed = false;
        int paintsWhileReading = -1;
    };
    std::unique_ptr<QTimer> cancelTimer;
    void CancelWhenHalfWay(CancelAtHalf& outcome, PaintCounter& paints, const QString& screenshot) {
        cancelTimer = std::make_unique<QTimer>();
        cancelTimer->setInterval(5);
        const QString checking = FromCodePage(ReadPhaseLine(IfcReadPhase::CheckingText, 0, 0));
        bool repaintAsked = false;
        connect(cancelTimer.get(), &QTimer::timeout, this, [=, this, &outcome, &paints]() mutable {
            QWidget* w = ReadWindow();
            if (!w) return;
            if (!repaintAsked) {
                repaintAsked = true;
                paints.paints = 0;
                Window().View3D()->update();
                return;
            }
            auto* phase = w->findChild<QLabel*>(QStringLiteral("phase"));
            if (paints.paints == 0 || !phase || phase->text() == checking) return;
            cancelTimer->stop();
            if (!screenshot.isEmpty()) {
                QDir().mkpath(QStringLiteral(BV_SCREENSHOT_DIR));
                w->grab().save(QStringLiteral(BV_SCREENSHOT_DIR "/") + screenshot);
            }
            outcome.paintsWhileReading = paints.paints;
            QTest::mouseClick(w->findChild<QPushButton*>(QStringLiteral("cancel")), Qt::LeftButton);
            outcome.pressed = true;
        });
        cancelTimer->start();
    }

private slots:
    void initTestCase() {
        tempDir = QDir::tempPath() + QStringLiteral("/bv-desk-read-%1").arg(QCoreApplication::applicationPid());
        QDir().mkpath(tempDir);
        large = QString::fromStdString(WriteLargeModel(tempDir));
        // The model named at start-up is read with the window already there.
        DeskOptions options;
        options.model = large.toStdString();
        options.prefs = (tempDir + QStringLiteral("/preferences")).toStdString();
        options.now = "2009-03-20";
        session = std::make_unique<DeskSession>();
        bool readShown = false, windowShownFirst = false;
        QTimer watch;
        watch.setInterval(5);
        connect(&watch, &QTimer::timeout, this, [&] {
            if (readShown || !ReadWindow()) return;
            readShown = true;
            windowShownFirst = Window().isVisible();
        });
        watch.start();
        std::string error;
        QVERIFY2(session->Start(options, error), error.c_str());
        watch.stop();
        QVERIFY(readShown);
        QVERIFY(windowShownFirst);
        QVERIFY(GetHost().projectPath.empty());
        QVERIFY(GetHost().Model().Elements().size() > 4000);
        Window().resize(1280, 800);
        Window().show();
        QVERIFY(QTest::qWaitForWindowExposed(&Window()));
        // A listener of project events beside the add-on's.
        GetHost().AddAddon("probe").eventHandlers.emplace_back(0xFFFFFFFFu, &CountEvent);
    }

    void cleanup() { cancelTimer.reset(); }

    void cleanupTestCase() {
        session.reset();
        QDir(tempDir).removeRecursively();
    }

    void openCancelledHalfWayLeavesTheProjectAsItWas() {
        EditFirstElement();
        ProjectState before = State();
        PaintCounter paints;
        Window().View3D()->installEventFilter(&paints);
        CancelAtHalf outcome;
        CancelWhenHalfWay(outcome, paints, QStringLiteral("model-read-converting.png"));
        QVERIFY(!Window().OpenProjectFile(large));
        Window().View3D()->removeEventFilter(&paints);
        QVERIFY(outcome.pressed);
        // The window answered while the file was read.
        QVERIFY2(outcome.paintsWhileReading > 0, "no repaint during the read");
        QVERIFY(!ReadWindow());
        QVERIFY(State() == before);
    }

    void updateCancelledHalfWayLeavesTheProjectAsItWas() {
        EditFirstElement();
        ProjectState before = State();
        PaintCounter paints;
        CancelAtHalf outcome;
        Window().View3D()->installEventFilter(&paints);
        CancelWhenHalfWay(outcome, paints, QString());
        QVERIFY(!Window().UpdateFromIfcFile(large));
        Window().View3D()->removeEventFilter(&paints);
        QVERIFY(outcome.pressed);
        QVERIFY(State() == before);
        // Not cancelled, the same revision keeps every element, as one undo step.
        QVERIFY(Window().UpdateFromIfcFile(large));
        QCOMPARE(GetHost().Model().Elements().size(), before.elements);
        QCOMPARE(GetHost().Model().Undo().UndoCount(), before.undoSteps + 1);
    }

    void anotherModelComesBesideTheFirst() {
        const size_t before = GetHost().Model().Elements().size();
        QVERIFY(Window().AddIfcModelFile(QStringLiteral(BV_SOURCE_DIR "/tests/data/ifc/facts-ifc2x3.ifc"), QStringLiteral("STRUCT"), false));
        const HostModel& m = GetHost().Model();
        QCOMPARE(m.ifcModels.size(), size_t{2});
        QCOMPARE(m.Elements().size(), before + 8);
        QVERIFY(m.FindAttributeByName(HostAttribute::Layer, "STRUCT: Pince") != 0);
        // The project menu offers it beside opening one.
        QMenu* project = Window().menuBar()->actions().value(0)->menu();
        QStringList items;
        for (QAction* a : project->actions()) items << a->text();
        QCOMPARE(items.indexOf(QStringLiteral("A&dd IFC Model...")), items.indexOf(QStringLiteral("Open &IFC...")) + 1);
        QCOMPARE(items.indexOf(QStringLiteral("Re&move IFC Model...")), items.indexOf(QStringLiteral("A&dd IFC Model...")) + 1);
        project->popup(Window().mapToGlobal(QPoint(0, 0)));
        QTRY_VERIFY(project->isVisible());
        QDir().mkpath(QStringLiteral(BV_SCREENSHOT_DIR));
        project->grab().save(QStringLiteral(BV_SCREENSHOT_DIR "/project-menu.png"));
        project->hide();
    }
};

QTEST_MAIN(DeskModelReadTest)
#include "DeskModelReadTest.moc"
