#pragma once
// Reads an IFC file (IFC2X3 or IFC4, STEP text) into the host's plain building data: one entry
// per product with body geometry, meshes in metres in world coordinates, in file order. Whatever
// fails inside the IFC library becomes a skipped product with its reason or an EIfcFile.
// The library parses and converts in a child process (ChildProcess.h): its faults and its prints
// stay there.
#include "host/ifc/IfcBuildingData.h"

#include <string>
#include <string_view>

// EIfcFile's message begins with the path, like the host's other file errors.
IfcBuildingData ReadIfcFile(const std::string& path);
IfcBuildingData ReadIfcText(std::string_view stepText);
