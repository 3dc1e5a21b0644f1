#pragma once
// Which element lies under a pixel of the 3D view, which lie inside a rubber band, and the
// edges that outline an element. Only drawn elements count: bodies on shown layers.
#include "host/model/HostModel.h"
#include "host/render/ViewProjection.h"

#include <functional>
#include <utility>
#include <vector>

// Elements the view leaves out besides hidden layers (the desktop isolating a find's result);
// none: every drawn element counts.
using ElementFilter = std::function<bool(const Element&)>;

bool IsElementDrawn(HostModel& model, const Element& element);
// The nearest element on the line of sight; a window or door in its wall wins over the wall.
Element* PickElement(HostModel& model, const ViewProjection& view, double x, double y, const ElementFilter& shown = {});
// Elements whose every corner in front of the eye falls inside the rectangle.
std::vector<Element*> ElementsInside(HostModel& model, const ViewProjection& view, double left, double top,
                                     double right, double bottom, const ElementFilter& shown = {});
std::vector<std::pair<Vec3, Vec3>> OutlineEdges(const Element& element);
