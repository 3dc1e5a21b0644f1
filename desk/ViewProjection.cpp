#include "desk/ViewProjection.h"

#include <cmath>

Vec3 Sub3(const Vec3& a, const Vec3& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
Vec3 Add3(const Vec3& a, const Vec3& b) { return {a[0] + b[0], a[1] + b[1], a[2] + b[2]}; }
Vec3 Scale3(const Vec3& a, double k) { return {a[0] * k, a[1] * k, a[2] * k}; }
double Dot3(const Vec3& a, const Vec3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
Vec3 Cross3(const Vec3& a, const Vec3& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
Vec3 Unit3(const Vec3& a) {
    double n = std::sqrt(Dot3(a, a));
    return n > 0 ? Scale3(a, 1.0 / n) : a;
}

namespace {
constexpr double kNear = 0.05;
constexpr double kPi = 3.14159265358979323846;
} // namespace

ViewProjection::ViewProjection(const ViewCamera& camera, int width, int height) : origin_(camera.eye) {
    forward_ = Unit3(Sub3(camera.target, camera.eye));
    Vec3 up = camera.up;
    if (std::fabs(Dot3(Unit3(up), forward_)) > 0.999) up = std::fabs(forward_[2]) < 0.9 ? Vec3{0, 0, 1} : Vec3{0, 1, 0};
    right_ = Unit3(Cross3(forward_, up));
    up_ = Cross3(right_, forward_);
    focal_ = (width * 0.5) / std::tan(camera.fov * 0.5 * kPi / 180.0);
    cx_ = width * 0.5;
    cy_ = height * 0.5;
}

std::optional<ScreenPoint> ViewProjection::Project(const Vec3& world) const {
    Vec3 d = Sub3(world, origin_);
    double z = Dot3(d, forward_);
    if (z < kNear) return std::nullopt;
    return ScreenPoint{cx_ + focal_ * Dot3(d, right_) / z, cy_ - focal_ * Dot3(d, up_) / z, z};
}

void ViewProjection::Ray(double x, double y, Vec3& origin, Vec3& direction) const {
    origin = origin_;
    direction = Unit3(Add3(forward_, Add3(Scale3(right_, (x - cx_) / focal_), Scale3(up_, (cy_ - y) / focal_))));
}
