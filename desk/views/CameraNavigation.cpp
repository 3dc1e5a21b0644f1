#include "desk/views/CameraNavigation.h"

#include "host/render/ViewProjection.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr double kMaxPitch = 85;
} // namespace

ViewCamera Orbit(const ViewCamera& camera, double yawDegrees, double pitchDegrees) {
    Vec3 d = Sub3(camera.eye, camera.target);
    double r = std::sqrt(Dot3(d, d));
    if (!(r > 0)) return camera;
    double yaw = std::atan2(d[1], d[0]) + yawDegrees * kPi / 180.0;
    double pitch = std::asin(std::clamp(d[2] / r, -1.0, 1.0)) * 180.0 / kPi + pitchDegrees;
    pitch = std::clamp(pitch, -kMaxPitch, kMaxPitch) * kPi / 180.0;
    ViewCamera out = camera;
    out.eye = {camera.target[0] + r * std::cos(pitch) * std::cos(yaw), camera.target[1] + r * std::cos(pitch) * std::sin(yaw),
               camera.target[2] + r * std::sin(pitch)};
    out.up = {0, 0, 1};
    return out;
}

ViewCamera Pan(const ViewCamera& camera, double right, double up) {
    ViewProjection p(camera, 2, 2);
    Vec3 d = Sub3(camera.eye, camera.target);
    double r = std::sqrt(Dot3(d, d));
    Vec3 shift = Add3(Scale3(p.Right(), right * r), Scale3(p.Up(), up * r));
    ViewCamera out = camera;
    out.eye = Add3(camera.eye, shift);
    out.target = Add3(camera.target, shift);
    return out;
}

ViewCamera Zoom(const ViewCamera& camera, double factor) {
    Vec3 d = Sub3(camera.eye, camera.target);
    double r = std::sqrt(Dot3(d, d));
    double k = std::clamp(factor, 0.05, 20.0);
    if (r * k < 0.5) k = 0.5 / r;
    ViewCamera out = camera;
    out.eye = Add3(camera.target, Scale3(d, k));
    return out;
}
