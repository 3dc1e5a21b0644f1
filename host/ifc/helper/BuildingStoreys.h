#pragma once
// The building storeys of a file from the lowest up: by elevation, those of one elevation in file
// order, those without one last. Named as StoreyName names them; a name is given once.
#include <string>
#include <vector>

class BuildingEntity;

// `inFileOrder`: the library's entities in the order the file has them (nulls are passed over).
std::vector<std::string> BuildingStoreysOf(const std::vector<BuildingEntity*>& inFileOrder);
