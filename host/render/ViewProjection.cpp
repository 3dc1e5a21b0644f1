#include "host/render/ViewProjection.h"

#include <cmath>

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr Vec3 kZ{0, 0, 1};
} // namespace

ViewBasis LookingAt(const Vec3& eye, const Vec3& target, Vec3 up) {
    ViewBasis b;
    b.origin = eye;
    b.forward = Unit3(Sub3(target, eye), kZ);
    if (std::fabs(Dot3(Unit3(up, kZ), b.forward)) > 0.999) up = std::fabs(b.forward[2]) < 0.9 ? kZ : Vec3{0, 1, 0};
    b.right = Unit3(Cross3(b.forward, up), kZ);
    b.up = Cross3(b.right, b.forward);
    return b;
}

ViewProjection::ViewProjection(const ViewCamera& camera, int32_t width, int32_t height)
    : basis_(LookingAt(camera.eye, camera.target, camera.up)),
      focal_((width * 0.5) / std::tan(camera.fov * 0.5 * kPi / 180.0)), cx_(width * 0.5), cy_(height * 0.5) {}

std::optional<ScreenPoint> ViewProjection::Project(const Vec3& world) const {
    Vec3 v = ToView(world);
    if (v[2] < kNear) return std::nullopt;
    return ScreenPoint{cx_ + focal_ * v[0] / v[2], cy_ - focal_ * v[1] / v[2], v[2]};
}

void ViewProjection::Ray(double x, double y, Vec3& origin, Vec3& direction) const {
    origin = basis_.origin;
    Vec3 d = Add3(basis_.forward,
                  Add3(Scale3(basis_.right, (x - cx_) / focal_), Scale3(basis_.up, (cy_ - y) / focal_)));
    // Without a width there is no focal length; the broken direction is not made into a real one.
    direction = Unit3(d, d);
}
