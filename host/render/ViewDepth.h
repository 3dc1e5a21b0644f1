#pragma once
// Which element shows at each pixel of a view, and how near: the nearest surface that hides what
// lies behind it (glass does not), drawn with the renderer's projection and rasteriser from the
// triangles it draws, windows and doors winning inside their walls as they do in the picture.
// What the selection's outline is tested against, and what a rubber band takes when only what
// the user sees counts.
#include "host/render/Scene.h"
#include "host/render/ScreenTriangle.h"

#include <cstdint>
#include <unordered_set>
#include <vector>

class ViewDepth {
public:
    // `scene` (its owners) must outlive this.
    ViewDepth(const Scene& scene, const ViewCamera& camera, int32_t width, int32_t height);
    // Of every drawn element of the model.
    ViewDepth(HostModel& model, const ViewCamera& camera, int32_t width, int32_t height);

    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    // 1/depth of the nearest hiding surface at the pixel, 0 where nothing is drawn.
    float InverseDepth(int32_t x, int32_t y) const { return depth_[Index(x, y)]; }
    // The element drawn there; null for none.
    const Element* Owner(int32_t x, int32_t y) const { return owner_[Index(x, y)]; }
    // Whether a point of 1/depth `inverseDepth` at the pixel is in sight, allowing for the slope
    // of the surface there: a line on a face seen at a grazing angle still counts as on it.
    bool InSight(int32_t x, int32_t y, double inverseDepth) const;
    // The elements seen at any pixel of the rectangle (inclusive bounds): the owners, and glass in
    // front of them.
    std::unordered_set<const Element*> SeenIn(int32_t left, int32_t top, int32_t right, int32_t bottom) const;

private:
    void Draw(const Scene& scene, const ViewCamera& camera);
    size_t Index(int32_t x, int32_t y) const {
        return static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x);
    }

    int32_t width_, height_;
    std::vector<float> depth_;
    std::vector<const Element*> owner_;
    struct Glass {
        raster::ScreenTriangle triangle;
        const Element* owner;
        double bias;
    };
    std::vector<Glass> glass_;
};
