#pragma once
// The host as a window: the project, edit, view and window menus, the add-ons' menus, the 3D
// window in the middle, the photo window, the report, the layers and the selection in docks.
// Every menu is reached with Alt and a letter, F10 opens the menu bar; the windows open where
// the user left them (WindowPlaces).
#include "desk/window/DeskTexts.h"
#include "desk/window/ReportLineNames.h"
#include "host/app/Host.h"
#include "host/app/ReadProgressTexts.h"

#include <QMainWindow>
#include <QTimer>

#include <functional>
#include <map>
#include <optional>

class FindPanel;
class LayerPanel;
class ModelView;
class QAction;
class QMenu;
class QPlainTextEdit;
class QtDialogBackEnd;
class ReportView;
class SelectionPanel;
class WindowPlaces;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(Host& host);
    ~MainWindow() override;

    // Builds the menus of the add-ons that registered one; call once they are loaded.
    void AddAddonMenus();
    // Every view follows the model: after a command, an undo, a display pass.
    void RefreshAll();
    // Runs an add-on menu item as the user's choice does.
    void RunAddonMenuItem(int16_t menuResId, int32_t item);
    // An IFC model's elements go on a layer for each storey with `layersByStorey`. An IFC file
    // is read off the GUI thread under a progress window whose Cancel leaves the project as it
    // was (and gives false).
    bool OpenProjectFile(const QString& path, bool layersByStorey = false);
    // A later revision of the open IFC model, read as an opened one; the undo history goes with it.
    // `model`: which of the project's models the file revises (empty: the only one).
    bool UpdateFromIfcFile(const QString& path, const QString& model = {});
    // Another IFC model beside the project's, read while the window goes on.
    bool AddIfcModelFile(const QString& path, const QString& name, bool layersByStorey);
    bool SaveProjectFile(const QString& path);

    ModelView* View3D() const { return view3D_; }
    ModelView* PhotoView() const { return photoView_; }
    ModelView* SecondView() const { return secondView_; }
    LayerPanel* Layers() const { return layers_; }
    FindPanel* Find() const { return find_; }
    QPlainTextEdit* Report() const;
    ReportView* ReportWindow() const { return report_; }
    WindowPlaces& Places() const { return *places_; }
    // A report line's name: the element selected and brought into view, or the task's row
    // selected in its palette. False when the project has no such element or task.
    bool GoTo(const ReportName& name);
    QtDialogBackEnd* Dialogs() const { return dialogs_; }
    QAction* AddonAction(int16_t menuResId, int32_t item) const;

protected:
    void changeEvent(QEvent* event) override;
    // Quitting, by the menu, its key or the window's close box, asks before unsaved work goes.
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildHostMenus();
    void BuildViewMenu();
    // The top-left of a window of this size in a corner of the 3D view's area (the middle for
    // any other corner value), off the view's edges.
    QPoint InFreeArea(QSize frame, std::optional<Qt::Corner> corner) const;
    bool IsPalette(int32_t dialogId) const;
    void SelectionChanged();
    void NewProject();
    void OpenProject();
    void OpenIfcModel();
    void AddIfcModel();
    void RemoveIfcModel();
    // An IFC file from the file dialog, with the choice of layers by storey under it; empty when cancelled.
    QString ChooseIfcFile(DeskText title, bool& layersByStorey);
    void UpdateFromIfcRevision();
    // An IFC file read while the window goes on, then taken into the project by `adopt`; a
    // failure is shown under `cannot`, success in the status line by `done`.
    bool ReadIfcInto(ReadProgressText title, const QString& path, DeskText cannot, DeskText done,
                     const std::function<bool(ModelRead, std::string&)>& adopt);
    // Runs `read` on a worker thread under a progress window titled with the file's name.
    ModelRead ReadWhileShowing(ReadProgressText title, const QString& path,
                               const std::function<ModelRead(IIfcReadProgress&)>& read);
    void SaveProject();
    void SaveProjectAs();
    void Undo();
    void Redo();
    void ShowError(const std::string& text);
    // `what` failed, in the user's language, with the host's reason below it.
    void ShowFailure(const QString& what, const std::string& reason);
    // The host's palette manager: add-on palettes hide with the window and come back with it.
    void SendPaletteMessage(int32_t message);

    Host& host_;
    QtDialogBackEnd* dialogs_ = nullptr;
    ModelView* view3D_ = nullptr;
    ModelView* photoView_ = nullptr;
    ModelView* secondView_ = nullptr;
    LayerPanel* layers_ = nullptr;
    SelectionPanel* selection_ = nullptr;
    FindPanel* find_ = nullptr;
    ReportView* report_ = nullptr;
    WindowPlaces* places_ = nullptr;
    QMenu* windowMenu_ = nullptr;
    QAction* parallel_ = nullptr;
    std::map<std::pair<int16_t, int32_t>, QAction*> addonActions_;
    bool palettesHidden_ = false;
    QTimer photoFollow_;
};
