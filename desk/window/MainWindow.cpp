#include "desk/window/MainWindow.h"

#include "basekit/BKResources.h"
#include "desk/dialogs/CodePageText.h"
#include "desk/dialogs/QtDialogBackEnd.h"
#include "desk/views/ModelView.h"
#include "desk/window/FindPanel.h"
#include "desk/window/LayerPanel.h"
#include "desk/window/SelectionPanel.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QEvent>
#include <QDockWidget>
#include <QFileDialog>
#include <QGridLayout>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QStatusBar>

namespace {

// A menu string's text without its prompt reference ("Nyiss projektet...^32501").
QString MenuItemText(const std::string& cp1250) {
    return FromCodePage(cp1250.substr(0, cp1250.find('^')));
}

} // namespace

MainWindow::MainWindow(Host& host) : host_(host) {
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(QStringLiteral("Quorvel"));
    dialogs_ = new QtDialogBackEnd(this);
    dialogs_->afterInput = [this] { RefreshAll(); };

    view3D_ = new ModelView(host_, RenderStyle::Window3D, this);
    setCentralWidget(view3D_);
    auto followSelection = [this] {
        selection_->Refresh();
        statusBar()->showMessage(tr("%n element(s) selected", nullptr, static_cast<int>(host_.Model().Selection().size())));
    };
    view3D_->selectionChanged = followSelection;
    photoView_ = new ModelView(host_, RenderStyle::Photo, this);
    // The photo rendering is slow: it follows the camera once the camera rests.
    photoFollow_.setSingleShot(true);
    photoFollow_.setInterval(250);
    connect(&photoFollow_, &QTimer::timeout, this, [this] {
        if (photoView_->isVisible()) photoView_->Refresh();
    });
    view3D_->cameraChanged = [this] { photoFollow_.start(); };

    auto dock = [this](const QString& title, const QString& name, QWidget* content, Qt::DockWidgetArea area) {
        auto* d = new QDockWidget(title, this);
        d->setObjectName(name);
        d->setWidget(content);
        addDockWidget(area, d);
        return d;
    };
    report_ = new QPlainTextEdit(this);
    report_->setObjectName(QStringLiteral("report"));
    report_->setReadOnly(true);
    layers_ = new LayerPanel(host_, this);
    layers_->layersChanged = [this] { RefreshAll(); };
    selection_ = new SelectionPanel(host_, this);
    find_ = new FindPanel(host_, this);
    find_->selectionChanged = [this] { RefreshAll(); };
    find_->isolate = [this](std::optional<std::unordered_set<API_Guid, API_GuidHash>> only) {
        view3D_->Isolate(only);
        photoView_->Isolate(std::move(only));
    };
    find_->zoomTo = [this](const std::vector<Element*>& elements) { view3D_->ZoomTo(elements); };
    QDockWidget* reportDock = dock(tr("Report"), QStringLiteral("reportDock"), report_, Qt::BottomDockWidgetArea);
    QDockWidget* layerDock = dock(tr("Layers"), QStringLiteral("layerDock"), layers_, Qt::RightDockWidgetArea);
    QDockWidget* selectionDock = dock(tr("Selected element"), QStringLiteral("selectionDock"), selection_, Qt::RightDockWidgetArea);
    QDockWidget* findDock = dock(tr("Find elements"), QStringLiteral("findDock"), find_, Qt::RightDockWidgetArea);
    tabifyDockWidget(selectionDock, findDock);
    selectionDock->raise();
    QDockWidget* photoDock = dock(tr("Photo window"), QStringLiteral("photoDock"), photoView_, Qt::LeftDockWidgetArea);
    photoDock->setFloating(true);
    photoDock->resize(480, 300);
    photoDock->hide();
    connect(photoDock, &QDockWidget::visibilityChanged, this, [this](bool visible) {
        if (visible) photoView_->Refresh();
    });

    host_.Events().report = [this](const std::string& text) { report_->appendPlainText(FromCodePage(text)); };
    host_.Events().undoStep = [this](const std::string& name) { statusBar()->showMessage(FromCodePage(name), 4000); };
    host_.Events().menuText = [this](int16_t menu, int32_t item, const std::string& text) {
        if (QAction* a = AddonAction(menu, item)) a->setText(MenuItemText(text));
    };
    host_.Events().error = [this](const std::string& text) { ShowError(text); };

    BuildHostMenus();
    for (QDockWidget* d : {reportDock, layerDock, selectionDock, findDock, photoDock}) windowMenu_->addAction(d->toggleViewAction());
    statusBar()->showMessage(tr("Ready"));
    resize(1280, 800);
    resizeDocks({reportDock}, {110}, Qt::Vertical);
    resizeDocks({layerDock, selectionDock}, {260, 260}, Qt::Horizontal);
}

