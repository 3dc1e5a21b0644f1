#include "desk/window/MainWindow.h"

#include "basekit/BKResources.h"
#include "desk/dialogs/CodePageText.h"
#include "desk/dialogs/DialogWindow.h"
#include "desk/dialogs/QtDialogBackEnd.h"
#include "desk/views/ModelView.h"
#include "desk/window/FindPanel.h"
#include "desk/window/DeskTexts.h"
#include "desk/window/LayerPanel.h"
#include "desk/window/ModelReadWindow.h"
#include "desk/window/Mnemonics.h"
#include "desk/window/RecoveryTimer.h"
#include "desk/window/ReportView.h"
#include "desk/window/SelectionPanel.h"
#include "desk/window/WindowPlaces.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QEvent>
#include <QDockWidget>
#include <QFileDialog>
#include <QGridLayout>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenuBar>
#include <QFileInfo>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QStatusBar>

#include <filesystem>

namespace {

using namespace DeskTexts;

// A menu string's text without its prompt reference ("Nyiss projektet...^32501").
QString MenuItemText(const std::string& cp1250) {
    return FromCodePage(cp1250.substr(0, cp1250.find('^')));
}

// Room a tool window leaves to the 3D view's edges when it opens in a corner of it.
constexpr int kFreeAreaMargin = 12;

bool IsIfcFile(const QString& path) { return path.endsWith(QStringLiteral(".ifc"), Qt::CaseInsensitive); }

} // namespace

