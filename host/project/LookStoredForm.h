#pragma once
// The project file's form of a look an add-on laid over an element:
// {"color": [R, G, B], "transparency": T, "clip": "+z", "drawn": D}, each key only when it says
// something (a colour, a clip).
#include "host/model/LookOverride.h"

#include <nlohmann/json.hpp>

#include <stdexcept>
#include <string>

// A look the file holds in a form no look has, with the JSON place it is at.
struct ELookForm : std::runtime_error {
    ELookForm(const std::string& place, const std::string& what) : std::runtime_error(place + ": " + what) {}
};

nlohmann::json WriteLook(const LookOverride& look);
// Throws ELookForm at `place` for a value out of range or of the wrong kind.
LookOverride ReadLook(const nlohmann::json& look, const std::string& place);
