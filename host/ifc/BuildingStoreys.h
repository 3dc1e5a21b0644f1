#pragma once
// The building storeys of a file from the lowest up: by elevation, those of one elevation in file
// order, those without one last. Named as StoreyName names them; a name is given once.
#include <string>
#include <vector>

class BuildingModel;

// `fileOrder`: the file's record numbers in the order the file has them.
std::vector<std::string> BuildingStoreysOf(const BuildingModel& model, const std::vector<int>& fileOrder);
