#pragma once
// What the host does with the 3D view's camera: its stored forms in the operations (the
// 224-byte camera position and the 328-byte projection record), camera elements, fitting and
// moving along a path.
#include "host/model/Element.h"
#include "host/model/ViewRecords.h"

#include <cstdint>
#include <optional>
#include <span>


void WriteCameraPosition(const ViewCamera& camera, std::span<uint8_t> position /* 224 bytes */);
// None when a number is not finite, the eye sits on the target or the angle is out of range.
std::optional<ViewCamera> ReadCameraPosition(std::span<const uint8_t> position, const ViewCamera& base);

void WriteProjection(const ViewCamera& camera, std::span<uint8_t> record /* 328 bytes */);

// `camera`, seen in a window of `fromAspect` (width over height), widened for a picture of
// `toAspect` so that everything the window showed is still shown: a wider picture widens the
// angle, a narrower one shows more above and below.
ViewCamera FitCameraToAspect(const ViewCamera& camera, double fromAspect, double toAspect);

// A camera element's position; none when it has no usable place.
std::optional<ViewCamera> CameraOfElement(const CameraPlace& place, const ViewCamera& base);
// `base` moved to look at the middle of the points' bounds from the side it looks from, near
// enough that every point shows in a window of `aspect` (width over height) or any wider one.
// Points without extent (or with broken numbers) leave `base` as it is.
ViewCamera FitCameraToPoints(const ViewCamera& base, std::span<const Vec3> points, double aspect);
// The same for the points of several sets together, in their order (a model's bodies).
ViewCamera FitCameraToPointSets(const ViewCamera& base, std::span<const std::span<const Vec3>> sets, double aspect);
// The camera `t` (0 to 1) of the way from `a` to `b`.
ViewCamera Between(const ViewCamera& a, const ViewCamera& b, double t);
