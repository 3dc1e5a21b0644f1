#pragma once
// Which elements a view shows at its pixels: the nearest opaque surface at each pixel, and glass
// in front of it (seen, but seen through). What a rubber band over the 3D window takes when only
// what the user sees counts.
#include "host/render/Scene.h"
#include "host/render/ScreenTriangle.h"
#include "host/render/ViewProjection.h"

#include <cstdint>
#include <unordered_set>
#include <vector>

class SeenElements {
public:
    // `scene` must outlive this; its triangles' owners are what it tells.
    SeenElements(const Scene& scene, const ViewCamera& camera, int32_t width, int32_t height);

    // The elements seen at any pixel whose centre lies in the rectangle (pixel bounds, inclusive).
    std::unordered_set<const Element*> In(int32_t left, int32_t top, int32_t right, int32_t bottom) const;
    const Element* At(int32_t x, int32_t y) const;

private:
    int32_t width_, height_;
    std::vector<float> depth_;         // 1/z of the nearest opaque surface, 0 for none
    std::vector<const Element*> seen_; // its element
    std::vector<raster::ScreenTriangle> glass_;
    std::vector<const Element*> glassOwners_;
    std::vector<double> glassBias_;
};
