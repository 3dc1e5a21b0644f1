#include "desk/views/ModelView.h"

#include "desk/views/CameraNavigation.h"
#include "desk/views/ElementPicker.h"
#include "desk/views/SelectionOverlay.h"
#include "host/render/ViewCamera.h"
#include "host/render/ViewDepth.h"
#include "host/render/ViewProjection.h"
#include "host/render/WindowPictures.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <unordered_set>

namespace {

constexpr int kDragThreshold = 4;
constexpr int kCoarseDivisor = 2;

QImage ToQImage(const Image& image) {
    QImage out(image.width, image.height, QImage::Format_RGB32);
    for (int32_t y = 0; y < image.height; ++y) {
        auto* line = reinterpret_cast<uint32_t*>(out.scanLine(y));
        for (int32_t x = 0; x < image.width; ++x) line[x] = 0xFF000000u | image.At(x, y);
    }
    return out;
}

} // namespace

ModelView::ModelView(Host& host, RenderStyle style, QWidget* parent, SceneSide side)
    : QWidget(parent), host_(host), style_(style), side_(side) {
    setObjectName(side == SceneSide::Second       ? QStringLiteral("secondView")
                  : style == RenderStyle::Photo ? QStringLiteral("photoView")
                                                : QStringLiteral("modelView"));
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(160, 120);
    settle_.setSingleShot(true);
    settle_.setInterval(150);
    connect(&settle_, &QTimer::timeout, this, [this] {
        coarse_ = false;
        pictureStale_ = true;
        update();
    });
}

ElementFilter ModelView::Shown() const {
    if (!isolated_) return {};
    return [this](const Element& e) { return isolated_->count(e.Guid()) != 0; };
}

void ModelView::Isolate(std::optional<std::unordered_set<API_Guid, API_GuidHash>> only) {
    isolated_ = std::move(only);
    Refresh();
}

void ModelView::ZoomTo(const std::vector<Element*>& elements) {
    std::vector<Vec3> points;
    for (const Element* e : elements) {
        auto corners = ElementCorners(*e);
        points.insert(points.end(), corners.begin(), corners.end());
    }
    FitPoints(points);
}

void ModelView::Refresh() {
    sceneStale_ = true;
    pictureStale_ = true;
    update();
}

const Scene& ModelView::CurrentScene() {
    if (sceneStale_ || !current_) {
        current_ = &scene_.Update(host_.Model(), Shown(), side_);
        sceneStale_ = false;
    }
    return *current_;
}

Image ModelView::RenderFull() {
    return RenderScene(CurrentScene(), host_.Model().view.Camera(), std::max(1, width()), std::max(1, height()), style_,
                       WindowBackground(host_.Model(), style_));
}

void ModelView::Render(bool coarse) {
    if (!coarse) {
        picture_ = ToQImage(RenderFull());
    } else {
        picture_ = ToQImage(RenderScene(CurrentScene(), host_.Model().view.Camera(), std::max(1, width() / kCoarseDivisor),
                                        std::max(1, height() / kCoarseDivisor), style_,
                                        WindowBackground(host_.Model(), style_)));
    }
    overlaySelection_.clear();
    overlay_ = QImage();
}

void ModelView::UpdateOverlay(const QSize& size) {
    HostModel& model = host_.Model();
    if (!overlay_.isNull() && overlaySelection_ == model.Selection()) return;
    overlaySelection_ = model.Selection();
    if (overlaySelection_.empty()) {
        overlay_ = QImage();
        return;
    }
    ViewDepth depth(CurrentScene(), model.view.Camera(), size.width(), size.height());
    overlay_ = SelectionOverlay(model, model.view.Camera(), depth, side_);
}

void ModelView::paintEvent(QPaintEvent*) {
    if (pictureStale_ || (!coarse_ && picture_.size() != size())) {
        Render(coarse_);
        pictureStale_ = false;
    }
    UpdateOverlay(picture_.size());
    QPainter painter(this);
    // A coarse picture is drawn enlarged; the selection over it likewise, so it stays on its elements.
    QRect whole = rect();
    painter.drawImage(whole, picture_);
    if (!overlay_.isNull()) painter.drawImage(whole, overlay_);
    if (band_.isValid()) {
        painter.setPen(QPen(QColor(0, 90, 200), 1, Qt::DashLine));
        painter.setBrush(QColor(0, 90, 200, 40));
        painter.drawRect(band_);
    }
}

void ModelView::resizeEvent(QResizeEvent*) {
    pictureStale_ = true;
    if (style_ == RenderStyle::Window3D) {
        // The 3D window's size is what a movie from the current view captures.
        host_.Model().windows.view3D.SetSize(width(), height());
    }
    if (fitWhenShown_ && isVisible()) FitAllWhenShown();
}

void ModelView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (fitWhenShown_) FitAllWhenShown();
}

void ModelView::FitAllWhenShown() {
    fitWhenShown_ = !isVisible();
    if (!fitWhenShown_) FitAll();
}

void ModelView::SetCamera(const ViewCamera& camera) {
    host_.Model().view.SetCamera(camera);
    pictureStale_ = true;
    update();
    if (cameraChanged) cameraChanged();
}

void ModelView::Moving() {
    coarse_ = true;
    settle_.start();
}

void ModelView::OrbitBy(double yaw, double pitch) { SetCamera(Orbit(host_.Model().view.Camera(), yaw, pitch)); }
void ModelView::PanBy(double right, double up) { SetCamera(Pan(host_.Model().view.Camera(), right, up)); }
void ModelView::ZoomBy(double factor) { SetCamera(Zoom(host_.Model().view.Camera(), factor)); }

