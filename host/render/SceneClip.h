#pragma once
// Growth drawn as a plane moving through an element: of a body only what lies on the drawn side
// of the plane its look sets, so the pixels beyond show what stands behind.
#include "host/model/LookOverride.h"
#include "host/render/Scene.h"

#include <span>

// Appends to the scene the parts of `triangles` and `edges` (an element's body, within `min` and
// `max`) that `look`'s plane keeps, each new triangle owned by `owner`.
void AppendClipped(Scene& scene, std::span<const SceneTriangle> triangles, std::span<const SceneEdge> edges,
                   const Element* owner, const LookOverride& look, const Vec3& min, const Vec3& max);
