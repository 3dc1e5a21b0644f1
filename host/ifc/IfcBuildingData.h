#pragma once
// What the host takes from an IFC file, free of the IFC library's types: one entry per
// product with body geometry, already in world coordinates and metres. The reader fills it;
// the model builder and the revision update read it.
#include "hostapi/HostGuid.h"

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

struct IfcProductData {
    API_Guid guid;                 // the 128 bits of the GlobalId
    std::string globalId;          // the 22-character text, as in the file
    std::string ifcClass;          // the entity name as IFC writes it, e.g. "IfcWallStandardCase"
    std::string predefinedType;    // upper case, e.g. "ROOF"; empty when the file gives none
    std::string name;              // UTF-8, encoded characters decoded; empty when none
    std::string tag;               // UTF-8
    std::string layer;             // presentation layer name (UTF-8), empty when none
    std::string storey;            // the containing building storey's name (UTF-8), empty when none
    bool hasColour = false;
    std::array<double, 3> rgb{};   // 0..1, from the surface style
    double transparency = 0.0;     // 0 opaque .. 1 clear
    std::vector<std::array<double, 3>> vertices;   // metres, every placement applied
    std::vector<std::array<int32_t, 3>> triangles; // indexes into vertices
};

// A product the reader could not turn into an element, and why (for the transcript).
struct IfcSkippedProduct {
    std::string globalId;
    std::string ifcClass;
    std::string reason;
};

struct IfcBuildingData {
    std::string schema;            // "IFC2X3" or "IFC4"
    std::vector<IfcProductData> products; // in file order
    std::vector<IfcSkippedProduct> skipped;
};

// A file the reader cannot use at all: not IFC, truncated, an unknown schema, no products.
class EIfcFile : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
