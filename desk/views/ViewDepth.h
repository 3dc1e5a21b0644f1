#pragma once
// Which drawn element shows at each pixel of a view, and how near: what the selection's outline
// is tested against. Drawn with the renderer's projection and rasteriser from the elements'
// bodies, windows and doors winning inside their walls as they do in the picture.
#include "host/model/HostModel.h"

#include <cstdint>
#include <vector>

class ViewDepth {
public:
    ViewDepth(HostModel& model, const ViewCamera& camera, int32_t width, int32_t height);

    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    // 1/depth of the nearest surface at the pixel, 0 where nothing is drawn.
    float InverseDepth(int32_t x, int32_t y) const { return depth_[Index(x, y)]; }
    // The element drawn at the pixel; null for none.
    const Element* Owner(int32_t x, int32_t y) const {
        int32_t o = owner_[Index(x, y)];
        return o < 0 ? nullptr : elements_[static_cast<size_t>(o)];
    }
    // Whether a point of 1/depth `inverseDepth` at the pixel is in sight, allowing for the slope
    // of the surface there: a line on a face seen at a grazing angle still counts as on it.
    bool InSight(int32_t x, int32_t y, double inverseDepth) const;

private:
    size_t Index(int32_t x, int32_t y) const {
        return static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x);
    }

    int32_t width_, height_;
    std::vector<float> depth_;
    std::vector<int32_t> owner_;
    std::vector<const Element*> elements_;
};
