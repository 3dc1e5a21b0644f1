#pragma once
// What the host keeps for its renderer and library between operations, beside the model.
#include "host/libparts/LibPartRegistry.h"

#include <nlohmann/json.hpp>

#include <optional>

class Host;

struct HostGraphicsState {
    LibPartRegistry parts;
    ElementDefaults defaults;
    // While frames are captured ("SECF" on), camera moves do not become the project's view.
    bool capturing = false;
    std::optional<nlohmann::json> viewBeforeCapture;
};

HostGraphicsState& GraphicsOf(Host& host);
