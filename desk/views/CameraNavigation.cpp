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

ViewCamera FitToView(const ViewCamera& camera, std::span<const Vec3> points, int32_t width, int32_t height) {
    width = std::max(1, width), height = std::max(1, height);
    ViewCamera fitted = FitCameraToPoints(camera, points, static_cast<double>(width) / height);
    if (points.empty()) return fitted;
    // The host's fit is safe for any shape but leaves much room seen along a diagonal: the eye
    // moves along its line to where the points just stay inside the margin, and the view slides
    // sideways until the points' picture sits in its middle; a few rounds settle both.
    const double margin = 0.04 * std::min(width, height);
    struct Extent {
        bool all = true;
        double left = 1e300, right = -1e300, top = 1e300, bottom = -1e300;
    };
    auto extent = [&](const ViewCamera& c) {
        ViewProjection p(c, width, height);
        Extent e;
        for (const Vec3& point : points) {
            auto s = p.Project(point);
            if (!s) {
                e.all = false;
                continue;
            }
            e.left = std::min(e.left, s->x), e.right = std::max(e.right, s->x);
            e.top = std::min(e.top, s->y), e.bottom = std::max(e.bottom, s->y);
        }
        return e;
    };
    auto inside = [&](const ViewCamera& c) {
        Extent e = extent(c);
        return e.all && e.left >= margin && e.right <= width - margin && e.top >= margin && e.bottom <= height - margin;
    };
    for (int round = 0; round < 4; ++round) {
        Vec3 back = Sub3(fitted.eye, fitted.target);
        auto at = [&](double k) {
            ViewCamera c = fitted;
            c.eye = Add3(fitted.target, Scale3(back, k));
            return c;
        };
        double lo = 0.05, hi = 1;
        while (!inside(at(hi))) {
            if (hi > 16) return fitted; // a point the view cannot take in (behind the eye, broken)
            lo = hi;
            hi *= 2;
        }
        for (int i = 0; i < 30; ++i) {
            double mid = (lo + hi) / 2;
            (inside(at(mid)) ? hi : lo) = mid;
        }
        fitted = at(hi);
        Extent e = extent(fitted);
        ViewProjection p(fitted, width, height);
        double perPixel = std::sqrt(Dot3(Sub3(fitted.eye, fitted.target), Sub3(fitted.eye, fitted.target))) / p.Focal();
        Vec3 slide = Add3(Scale3(p.Right(), ((e.left + e.right) / 2 - width / 2.0) * perPixel),
                          Scale3(p.Up(), (height / 2.0 - (e.top + e.bottom) / 2) * perPixel));
        fitted.eye = Add3(fitted.eye, slide);
        fitted.target = Add3(fitted.target, slide);
    }
    // The last slide may have taken a point past the margin: the eye steps back until it is in.
    for (int i = 0; i < 20 && !inside(fitted); ++i)
        fitted.eye = Add3(fitted.target, Scale3(Sub3(fitted.eye, fitted.target), 1.02));
    return fitted;
}

ViewCamera LookFrom(const ViewCamera& camera, StandardView side) {
    Vec3 d = Sub3(camera.eye, camera.target);
    double r = std::sqrt(Dot3(d, d));
    if (!(r > 0)) return camera;
    Vec3 direction{0, -1, 0};
    Vec3 up{0, 0, 1};
    switch (side) {
    case StandardView::Top:
        // A breath south of straight above: orbiting away from it starts from the south.
        direction = {0, -1e-4, 1};
        up = {0, 1, 0};
        break;
    case StandardView::Front: direction = {0, -1, 0}; break;
    case StandardView::Back: direction = {0, 1, 0}; break;
    case StandardView::Left: direction = {-1, 0, 0}; break;
    case StandardView::Right: direction = {1, 0, 0}; break;
    case StandardView::Isometric: direction = {-1, -1, 1}; break;
    }
    ViewCamera out = camera;
    out.eye = Add3(camera.target, Scale3(Unit3(direction, direction), r));
    out.up = up;
    return out;
}

bool IsParallel(const ViewCamera& camera) { return camera.fov <= kParallelViewAngle + 0.5; }

ViewCamera WithViewAngle(const ViewCamera& camera, double degrees) {
    Vec3 d = Sub3(camera.eye, camera.target);
    double k = std::tan(camera.fov * kPi / 360) / std::tan(degrees * kPi / 360);
    if (!std::isfinite(k) || !(k > 0)) return camera;
    ViewCamera out = camera;
    out.fov = degrees;
    out.eye = Add3(camera.target, Scale3(d, k));
    return out;
}