MainWindow::~MainWindow() {
    host_.Events() = HostEvents{};
    delete dialogs_;
}

void MainWindow::BuildHostMenus() {
    QMenu* project = menuBar()->addMenu(tr("&Project"));
    project->addAction(tr("&New"), QKeySequence::New, this, &MainWindow::NewProject);
    project->addAction(tr("&Open..."), QKeySequence::Open, this, &MainWindow::OpenProject);
    project->addAction(tr("Open &IFC..."), this, &MainWindow::OpenIfcModel);
    project->addAction(tr("&Update from IFC Revision..."), this, &MainWindow::UpdateFromIfcRevision);
    project->addAction(tr("&Save"), QKeySequence::Save, this, &MainWindow::SaveProject);
    project->addAction(tr("Save &As..."), QKeySequence::SaveAs, this, &MainWindow::SaveProjectAs);
    project->addSeparator();
    project->addAction(tr("&Quit"), QKeySequence::Quit, this, &QWidget::close);
    QMenu* edit = menuBar()->addMenu(tr("&Edit"));
    edit->addAction(tr("&Undo"), QKeySequence::Undo, this, &MainWindow::Undo);
    edit->addAction(tr("&Redo"), QKeySequence::Redo, this, &MainWindow::Redo);
    edit->addAction(tr("Select &None"), this, [this] {
        host_.Model().Selection().clear();
        RefreshAll();
    });
    QMenu* view = menuBar()->addMenu(tr("&View"));
    view->addAction(tr("Zoom &In"), QKeySequence::ZoomIn, this, [this] { view3D_->ZoomBy(0.8); });
    view->addAction(tr("Zoom &Out"), QKeySequence::ZoomOut, this, [this] { view3D_->ZoomBy(1.25); });
    view->addAction(tr("Orbit &Left"), this, [this] { view3D_->OrbitBy(15, 0); });
    view->addAction(tr("Orbit &Right"), this, [this] { view3D_->OrbitBy(-15, 0); });
    view->addAction(tr("&Refresh"), QKeySequence::Refresh, this, &MainWindow::RefreshAll);
    windowMenu_ = menuBar()->addMenu(tr("&Window"));
}

void MainWindow::AddAddonMenus() {
    for (auto& addon : host_.Addons()) {
        if (!addon->initialized || !addon->menuHandler || addon->menuRecord.empty()) continue;
        std::vector<std::string> strings;
        {
            BKResModuleScope scope(BKFindResModule(addon->name.c_str()));
            strings = BKGetStringList(addon->menuResId);
        }
        if (strings.empty()) continue;
        QMenu* menu = new QMenu(MenuItemText(strings.front()), this);
        menuBar()->insertMenu(windowMenu_->menuAction(), menu);
        int16_t menuResId = addon->menuResId;
        for (size_t i = 1; i < strings.size(); ++i) {
            int32_t item = static_cast<int32_t>(i);
            if (strings[i] == "-") {
                menu->addSeparator();
                continue;
            }
            auto changed = host_.menuTexts.find({menuResId, item});
            QAction* action = menu->addAction(MenuItemText(changed != host_.menuTexts.end() ? changed->second : strings[i]));
            connect(action, &QAction::triggered, this, [this, menuResId, item] { RunAddonMenuItem(menuResId, item); });
            addonActions_[{menuResId, item}] = action;
        }
    }
}

QAction* MainWindow::AddonAction(int16_t menuResId, int32_t item) const {
    auto it = addonActions_.find({menuResId, item});
    return it == addonActions_.end() ? nullptr : it->second;
}

void MainWindow::RunAddonMenuItem(int16_t menuResId, int32_t item) {
    for (auto& addon : host_.Addons()) {
        if (!addon->initialized || addon->menuResId != menuResId || !addon->menuHandler) continue;
        HostMenuParams params{menuResId, 0, item};
        addon->menuHandler(&params);
    }
    RefreshAll();
}

void MainWindow::RefreshAll() {
    view3D_->Refresh();
    if (photoView_->isVisible()) photoView_->Refresh();
    layers_->Refresh();
    selection_->Refresh();
    find_->Refresh();
    dialogs_->SyncAll();
    // The project's name, with Qt's modified mark in place of [*].
    setWindowTitle(FromCodePage(host_.ProjectName()) + QStringLiteral("[*] — Quorvel"));
    setWindowModified(host_.Model().Modified());
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (host_.MayDiscardProject()) event->accept();
    else event->ignore();
}

