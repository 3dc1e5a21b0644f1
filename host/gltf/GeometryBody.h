#pragma once
// An element's geometry as triangles over points: a box as its twelve, a mesh as it is, less
// triangles naming points it lacks.
#include "host/gltf/ShapeGroups.h"
#include "host/model/Element.h"

TriangleBody BodyOfGeometry(const Geometry& geometry);