MainWindow::MainWindow(Host& host) : host_(host) {
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(QStringLiteral("Quorvel"));
    dialogs_ = new QtDialogBackEnd(this);
    dialogs_->afterInput = [this] { RefreshAll(); };

    view3D_ = new ModelView(host_, RenderStyle::Window3D, this);
    setCentralWidget(view3D_);
    view3D_->selectionChanged = [this] { SelectionChanged(); };
    photoView_ = new ModelView(host_, RenderStyle::Photo, this);
    // The photo rendering is slow: it follows the camera once the camera rests.
    photoFollow_.setSingleShot(true);
    photoFollow_.setInterval(250);
    connect(&photoFollow_, &QTimer::timeout, this, [this] {
        if (photoView_->isVisible()) photoView_->Refresh();
    });
    // The second 3D window looks with the same camera: either window's move redraws the other.
    secondView_ = new ModelView(host_, RenderStyle::Window3D, this, SceneSide::Second);
    view3D_->cameraChanged = [this] {
        photoFollow_.start();
        if (secondView_->isVisible()) secondView_->Refresh();
    };
    secondView_->cameraChanged = [this] {
        view3D_->Refresh();
        photoFollow_.start();
    };
    secondView_->selectionChanged = [this] {
        view3D_->Refresh();
        SelectionChanged();
    };

    auto dock = [this](const QString& title, const QString& name, QWidget* content, Qt::DockWidgetArea area) {
        auto* d = new QDockWidget(title, this);
        d->setObjectName(name);
        d->setWidget(content);
        addDockWidget(area, d);
        return d;
    };
    report_ = new ReportView(this);
    report_->goTo = [this](const ReportName& name) { return GoTo(name); };
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
    QDockWidget* reportDock = dock(PlainText(kReport), QStringLiteral("reportDock"), report_, Qt::BottomDockWidgetArea);
    QDockWidget* layerDock = dock(PlainText(kLayers), QStringLiteral("layerDock"), layers_, Qt::RightDockWidgetArea);
    QDockWidget* selectionDock =
        dock(PlainText(kSelectedElement), QStringLiteral("selectionDock"), selection_, Qt::RightDockWidgetArea);
    QDockWidget* findDock = dock(PlainText(kFindElements), QStringLiteral("findDock"), find_, Qt::RightDockWidgetArea);
    tabifyDockWidget(selectionDock, findDock);
    selectionDock->raise();
    QDockWidget* photoDock = dock(PlainText(kPhotoWindow), QStringLiteral("photoDock"), photoView_, Qt::LeftDockWidgetArea);
    photoDock->setFloating(true);
    photoDock->resize(480, 300);
    photoDock->hide();
    QDockWidget* secondDock = dock(PlainText(kSecondView), QStringLiteral("secondDock"), secondView_, Qt::LeftDockWidgetArea);
    secondDock->setFloating(true);
    secondDock->resize(640, 400);
    secondDock->hide();

    // Where each window opens; a further tool window joins here with one line.
    places_ = new WindowPlaces(host_.Preferences(), this);
    places_->PlaceMain(this, QStringLiteral("main"), QSize(1280, 800));
    places_->Manage(photoDock, QStringLiteral("photo"), [this](QSize s) { return InFreeArea(s, Qt::TopRightCorner); });
    places_->Manage(secondDock, QStringLiteral("second"), [this](QSize s) { return InFreeArea(s, Qt::TopLeftCorner); });
    dialogs_->windowMade = [this](DialogWindow& window) {
        int32_t id = window.Dialog() ? window.Dialog()->Id() : 0;
        // The palette at the free area's left and any other tool window (the chart) at its right,
        // both low: side by side where the area is wide enough, with the model above them.
        places_->Manage(&window, window.objectName(), [this, id](QSize s) {
            return InFreeArea(s, IsPalette(id) ? Qt::BottomLeftCorner : Qt::BottomRightCorner);
        });
    };
    connect(photoDock, &QDockWidget::visibilityChanged, this, [this](bool visible) {
        if (visible) photoView_->Refresh();
    });
    // Open, the add-on fills the second window with its other view; closed, the host forgets it.
    // A dock tabbed behind another is still open.
    connect(secondDock->toggleViewAction(), &QAction::toggled, this, [this](bool open) {
        host_.SetSecondViewOpen(open);
        if (open) secondView_->Refresh();
    });
    connect(secondDock, &QDockWidget::visibilityChanged, this, [this](bool visible) {
        if (visible) secondView_->Refresh();
    });

    host_.Events().report = [this](const std::string& text) { report_->appendPlainText(FromCodePage(text)); };
    host_.Events().undoStep = [this](const std::string& name) { statusBar()->showMessage(FromCodePage(name), 4000); };
    host_.Events().menuText = [this](int16_t menu, int32_t item, const std::string& text) {
        QAction* action = AddonAction(menu, item);
        if (!action) return;
        // The new text takes a letter none of its menu's other items has.
        QSet<QChar> taken;
        for (const auto& [key, other] : addonActions_)
            if (key.first == menu && other != action) taken.insert(MnemonicOf(other->text()));
        action->setText(WithMnemonic(MenuItemText(text), taken));
    };
    host_.Events().error = [this](const std::string& text) { ShowError(text); };

    BuildHostMenus();
    const std::pair<QDockWidget*, DeskText> docks[] = {
        {reportDock, kReport}, {layerDock, kLayers}, {selectionDock, kSelectedElement}, {findDock, kFindElements}, {photoDock, kPhotoWindow},
        {secondDock, kSecondView}};
    for (auto [d, text] : docks) {
        d->toggleViewAction()->setText(Text(text));
        windowMenu_->addAction(d->toggleViewAction());
    }
    statusBar()->showMessage(Text(kReady));
    resizeDocks({reportDock}, {110}, Qt::Vertical);
    resizeDocks({layerDock, selectionDock}, {260, 260}, Qt::Horizontal);
    if (host_.recovery) new RecoveryTimer(*host_.recovery, this);
}

MainWindow::~MainWindow() {
    std::string error;
    places_->Save(error); // a store that cannot be written loses only the windows' places
    host_.Events() = HostEvents{};
    delete dialogs_;
}

QPlainTextEdit* MainWindow::Report() const { return report_; }

