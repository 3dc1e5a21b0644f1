#include "host/render/ViewCamera.h"

#include "bytes/LittleEndian.h"
#include "hostapi/HostProjectionRecord.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

double GetD(std::span<const uint8_t> bytes, size_t offset) {
    uint64_t bits = LE::Get<uint64_t>(bytes, offset);
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

void PutD(std::span<uint8_t> bytes, size_t offset, double d) {
    uint64_t bits;
    std::memcpy(&bits, &d, sizeof bits);
    LE::Put<uint64_t>(bytes, offset, bits);
}

bool Finite(const Vec3& v) { return std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]); }

double Distance(const Vec3& a, const Vec3& b) {
    return std::sqrt((a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]) + (a[2] - b[2]) * (a[2] - b[2]));
}

} // namespace

void WriteCameraPosition(const ViewCamera& camera, std::span<uint8_t> position) {
    if (position.size() < HostCameraPosition::kSize) return;
    for (size_t i = 0; i < 3; ++i) {
        PutD(position, HostCameraPosition::kEye + 8 * i, camera.eye[i]);
        PutD(position, HostCameraPosition::kTarget + 8 * i, camera.target[i]);
        PutD(position, HostCameraPosition::kUp + 8 * i, camera.up[i]);
    }
    PutD(position, HostCameraPosition::kFov, camera.fov);
}

std::optional<ViewCamera> ReadCameraPosition(std::span<const uint8_t> position, const ViewCamera& base) {
    if (position.size() < HostCameraPosition::kSize) return std::nullopt;
    ViewCamera c = base;
    for (size_t i = 0; i < 3; ++i) {
        c.eye[i] = GetD(position, HostCameraPosition::kEye + 8 * i);
        c.target[i] = GetD(position, HostCameraPosition::kTarget + 8 * i);
        c.up[i] = GetD(position, HostCameraPosition::kUp + 8 * i);
    }
    if (c.up == Vec3{0, 0, 0}) c.up = {0, 0, 1};
    c.fov = GetD(position, HostCameraPosition::kFov);
    if (c.fov == 0) c.fov = base.fov;
    if (!UsableCamera(c)) return std::nullopt;
    return c;
}

void WriteProjection(const ViewCamera& camera, std::span<uint8_t> record) {
    if (record.size() < HostProjection::kSize) return;
    std::memset(record.data(), 0, HostProjection::kSize);
    record[HostProjection::kPerspective] = 1;
    WriteCameraPosition(camera, record.subspan(HostProjection::kCamera, HostCameraPosition::kSize));
    PutD(record, HostProjection::kSunAzimuth, camera.sunAzimuth);
    PutD(record, HostProjection::kSunAltitude, camera.sunAltitude);
}

std::optional<ViewCamera> CameraOfElement(const CameraPlace& place, const ViewCamera& base) {
    if (!place.eye || !place.target || !Finite(*place.eye) || !Finite(*place.target)) return std::nullopt;
    ViewCamera c = base;
    c.eye = *place.eye;
    c.target = *place.target;
    c.up = {0, 0, 1};
    if (place.fov && std::isfinite(*place.fov)) c.fov = *place.fov;
    if (!UsableCamera(c)) return std::nullopt;
    return c;
}

ViewCamera FitCameraToPoints(const ViewCamera& base, std::span<const Vec3> points, double aspect) {
    const std::span<const Vec3> one[] = {points};
    return FitCameraToPointSets(base, one, aspect);
}

ViewCamera FitCameraToPointSets(const ViewCamera& base, std::span<const std::span<const Vec3>> sets, double aspect) {
    Vec3 min{}, max{};
    bool first = true;
    for (std::span<const Vec3> points : sets)
        for (const Vec3& p : points) {
            if (!Finite(p)) return base;
            if (first) min = max = p;
            first = false;
            for (size_t i = 0; i < 3; ++i) {
                min[i] = std::min(min[i], p[i]);
                max[i] = std::max(max[i], p[i]);
            }
        }
    if (!UsableCamera(base) || !(Distance(min, max) > 1e-6)) return base;
    // Divides where Unit3 multiplies by the reciprocal: a fitted camera is stored in the project,
    // and the same model keeps giving the same numbers.
    auto unit = [](Vec3 v) {
        double n = std::sqrt(Dot3(v, v));
        return n > 1e-12 ? Vec3{v[0] / n, v[1] / n, v[2] / n} : Vec3{0, 0, 0};
    };
    Vec3 centre{}, back{};
    for (size_t i = 0; i < 3; ++i) {
        centre[i] = (min[i] + max[i]) / 2;
        back[i] = base.eye[i] - base.target[i];
    }
    back = unit(back);
    Vec3 right = unit(Cross3(Vec3{-back[0], -back[1], -back[2]}, base.up));
    if (right == Vec3{0, 0, 0}) return base; // looking along the up direction
    Vec3 up = Cross3(right, Vec3{-back[0], -back[1], -back[2]});
    constexpr double kPi = 3.14159265358979323846;
    // The view angle is horizontal; a wider window sees less upwards.
    double tanWide = std::tan(base.fov * kPi / 360);
    double tanHigh = tanWide / std::max(aspect, 1e-3);
    // Far enough back that every point is inside the view, with a small margin.
    double distance = 0;
    for (std::span<const Vec3> points : sets)
        for (const Vec3& p : points) {
            Vec3 d = Sub3(p, centre);
            double towardsEye = Dot3(d, back);
            distance = std::max({distance, towardsEye + std::abs(Dot3(d, right)) * 1.08 / tanWide,
                                 towardsEye + std::abs(Dot3(d, up)) * 1.08 / tanHigh});
        }
    ViewCamera c = base;
    for (size_t i = 0; i < 3; ++i) {
        c.target[i] = centre[i];
        c.eye[i] = centre[i] + back[i] * distance;
    }
    return c;
}

ViewCamera Between(const ViewCamera& a, const ViewCamera& b, double t) {
    ViewCamera c = a;
    for (size_t i = 0; i < 3; ++i) {
        c.eye[i] = a.eye[i] + (b.eye[i] - a.eye[i]) * t;
        c.target[i] = a.target[i] + (b.target[i] - a.target[i]) * t;
    }
    c.fov = a.fov + (b.fov - a.fov) * t;
    // Two cameras may look at each other's eye; keep the target off the eye.
    if (Distance(c.eye, c.target) < 1e-6) c.target = t < 0.5 ? a.target : b.target;
    return c;
}

ViewCamera FitCameraToAspect(const ViewCamera& camera, double fromAspect, double toAspect) {
    constexpr double kPi = 3.14159265358979323846;
    ViewCamera c = camera;
    if (!(fromAspect > 0) || !(toAspect > fromAspect) || !std::isfinite(toAspect)) return c;
    double tanHalf = std::tan(camera.fov * kPi / 360) * (toAspect / fromAspect);
    double fov = std::atan(tanHalf) * 360 / kPi;
    if (std::isfinite(fov) && fov > 0 && fov < 180) c.fov = fov;
    return c;
}
