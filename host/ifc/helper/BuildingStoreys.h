#pragma once
// The building storeys of a file from the lowest up: by elevation, those of one elevation in file
// order, those without one last. Named as StoreyName names them; a name is given once.
#include <optional>
#include <string>
#include <vector>

class BuildingEntity;

// `inFileOrder`: the library's entities in the order the file has them (nulls are passed over).
std::vector<std::string> BuildingStoreysOf(const std::vector<BuildingEntity*>& inFileOrder);

struct StoreyLevel {
    std::string name; // not empty
    std::optional<double> elevation;
};
// The names of `storeys`, given in file order, from the lowest up.
std::vector<std::string> StoreysFromTheLowest(std::vector<StoreyLevel> storeys);
