#pragma once
// Moving the 3D view's camera as a user does with mouse, keys and the View menu: orbit around
// the target, pan in the view plane, zoom toward the target, look from a standard side, switch
// between perspective and parallel projection.
#include "host/render/ViewCamera.h"

#include <cstdint>
#include <span>

// Degrees to the left (yaw, about the vertical) and up (pitch); the pitch stays short of the poles.
ViewCamera Orbit(const ViewCamera& camera, double yawDegrees, double pitchDegrees);
// Moves eye and target by fractions of the distance between them, right and up on the screen.
ViewCamera Pan(const ViewCamera& camera, double right, double up);
// factor < 1 comes nearer; the eye never reaches the target.
ViewCamera Zoom(const ViewCamera& camera, double factor);

// Looks, from where the camera looks, at the middle of the points, just near enough that they
// fill a view of this size with a small margin.
ViewCamera FitToView(const ViewCamera& camera, std::span<const Vec3> points, int32_t width, int32_t height);

enum class StandardView { Top, Front, Back, Left, Right, Isometric };
// Looks at the target from that side at the same distance: the front from the south (-y), the
// left from the west (-x), the top with north up, the isometric view from the south-west.
ViewCamera LookFrom(const ViewCamera& camera, StandardView side);

// Parallel projection is a long lens far away: lines stay parallel to a pixel, and the renderer,
// the picking and a movie need nothing else.
inline constexpr double kParallelViewAngle = 4;
inline constexpr double kPerspectiveViewAngle = 45;
bool IsParallel(const ViewCamera& camera);
// The view angle changed, the eye moved along the line of sight so the target's surroundings
// keep their size on the screen.
ViewCamera WithViewAngle(const ViewCamera& camera, double degrees);
