#pragma once
// The selection over a view's picture, as design programs draw it: a light tint on the selected
// elements' faces where they show, and their outline, strong where it is in sight and faint
// where another element stands in front of it. The picture stays the renderer's own.
#include "host/model/HostModel.h"
#include "host/render/Scene.h"

#include <QColor>
#include <QImage>

inline const QColor kSelectionColour(255, 128, 0);
inline constexpr int kTintAlpha = 60;
inline constexpr int kHiddenOutlineAlpha = 80;

class ViewDepth;

// A transparent picture of the view's size with the selection drawn on it (premultiplied ARGB).
QImage SelectionOverlay(HostModel& model, const ViewCamera& camera, const ViewDepth& depth,
                        SceneSide side = SceneSide::First);
