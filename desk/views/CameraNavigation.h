#pragma once
// Moving the 3D view's camera as a user does with mouse and keys: orbit around the target,
// pan in the view plane, zoom toward the target.
#include "host/render/ViewCamera.h"

// Degrees to the left (yaw, about the vertical) and up (pitch); the pitch stays short of the poles.
ViewCamera Orbit(const ViewCamera& camera, double yawDegrees, double pitchDegrees);
// Moves eye and target by fractions of the distance between them, right and up on the screen.
ViewCamera Pan(const ViewCamera& camera, double right, double up);
// factor < 1 comes nearer; the eye never reaches the target.
ViewCamera Zoom(const ViewCamera& camera, double factor);
