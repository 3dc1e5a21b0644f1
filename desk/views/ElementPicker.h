#pragma once
// Which element lies under a pixel of the 3D view, which lie inside a rubber band, and the
// edges that outline an element. Only drawn elements count: bodies on shown layers.
#include "host/model/HostModel.h"
#include "host/render/ViewProjection.h"

#include <utility>
#include <vector>

bool IsElementDrawn(HostModel& model, const Element& element);
// The nearest element on the line of sight; a window or door in its wall wins over the wall.
Element* PickElement(HostModel& model, const ViewProjection& view, double x, double y);
// Elements whose every corner in front of the eye falls inside the rectangle.
std::vector<Element*> ElementsInside(HostModel& model, const ViewProjection& view, double left, double top,
                                     double right, double bottom);
std::vector<std::pair<Vec3, Vec3>> OutlineEdges(const Element& element);
