#include "host/model/ViewRecords.h"

#include <cmath>

bool UsableCamera(const ViewCamera& c) {
    auto finite = [](const Vec3& v) { return std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]); };
    double dx = c.eye[0] - c.target[0], dy = c.eye[1] - c.target[1], dz = c.eye[2] - c.target[2];
    return finite(c.eye) && finite(c.target) && finite(c.up) && std::sqrt(dx * dx + dy * dy + dz * dz) > 1e-6 &&
           std::isfinite(c.fov) && c.fov >= 1 && c.fov <= 170;
}
