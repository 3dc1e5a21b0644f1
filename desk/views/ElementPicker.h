#pragma once
// Which element lies under a pixel of the 3D view and which lie inside a rubber band. Only drawn
// elements count: bodies on shown layers, or in the second window those its state draws.
#include "host/model/HostModel.h"
#include "host/render/Scene.h"
#include "host/render/ViewProjection.h"

#include <array>
#include <functional>
#include <utility>
#include <vector>

// Elements the view leaves out besides hidden layers (the desktop isolating a find's result);
// none: every drawn element counts.
using ElementFilter = std::function<bool(const Element&)>;

bool IsElementDrawn(HostModel& model, const Element& element, SceneSide side = SceneSide::First);
// The nearest element on the line of sight; a window or door in its wall wins over the wall.
Element* PickElement(HostModel& model, const ViewProjection& view, double x, double y, const ElementFilter& shown = {},
                     SceneSide side = SceneSide::First);
// Elements whose every corner in front of the eye falls inside the rectangle.
std::vector<Element*> ElementsInside(HostModel& model, const ViewProjection& view, double left, double top,
                                     double right, double bottom, const ElementFilter& shown = {},
                                     SceneSide side = SceneSide::First);
// A box's eight corners, or a mesh's vertices.
std::vector<Vec3> ElementCorners(const Element& element);
// The element's body as triangles, as the renderer draws it.
std::vector<std::array<Vec3, 3>> ElementTriangles(const Element& element);
