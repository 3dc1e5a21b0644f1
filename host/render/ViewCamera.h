#pragma once
// The 3D view's camera as the host keeps it in the project's "view" object, and its stored
// forms: the 224-byte camera position and the 328-byte projection record.
#include "host/model/Vector3.h"

#include <nlohmann/json.hpp>

#include <array>
#include <cstdint>
#include <optional>
#include <span>

struct ViewCamera {
    Vec3 eye{-14, -18, 10};
    Vec3 target{6, 4, 2.5};
    Vec3 up{0, 0, 1};
    double fov = 45;          // horizontal, degrees
    double sunAzimuth = 135;  // degrees from north, clockwise
    double sunAltitude = 40;  // degrees above the horizon
};

// The project's view, with defaults for whatever it lacks or holds out of range.
ViewCamera CameraFromView(const nlohmann::json& view);
// Writes the camera into the view object, keeping its other keys.
void CameraToView(const ViewCamera& camera, nlohmann::json& view);

void WriteCameraPosition(const ViewCamera& camera, std::span<uint8_t> position /* 224 bytes */);
// None when a number is not finite, the eye sits on the target or the angle is out of range.
std::optional<ViewCamera> ReadCameraPosition(std::span<const uint8_t> position, const ViewCamera& base);

void WriteProjection(const ViewCamera& camera, std::span<uint8_t> record /* 328 bytes */);

// A camera element's position (kind 26 keeps "eye" and "target" beside its record).
std::optional<ViewCamera> CameraOfElement(const nlohmann::json& elementKeys, const ViewCamera& base);
// `base` moved to look at the middle of the points' bounds from the side it looks from, near
// enough that every point shows in a window of `aspect` (width over height) or any wider one.
// Points without extent (or with broken numbers) leave `base` as it is.
ViewCamera FitCameraToPoints(const ViewCamera& base, std::span<const Vec3> points, double aspect);
// The camera `t` (0 to 1) of the way from `a` to `b`.
ViewCamera Between(const ViewCamera& a, const ViewCamera& b, double t);