QPoint MainWindow::InFreeArea(QSize frame, std::optional<Qt::Corner> corner) const {
    QRect area(view3D_->mapToGlobal(QPoint(0, 0)), view3D_->size());
    area.adjust(kFreeAreaMargin, kFreeAreaMargin, -kFreeAreaMargin, -kFreeAreaMargin);
    if (!corner) return area.center() - QPoint(frame.width() / 2, frame.height() / 2);
    bool right = *corner == Qt::TopRightCorner || *corner == Qt::BottomRightCorner;
    bool bottom = *corner == Qt::BottomLeftCorner || *corner == Qt::BottomRightCorner;
    return QPoint(right ? area.right() + 1 - frame.width() : area.left(), bottom ? area.bottom() + 1 - frame.height() : area.top());
}

bool MainWindow::IsPalette(int32_t dialogId) const {
    for (const auto& addon : host_.Addons())
        if (addon->palettes.count(dialogId)) return true;
    return false;
}

void MainWindow::SelectionChanged() {
    selection_->Refresh();
    statusBar()->showMessage(Text(kElementsSelected).arg(host_.Model().Selection().size()));
}

void MainWindow::BuildHostMenus() {
    QMenu* project = menuBar()->addMenu(Text(kProjectMenu));
    project->addAction(Text(kNew), QKeySequence::New, this, &MainWindow::NewProject);
    project->addAction(Text(kOpen), QKeySequence::Open, this, &MainWindow::OpenProject);
    project->addAction(Text(kOpenIfc), this, &MainWindow::OpenIfcModel);
    project->addAction(Text(kAddIfcModel), this, &MainWindow::AddIfcModel);
    project->addAction(Text(kRemoveIfcModel), this, &MainWindow::RemoveIfcModel);
    project->addAction(Text(kUpdateFromIfc), this, &MainWindow::UpdateFromIfcRevision);
    project->addAction(Text(kSave), QKeySequence::Save, this, &MainWindow::SaveProject);
    project->addAction(Text(kSaveAs), QKeySequence::SaveAs, this, &MainWindow::SaveProjectAs);
    project->addSeparator();
    project->addAction(Text(kQuit), QKeySequence::Quit, this, &QWidget::close);
    QMenu* edit = menuBar()->addMenu(Text(kEditMenu));
    edit->addAction(Text(kUndo), QKeySequence::Undo, this, &MainWindow::Undo);
    edit->addAction(Text(kRedo), QKeySequence::Redo, this, &MainWindow::Redo);
    edit->addAction(Text(kSelectNone), this, [this] {
        host_.Model().Selection().clear();
        RefreshAll();
    });
    BuildViewMenu();
    windowMenu_ = menuBar()->addMenu(Text(kWindowMenu));
    // F10 opens the menu bar on its first menu, as desktops have it.
    auto* f10 = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(f10, &QShortcut::activated, this, [this] {
        QAction* first = menuBar()->actions().value(0);
        if (!first) return;
        menuBar()->setFocus(Qt::MenuBarFocusReason);
        menuBar()->setActiveAction(first);
    });
}

