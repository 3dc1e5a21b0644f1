#pragma once
// The 3D window (or the photo window): the host's renderer's picture of the model from the
// project's view, navigated with mouse and keys, with the host's selection drawn over it and
// picked by clicks and a rubber band.
#include "desk/views/CameraNavigation.h"
#include "host/app/Host.h"
#include "host/render/Renderer.h"
#include "desk/views/ElementPicker.h"
#include "host/render/Scene.h"
#include "host/render/SceneKeeper.h"

#include <QImage>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <optional>
#include <unordered_set>
#include <vector>

class ModelView : public QWidget {
    Q_OBJECT
public:
    // The second side shows each element as the add-on set it for the second window.
    ModelView(Host& host, RenderStyle style, QWidget* parent, SceneSide side = SceneSide::First);

    // The model, a layer or the view changed: draw anew.
    void Refresh();
    // The picture as it was last drawn, outline and band included.
    QImage Picture() { return grab().toImage(); }
    // The host's pixels for the model as the view shows it (no outline), at the widget's size.
    Image RenderFull();
    RenderStyle Style() const { return style_; }

    // Called after the selection or the camera changed here.
    std::function<void()> selectionChanged;
    std::function<void()> cameraChanged;

    // Navigation steps the keys and the mouse use.
    void OrbitBy(double yaw, double pitch);
    void PanBy(double right, double up);
    void ZoomBy(double factor);
    // The whole building (every drawn element), or the selection, in view from where the camera looks.
    void FitAll();
    void FitSelection();
    // FitAll, once the view has its size on the screen (a model opened before the window shows).
    void FitAllWhenShown();
    // Looks from a standard side at the whole building.
    void ShowStandardView(StandardView side);
    void SetParallel(bool parallel);
    // What a click at a point does: select the element there (shift: add or remove it).
    void ClickAt(QPoint point, bool toggle);
    // What a rubber band takes: the elements wholly inside it that the user sees (shift: added
    // to the selection); with `hiddenToo` also those hidden behind others.
    void SelectInside(QRect band, bool add, bool hiddenToo = false);

    // Shows only these elements (a find's result) until called with none; picking follows.
    void Isolate(std::optional<std::unordered_set<API_Guid, API_GuidHash>> only);
    bool IsIsolating() const { return isolated_.has_value(); }
    // Moves the camera so that the elements fill the view.
    void ZoomTo(const std::vector<Element*>& elements);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Render(bool coarse);
    void SetCamera(const ViewCamera& camera);
    void Moving();
    ElementFilter Shown() const;
    // The scene as drawn, taken again from the model when it changed; the bodies are kept.
    const Scene& CurrentScene();
    void FitPoints(const std::vector<Vec3>& points);
    void UpdateOverlay(const QSize& size);

    Host& host_;
    RenderStyle style_;
    SceneSide side_;
    SceneKeeper scene_;
    const Scene* current_ = nullptr;
    bool sceneStale_ = true;
    QImage picture_;
    bool pictureStale_ = true;
    // The selection drawn over the picture, at the picture's own size; redrawn when the picture
    // or the selection changes.
    QImage overlay_;
    std::vector<API_Guid> overlaySelection_;
    bool coarse_ = false;
    QTimer settle_; // the full picture once the mouse rests
    Qt::MouseButton dragButton_ = Qt::NoButton;
    QPoint pressAt_, lastAt_;
    bool dragged_ = false;
    QRect band_;
    std::optional<std::unordered_set<API_Guid, API_GuidHash>> isolated_;
    bool fitWhenShown_ = false;
};
