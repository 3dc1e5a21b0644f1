#pragma once
// The host as a window: the project, edit, view and window menus, the add-ons' menus, the 3D
// window in the middle, the photo window, the report, the layers and the selection in docks.
#include "host/app/Host.h"

#include <QMainWindow>
#include <QTimer>

#include <map>

class FindPanel;
class LayerPanel;
class ModelView;
class QAction;
class QMenu;
class QPlainTextEdit;
class QtDialogBackEnd;
class SelectionPanel;

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
    // An IFC model's elements go on a layer for each storey with `layersByStorey`.
    bool OpenProjectFile(const QString& path, bool layersByStorey = false);
    // A later revision of the open IFC model; the undo history goes with it.
    bool UpdateFromIfcFile(const QString& path);
    bool SaveProjectFile(const QString& path);

    ModelView* View3D() const { return view3D_; }
    ModelView* PhotoView() const { return photoView_; }
    LayerPanel* Layers() const { return layers_; }
    FindPanel* Find() const { return find_; }
    QPlainTextEdit* Report() const { return report_; }
    QtDialogBackEnd* Dialogs() const { return dialogs_; }
    QAction* AddonAction(int16_t menuResId, int32_t item) const;

protected:
    void changeEvent(QEvent* event) override;
    // Quitting, by the menu, its key or the window's close box, asks before unsaved work goes.
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildHostMenus();
    void NewProject();
    void OpenProject();
    void OpenIfcModel();
    void UpdateFromIfcRevision();
    void SaveProject();
    void SaveProjectAs();
    void Undo();
    void Redo();
    void ShowError(const std::string& text);
    // The host's palette manager: add-on palettes hide with the window and come back with it.
    void SendPaletteMessage(int32_t message);

    Host& host_;
    QtDialogBackEnd* dialogs_ = nullptr;
    ModelView* view3D_ = nullptr;
    ModelView* photoView_ = nullptr;
    LayerPanel* layers_ = nullptr;
    SelectionPanel* selection_ = nullptr;
    FindPanel* find_ = nullptr;
    QPlainTextEdit* report_ = nullptr;
    QMenu* windowMenu_ = nullptr;
    std::map<std::pair<int16_t, int32_t>, QAction*> addonActions_;
    bool palettesHidden_ = false;
    QTimer photoFollow_;
};