void MainWindow::BuildViewMenu() {
    QMenu* view = menuBar()->addMenu(Text(kViewMenu));
    view->addAction(Text(kZoomIn), QKeySequence::ZoomIn, this, [this] { view3D_->ZoomBy(0.8); });
    view->addAction(Text(kZoomOut), QKeySequence::ZoomOut, this, [this] { view3D_->ZoomBy(1.25); });
    view->addAction(Text(kOrbitLeft), this, [this] { view3D_->OrbitBy(15, 0); });
    view->addAction(Text(kOrbitRight), this, [this] { view3D_->OrbitBy(-15, 0); });
    view->addSeparator();
    // Home fits in the 3D view itself; the menu shows it without taking the key from the
    // report's or a table's own Home.
    QAction* fitAll = view->addAction(Text(kFitAll), QKeySequence(Qt::Key_Home), this, [this] { view3D_->FitAll(); });
    fitAll->setShortcutContext(Qt::WidgetShortcut);
    view->addAction(Text(kFitSelection), this, [this] { view3D_->FitSelection(); });
    QMenu* standard = view->addMenu(Text(kStandardViews));
    const std::pair<DeskText, StandardView> sides[] = {{kTopView, StandardView::Top},     {kFrontView, StandardView::Front},
                                                       {kBackView, StandardView::Back},   {kLeftView, StandardView::Left},
                                                       {kRightView, StandardView::Right}, {kIsometricView, StandardView::Isometric}};
    for (auto [text, side] : sides) standard->addAction(Text(text), this, [this, side = side] { view3D_->ShowStandardView(side); });
    parallel_ = view->addAction(Text(kParallel), this, [this](bool on) { view3D_->SetParallel(on); });
    parallel_->setCheckable(true);
    // The switch shows the view's projection, whoever changed it (a project opened, a fit).
    connect(view, &QMenu::aboutToShow, this, [this] { parallel_->setChecked(IsParallel(host_.Model().view.Camera())); });
    view->addSeparator();
    view->addAction(Text(kRefresh), QKeySequence::Refresh, this, &MainWindow::RefreshAll);
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
        // The add-on's texts carry no mnemonics: each title and item gets a letter of its own.
        QSet<QChar> titles;
        for (QAction* a : menuBar()->actions()) titles.insert(MnemonicOf(a->text()));
        QMenu* menu = new QMenu(WithMnemonic(MenuItemText(strings.front()), titles), this);
        menuBar()->insertMenu(windowMenu_->menuAction(), menu);
        int16_t menuResId = addon->menuResId;
        QSet<QChar> letters;
        for (size_t i = 1; i < strings.size(); ++i) {
            int32_t item = static_cast<int32_t>(i);
            if (strings[i] == "-") {
                menu->addSeparator();
                continue;
            }
            auto changed = host_.menuTexts.find({menuResId, item});
            QString text = MenuItemText(changed != host_.menuTexts.end() ? changed->second : strings[i]);
            QAction* action = menu->addAction(WithMnemonic(text, letters));
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
    if (secondView_->isVisible()) secondView_->Refresh();
    layers_->Refresh();
    selection_->Refresh();
    find_->Refresh();
    dialogs_->SyncAll();
    // The project's name, with Qt's modified mark in place of [*].
    setWindowTitle(FromCodePage(host_.ProjectName()) + QStringLiteral("[*] — Quorvel"));
    setWindowModified(host_.Model().Modified());
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!host_.MayDiscardProject()) return event->ignore();
    event->accept();
    std::string error;
    places_->Save(error);
}

bool MainWindow::OpenProjectFile(const QString& path, bool layersByStorey) {
    const std::string file = path.toStdString();
    IfcModelOptions options = HostIfcModelOptions();
    options.layersByStorey = layersByStorey;
    // An IFC model is read while the window goes on; a project file is quick to read.
    ModelRead read = IsIfcFile(path) ? ReadWhileShowing(ReadProgressText::OpeningTitle, path,
                                                        [&](IIfcReadProgress& progress) {
                                                            return ReadProjectFile(file, options, &progress);
                                                        })
                                     : ReadProjectFile(file, options, nullptr);
    if (read.cancelled) return false; // the project stays as it was
    std::string error;
    if (!host_.AdoptProject(std::move(read), error)) {
        ShowFailure(Text(kCannotOpen).arg(QFileInfo(path).fileName()), error);
        return false;
    }
    // The 3D window keeps its size in the project a movie reads.
    host_.Model().windows.view3D.SetSize(view3D_->width(), view3D_->height());
    // A building from an IFC file is seen whole in this window, whatever its shape.
    if (IsIfcFile(path)) view3D_->FitAllWhenShown();
    statusBar()->showMessage(Text(kOpened).arg(path), 4000);
    RefreshAll();
    return true;
}

bool MainWindow::SaveProjectFile(const QString& path) {
    std::string error;
    if (!host_.SaveProject(path.toStdString(), error)) {
        ShowFailure(Text(kCannotSave).arg(QFileInfo(path).fileName()), error);
        return false;
    }
    statusBar()->showMessage(Text(kSaved).arg(path), 4000);
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
    QString path = QFileDialog::getOpenFileName(this, Text(kOpenProjectTitle), QString(), Text(kProjectFilter),
                                                nullptr, QFileDialog::DontUseNativeDialog);
    if (!path.isEmpty()) OpenProjectFile(path);
}