void ModelView::FitPoints(const std::vector<Vec3>& points) {
    if (points.empty()) return;
    SetCamera(FitToView(host_.Model().view.Camera(), points, width(), height()));
}

void ModelView::FitAll() {
    HostModel& model = host_.Model();
    std::vector<Vec3> points;
    for (const auto& e : model.Elements())
        if (IsElementDrawn(model, *e, side_)) {
            auto corners = ElementCorners(*e);
            points.insert(points.end(), corners.begin(), corners.end());
        }
    FitPoints(points);
}

void ModelView::FitSelection() {
    HostModel& model = host_.Model();
    // A selected element on a hidden layer is still brought into view: the user asked for it.
    std::vector<Element*> selected;
    for (const API_Guid& g : model.Selection())
        if (Element* e = model.Find(g)) selected.push_back(e);
    ZoomTo(selected);
}

void ModelView::ShowStandardView(StandardView side) {
    SetCamera(LookFrom(host_.Model().view.Camera(), side));
    FitAll();
}

void ModelView::SetParallel(bool parallel) {
    const ViewCamera& camera = host_.Model().view.Camera();
    if (IsParallel(camera) == parallel) return;
    SetCamera(WithViewAngle(camera, parallel ? kParallelViewAngle : kPerspectiveViewAngle));
}

void ModelView::ClickAt(QPoint point, bool toggle) {
    HostModel& model = host_.Model();
    ViewProjection view(model.view.Camera(), width(), height());
    Element* e = PickElement(model, view, point.x() + 0.5, point.y() + 0.5, Shown(), side_);
    auto& selection = model.Selection();
    if (!toggle) selection.clear();
    if (e) {
        auto it = std::find(selection.begin(), selection.end(), e->Guid());
        if (it == selection.end()) selection.push_back(e->Guid());
        else if (toggle) selection.erase(it);
    }
    update();
    if (selectionChanged) selectionChanged();
}

void ModelView::SelectInside(QRect band, bool add, bool hiddenToo) {
    HostModel& model = host_.Model();
    ViewProjection view(model.view.Camera(), width(), height());
    std::unordered_set<const Element*> seen;
    if (!hiddenToo)
        seen = ViewDepth(CurrentScene(), model.view.Camera(), width(), height())
                   .SeenIn(band.left(), band.top(), band.right(), band.bottom());
    auto& selection = model.Selection();
    if (!add) selection.clear();
    for (Element* e : ElementsInside(model, view, band.left(), band.top(), band.right() + 1, band.bottom() + 1, Shown(), side_))
        if ((hiddenToo || seen.count(e)) && std::find(selection.begin(), selection.end(), e->Guid()) == selection.end())
            selection.push_back(e->Guid());
    update();
    if (selectionChanged) selectionChanged();
}

void ModelView::mousePressEvent(QMouseEvent* event) {
    setFocus();
    dragButton_ = event->button();
    pressAt_ = lastAt_ = event->position().toPoint();
    dragged_ = false;
}

void ModelView::mouseMoveEvent(QMouseEvent* event) {
    QPoint at = event->position().toPoint();
    if (dragButton_ == Qt::NoButton) return;
    if (!dragged_ && (at - pressAt_).manhattanLength() < kDragThreshold) return;
    dragged_ = true;
    QPoint delta = at - lastAt_;
    lastAt_ = at;
    if (dragButton_ == Qt::LeftButton && style_ == RenderStyle::Window3D) {
        band_ = QRect(pressAt_, at).normalized();
        update();
    } else if (dragButton_ == Qt::RightButton) {
        Moving();
        OrbitBy(-delta.x() * 0.4, delta.y() * 0.3);
    } else if (dragButton_ == Qt::MiddleButton) {
        Moving();
        PanBy(-delta.x() / double(std::max(1, width())), delta.y() / double(std::max(1, height())));
    }
}

void ModelView::mouseReleaseEvent(QMouseEvent* event) {
    bool shift = event->modifiers() & Qt::ShiftModifier;
    if (dragButton_ == Qt::LeftButton && style_ == RenderStyle::Window3D) {
        if (dragged_ && band_.isValid()) {
            QRect band = band_;
            band_ = QRect();
            SelectInside(band, shift, event->modifiers() & Qt::ControlModifier);
        } else {
            ClickAt(event->position().toPoint(), shift);
        }
    }
    band_ = QRect();
    dragButton_ = Qt::NoButton;
    update();
}

void ModelView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::MiddleButton) FitAll();
    else QWidget::mouseDoubleClickEvent(event);
}

void ModelView::wheelEvent(QWheelEvent* event) {
    Moving();
    ZoomBy(event->angleDelta().y() > 0 ? 0.9 : 1.0 / 0.9);
}

void ModelView::keyPressEvent(QKeyEvent* event) {
    bool shift = event->modifiers() & Qt::ShiftModifier;
    switch (event->key()) {
    case Qt::Key_Left: shift ? PanBy(-0.05, 0) : OrbitBy(5, 0); break;
    case Qt::Key_Right: shift ? PanBy(0.05, 0) : OrbitBy(-5, 0); break;
    case Qt::Key_Up: shift ? PanBy(0, 0.05) : OrbitBy(0, 5); break;
    case Qt::Key_Down: shift ? PanBy(0, -0.05) : OrbitBy(0, -5); break;
    case Qt::Key_Plus:
    case Qt::Key_Equal: ZoomBy(0.9); break;
    case Qt::Key_Minus: ZoomBy(1.0 / 0.9); break;
    case Qt::Key_Home: FitAll(); return;
    default: QWidget::keyPressEvent(event); return;
    }
    Moving();
}