bool MainWindow::OpenProjectFile(const QString& path, bool layersByStorey) {
    std::string error;
    if (!host_.OpenProject(path.toStdString(), error, layersByStorey)) {
        ShowError(error);
        return false;
    }
    // The 3D window keeps its size in the project a movie reads.
    host_.Model().windows.view3D.SetSize(view3D_->width(), view3D_->height());
    statusBar()->showMessage(tr("Opened %1").arg(path), 4000);
    RefreshAll();
    return true;
}

bool MainWindow::SaveProjectFile(const QString& path) {
    std::string error;
    if (!host_.SaveProject(path.toStdString(), error)) {
        ShowError(error);
        return false;
    }
    statusBar()->showMessage(tr("Saved %1").arg(path), 4000);
    RefreshAll();
    return true;
}

void MainWindow::NewProject() {
    if (!host_.MayDiscardProject()) return RefreshAll();
    host_.NewProject();
    RefreshAll();
}

void MainWindow::OpenProject() {
    if (!host_.MayDiscardProject()) return RefreshAll();
    QString path = QFileDialog::getOpenFileName(this, tr("Open project"), QString(), tr("Quorvel projects (*.qvp)"),
                                                nullptr, QFileDialog::DontUseNativeDialog);
    if (!path.isEmpty()) OpenProjectFile(path);
}

void MainWindow::OpenIfcModel() {
    if (!host_.MayDiscardProject()) return RefreshAll();
    QFileDialog box(this, tr("Open IFC model"), QString(), tr("IFC models (*.ifc *.IFC)"));
    box.setOption(QFileDialog::DontUseNativeDialog);
    box.setFileMode(QFileDialog::ExistingFile);
    // The dialog's own grid takes the choice under its file type row.
    auto* byStorey = new QCheckBox(tr("A layer for each storey (instead of the model's layers)"), &box);
    byStorey->setObjectName(QStringLiteral("layersByStorey"));
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) grid->addWidget(byStorey, grid->rowCount(), 0, 1, grid->columnCount());
    if (box.exec() != QDialog::Accepted || box.selectedFiles().isEmpty()) return;
    OpenProjectFile(box.selectedFiles().front(), byStorey->isChecked());
}

bool MainWindow::UpdateFromIfcFile(const QString& path) {
    std::string error;
    if (!host_.UpdateFromIfc(path.toStdString(), error)) {
        ShowError(error);
        return false;
    }
    statusBar()->showMessage(tr("Updated from %1").arg(path), 4000);
    RefreshAll();
    return true;
}

void MainWindow::UpdateFromIfcRevision() {
    QString path = QFileDialog::getOpenFileName(this, tr("Update from IFC revision"), QString(),
                                                tr("IFC models (*.ifc *.IFC)"), nullptr, QFileDialog::DontUseNativeDialog);
    if (!path.isEmpty()) UpdateFromIfcFile(path);
}

void MainWindow::SaveProject() {
    if (host_.projectPath.empty()) SaveProjectAs();
    else SaveProjectFile(QString::fromStdString(host_.projectPath));
}

void MainWindow::SaveProjectAs() {
    QString path = QFileDialog::getSaveFileName(this, tr("Save project"), QString::fromStdString(host_.projectPath),
                                                tr("Quorvel projects (*.qvp)"), nullptr, QFileDialog::DontUseNativeDialog);
    if (path.isEmpty()) return;
    if (!path.endsWith(QStringLiteral(".qvp"))) path += QStringLiteral(".qvp");
    SaveProjectFile(path);
}

void MainWindow::Undo() {
    std::string name;
    if (!host_.Model().ApplyUndo(name)) statusBar()->showMessage(tr("Nothing to undo"), 3000);
    else statusBar()->showMessage(tr("Undone: %1").arg(FromCodePage(name)), 3000);
    RefreshAll();
}

void MainWindow::Redo() {
    std::string name;
    if (!host_.Model().ApplyRedo(name)) statusBar()->showMessage(tr("Nothing to redo"), 3000);
    else statusBar()->showMessage(tr("Redone: %1").arg(FromCodePage(name)), 3000);
    RefreshAll();
}

void MainWindow::ShowError(const std::string& text) {
    QMessageBox::warning(this, QStringLiteral("Quorvel"), QString::fromStdString(text));
}

void MainWindow::SendPaletteMessage(int32_t message) {
    for (auto& addon : host_.Addons()) {
        auto palettes = addon->palettes; // a callback may unregister its palette
        for (auto& [dialogId, record] : palettes)
            if (record.callback) record.callback(dialogId, message, 0);
    }
    dialogs_->SyncAll();
}

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange) return;
    bool minimized = windowState() & Qt::WindowMinimized;
    if (minimized != palettesHidden_) {
        palettesHidden_ = minimized;
        SendPaletteMessage(minimized ? kHostPaletteHide : kHostPaletteShow);
    }
}
