#pragma once
// Hand-made reader output: products with box bodies, as the IFC reader hands them over.
#include "host/ifc/building/IfcBuildingData.h"
#include "host/ifc/building/IfcModelBuilder.h"

#include <string>

namespace ifctest {

// A GlobalId's 128 bits from a small number, so tests can name products by number.
inline API_Guid GuidOf(int n) {
    API_Guid g;
    g.bytes[0] = 0x1F;
    g.bytes[14] = static_cast<uint8_t>(n >> 8);
    g.bytes[15] = static_cast<uint8_t>(n);
    return g;
}

inline IfcProductData Box(int n, std::string ifcClass, std::string name, std::array<double, 3> lo,
                          std::array<double, 3> hi) {
    IfcProductData p;
    p.guid = GuidOf(n);
    p.globalId = "0" + std::to_string(n);
    p.ifcClass = std::move(ifcClass);
    p.name = std::move(name);
    for (int i = 0; i < 8; ++i) p.vertices.push_back({i & 1 ? hi[0] : lo[0], i & 2 ? hi[1] : lo[1], i & 4 ? hi[2] : lo[2]});
    p.triangles = {{0, 2, 1}, {1, 2, 3}, {4, 5, 6}, {5, 7, 6}, {0, 1, 4}, {1, 5, 4},
                   {2, 6, 3}, {3, 6, 7}, {0, 4, 2}, {2, 4, 6}, {1, 3, 5}, {3, 7, 5}};
    return p;
}

// Model options that give every kind one name, so what a test reads does not hang on the host's.
inline IfcModelOptions EveryKindNamed(std::string name) {
    IfcModelOptions o;
    o.kindName = [name = std::move(name)](int32_t) { return name; };
    return o;
}

} // namespace ifctest
