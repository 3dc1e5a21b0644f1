#pragma once
// Where a camera puts the world on a picture of a given size: the view basis, the focal length
// and the centre. The renderer draws with it and the desktop picks and outlines with it, so a
// click lands on the element drawn under it.
#include "host/render/ViewCamera.h"

#include <cstdint>
#include <optional>

// x right, y up, z the depth along the line of sight, from `origin`.
struct ViewBasis {
    Vec3 origin, right, up, forward;

    Vec3 ToView(const Vec3& p) const {
        Vec3 d = Sub3(p, origin);
        return {Dot3(d, right), Dot3(d, up), Dot3(d, forward)};
    }
};

// `up` nearly along the line of sight leaves no sideways direction; the world's z (or y, looking
// straight up or down) stands in for it.
ViewBasis LookingAt(const Vec3& eye, const Vec3& target, Vec3 up);

struct ScreenPoint {
    double x = 0, y = 0, depth = 0;
};

// A view point's place on the picture with 1/depth, the value a triangle's pixels interpolate.
struct ScreenDepth {
    double x, y, invZ;
};

class ViewProjection {
public:
    // Nothing nearer the eye than this is drawn or picked.
    static constexpr double kNear = 0.05;

    ViewProjection(const ViewCamera& camera, int32_t width, int32_t height);

    Vec3 ToView(const Vec3& world) const { return basis_.ToView(world); }
    // `view` must lie at or beyond the near plane. Multiplies by 1/depth: the rasteriser's vertices.
    ScreenDepth OnScreen(const Vec3& view) const {
        double inv = 1.0 / view[2];
        return {cx_ + focal_ * view[0] * inv, cy_ - focal_ * view[1] * inv, inv};
    }
    // None before the near plane. Divides by the depth, which may differ from OnScreen in the
    // last bit; pickers and outlines never need the rasteriser's exact vertices.
    std::optional<ScreenPoint> Project(const Vec3& world) const;
    // The ray from the eye through a pixel position: origin and unit direction.
    void Ray(double x, double y, Vec3& origin, Vec3& direction) const;

    const ViewBasis& Basis() const { return basis_; }
    const Vec3& Eye() const { return basis_.origin; }
    const Vec3& Right() const { return basis_.right; }
    const Vec3& Up() const { return basis_.up; }
    const Vec3& Forward() const { return basis_.forward; }
    double Focal() const { return focal_; }

private:
    ViewBasis basis_;
    double focal_, cx_, cy_;
};
