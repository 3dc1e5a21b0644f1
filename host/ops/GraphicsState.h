#pragma once
// What the host keeps for its renderer and library between operations, beside the model.
#include "host/libparts/LibPartRegistry.h"
#include "host/model/ViewRecords.h"
#include "host/render/SceneKeeper.h"

#include <optional>

class HostCore;

struct HostGraphicsState {
    LibPartRegistry parts;
    ElementDefaults defaults;
    // While frames are captured ("SECF" on), camera moves do not become the project's view.
    bool capturing = false;
    std::optional<HostView> viewBeforeCapture;
    // The window pictures' scene, kept between captures: a movie or a scrub redraws the same
    // bodies with other elements shown.
    SceneKeeper scene;
};

HostGraphicsState& GraphicsOf(HostCore& host);
