#pragma once
// One building model of a project that holds several (an architect's, an engineer's, ...): its
// name, the file it was last read from, how its layers are made and how many revisions it took.
#include <cstdint>
#include <string>

struct IfcModelSource {
    std::string name; // UTF-8, unique in the project; its elements' "model" fact
    std::string path; // the file it was added or last revised from
    bool layersByStorey = false;
    uint32_t revisions = 0;
    bool operator==(const IfcModelSource&) const = default;
};