QString MainWindow::ChooseIfcFile(DeskText title, bool& layersByStorey) {
    QFileDialog box(this, Text(title), QString(), Text(kIfcFilter));
    box.setOption(QFileDialog::DontUseNativeDialog);
    box.setFileMode(QFileDialog::ExistingFile);
    // The dialog's own grid takes the choice under its file type row.
    auto* byStorey = new QCheckBox(Text(kLayersByStorey), &box);
    byStorey->setObjectName(QStringLiteral("layersByStorey"));
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) grid->addWidget(byStorey, grid->rowCount(), 0, 1, grid->columnCount());
    if (box.exec() != QDialog::Accepted || box.selectedFiles().isEmpty()) return {};
    layersByStorey = byStorey->isChecked();
    return box.selectedFiles().front();
}

void MainWindow::OpenIfcModel() {
    if (!host_.MayDiscardProject()) return RefreshAll();
    bool byStorey = false;
    QString path = ChooseIfcFile(kOpenIfcTitle, byStorey);
    if (!path.isEmpty()) OpenProjectFile(path, byStorey);
}

bool MainWindow::AddIfcModelFile(const QString& path, const QString& name, bool layersByStorey) {
    return ReadIfcInto(ReadProgressText::OpeningTitle, path, kCannotAdd, kAdded, [&](ModelRead read, std::string& error) {
        return host_.AdoptIfcModel(std::move(read), name.toStdString(), layersByStorey, error);
    });
}

void MainWindow::AddIfcModel() {
    bool byStorey = false;
    QString path = ChooseIfcFile(kAddIfcTitle, byStorey);
    if (path.isEmpty()) return;
    bool ok = false;
    QString name = QInputDialog::getText(this, PlainText(kAddIfcModel), Text(kModelName), QLineEdit::Normal,
                                         QFileInfo(path).completeBaseName(), &ok);
    if (ok) AddIfcModelFile(path, name.trimmed(), byStorey);
}

void MainWindow::RemoveIfcModel() {
    QStringList names;
    for (const IfcModelSource& s : host_.Model().ifcModels) names << QString::fromStdString(s.name);
    if (names.isEmpty()) return;
    bool ok = false;
    QString name = QInputDialog::getItem(this, PlainText(kRemoveIfcModel), Text(kRemovedModel), names, names.size() - 1, false, &ok);
    if (!ok) return;
    std::string error;
    if (!host_.RemoveIfcModel(name.toStdString(), error)) ShowError(error);
    RefreshAll();
}

ModelRead MainWindow::ReadWhileShowing(ReadProgressText title, const QString& path,
                                       const std::function<ModelRead(IIfcReadProgress&)>& read) {
    ModelReadWindow progress(FromCodePage(ReadProgressString(title, ToCodePage(QFileInfo(path).fileName()))), this);
    return progress.Run(read);
}

bool MainWindow::ReadIfcInto(ReadProgressText title, const QString& path, DeskText cannot, DeskText done,
                             const std::function<bool(ModelRead, std::string&)>& adopt) {
    const std::string file = path.toStdString();
    ModelRead read = ReadWhileShowing(title, path, [&](IIfcReadProgress& progress) { return ReadIfcRevision(file, &progress); });
    if (read.cancelled) return false; // the project stays as it was
    std::string error;
    if (!adopt(std::move(read), error)) {
        ShowFailure(Text(cannot).arg(QFileInfo(path).fileName()), error);
        return false;
    }
    statusBar()->showMessage(Text(done).arg(path), 4000);
    RefreshAll();
    return true;
}

bool MainWindow::UpdateFromIfcFile(const QString& path, const QString& model) {
    return ReadIfcInto(ReadProgressText::UpdatingTitle, path, kCannotUpdate, kUpdatedFrom, [&](ModelRead read, std::string& error) {
        return host_.AdoptIfcRevision(std::move(read), error, model.toStdString());
    });
}

