#pragma once
// Where the renderer puts a world point on the screen, and the line of sight through a pixel:
// the same basis and focal length as the host's software renderer.
#include "host/render/ViewCamera.h"

#include <optional>

struct ScreenPoint {
    double x = 0, y = 0, depth = 0;
};

class ViewProjection {
public:
    ViewProjection(const ViewCamera& camera, int width, int height);
    // None behind the near plane.
    std::optional<ScreenPoint> Project(const Vec3& world) const;
    // The ray from the eye through a pixel position: origin and unit direction.
    void Ray(double x, double y, Vec3& origin, Vec3& direction) const;
    const Vec3& Eye() const { return origin_; }
    const Vec3& Right() const { return right_; }
    const Vec3& Up() const { return up_; }
    const Vec3& Forward() const { return forward_; }

private:
    Vec3 origin_, right_, up_, forward_;
    double focal_, cx_, cy_;
};

Vec3 Sub3(const Vec3& a, const Vec3& b);
Vec3 Add3(const Vec3& a, const Vec3& b);
Vec3 Scale3(const Vec3& a, double k);
double Dot3(const Vec3& a, const Vec3& b);
Vec3 Cross3(const Vec3& a, const Vec3& b);
Vec3 Unit3(const Vec3& a);
