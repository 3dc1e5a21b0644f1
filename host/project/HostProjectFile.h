#pragma once
// The host project file (.qvp): JSON with layers, materials, pens, elements, cameras, camera
// paths, view and windows. Texts in the file are UTF-8; the model holds them in the 8-bit code page.
#include "host/model/HostModel.h"

#include <memory>
#include <string>

struct ProjectLoadResult {
    std::unique_ptr<HostModel> model; // null on failure
    std::string error;                // "FILE: PLACE: what is wrong"
};

// Reads a whole project; nothing is returned half-loaded.
ProjectLoadResult LoadHostProject(const std::string& path);
ProjectLoadResult ParseHostProject(const std::string& text, const std::string& nameForErrors);
// Writes atomically (temporary file, then rename); false with `error` when it could not.
bool SaveHostProject(const HostModel& model, const std::string& path, std::string& error);
std::string SerializeHostProject(const HostModel& model);

// Fills the pen table up to 255 pens with the host's default pens.
void EnsureDefaultPens(HostModel& model);