void MainWindow::UpdateFromIfcRevision() {
    QString path = QFileDialog::getOpenFileName(this, Text(kUpdateFromIfcTitle), QString(), Text(kIfcFilter), nullptr,
                                                QFileDialog::DontUseNativeDialog);
    if (path.isEmpty()) return;
    // Of several models, the user says which one the file revises.
    QString model;
    const auto& models = host_.Model().ifcModels;
    if (models.size() > 1) {
        QStringList names;
        int current = 0;
        for (const IfcModelSource& s : models) {
            if (QFileInfo(QString::fromStdString(s.path)).completeBaseName() == QFileInfo(path).completeBaseName()) current = static_cast<int>(names.size());
            names << QString::fromStdString(s.name);
        }
        bool ok = false;
        model = QInputDialog::getItem(this, PlainText(kUpdateFromIfc), Text(kRevisedModel), names, current, false, &ok);
        if (!ok) return;
    }
    UpdateFromIfcFile(path, model);
}

void MainWindow::SaveProject() {
    if (host_.projectPath.empty()) SaveProjectAs();
    else SaveProjectFile(QString::fromStdString(host_.projectPath));
}

void MainWindow::SaveProjectAs() {
    QString path = QFileDialog::getSaveFileName(this, Text(kSaveProjectTitle), QString::fromStdString(host_.projectPath),
                                                Text(kProjectFilter), nullptr, QFileDialog::DontUseNativeDialog);
    if (path.isEmpty()) return;
    if (!path.endsWith(QStringLiteral(".qvp"))) path += QStringLiteral(".qvp");
    SaveProjectFile(path);
}

void MainWindow::Undo() {
    std::string name;
    if (!host_.Model().ApplyUndo(name)) statusBar()->showMessage(Text(kNothingToUndo), 3000);
    else statusBar()->showMessage(Text(kUndone).arg(FromCodePage(name)), 3000);
    RefreshAll();
}

void MainWindow::Redo() {
    std::string name;
    if (!host_.Model().ApplyRedo(name)) statusBar()->showMessage(Text(kNothingToRedo), 3000);
    else statusBar()->showMessage(Text(kRedone).arg(FromCodePage(name)), 3000);
    RefreshAll();
}

bool MainWindow::GoTo(const ReportName& name) {
    HostModel& model = host_.Model();
    std::string text = ToCodePage(name.text);
    if (name.kind == ReportName::Kind::Element) {
        Element* e = model.FindByIdText(text);
        if (!e) return false;
        model.Selection() = {e->Guid()};
        view3D_->FitSelection();
        RefreshAll();
        SelectionChanged();
        return true;
    }
    for (const auto& addon : host_.Addons())
        for (const auto& [dialogId, record] : addon->palettes) {
            DialogWindow* window = dialogs_->Window(dialogId);
            DGDialog* dialog = window ? window->Dialog() : nullptr;
            if (!dialog) continue;
            for (const DGItem& item : dialog->Items()) {
                const DGListState* list = item.kind == DGItemKind::List ? dialog->List(item.id) : nullptr;
                if (!list) continue;
                for (size_t row = 0; row < list->rows.size(); ++row) {
                    if (list->rows[row].tabs.empty() || list->rows[row].tabs[0] != text) continue;
                    dialog->UserSelectRow(item.id, static_cast<int32_t>(row + 1));
                    if (window->isVisible()) window->raise();
                    RefreshAll();
                    return true;
                }
            }
        }
    return false;
}

void MainWindow::ShowError(const std::string& text) {
    QMessageBox::warning(this, QStringLiteral("Quorvel"), QString::fromStdString(text));
}

void MainWindow::ShowFailure(const QString& what, const std::string& reason) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Quorvel"), what, QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("failure"));
    box.setInformativeText(QString::fromStdString(reason));
    box.exec();
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
