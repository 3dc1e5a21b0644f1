#pragma once
// An IFC2X3 model of many plain walls for measuring IFC opens: lengths in millimetres, every
// wall an extruded rectangle with its own placement in its storey, the storeys stacked 3 m apart
// in one building on one site, every body on one presentation layer.
#include <string>

struct IfcWallsLayout {
    int walls = 10000;
    int storeys = 5;
};

// The STEP text. Wall k is named "Wall k", has the GlobalId EncodeIfcGlobalId of the bytes
// 0x42 0x56 0 ... 0 k (big-endian in the last four bytes), and stands in storey k % storeys,
// named "Storey s"; every other wall runs north instead of east.
std::string GenerateIfcWalls(const IfcWallsLayout& layout);
