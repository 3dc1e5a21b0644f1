#pragma once
// The edges that outline a selected element, as design programs draw them: its creases and open
// borders, and the silhouette it shows the eye; never the seams inside a flat or gently bent
// surface, which would spread a web of lines over a terrain.
#include "host/model/Element.h"

#include <utility>
#include <vector>

std::vector<std::pair<Vec3, Vec3>> OutlineEdges(const Element& element, const Vec3& eye);
