#pragma once
// A product's single values: every IfcPropertySingleValue of its property sets and every simple
// quantity of its element quantities, keyed "SET.NAME" ("Pset_WallCommon.IsExternal",
// "Qto_WallBaseQuantities.Length"). Its type's sets count too, below its own: a value the
// occurrence gives wins over the type's.
#include <ifcpp/model/BasicTypes.h>

#include <string>
#include <utility>
#include <vector>

class BuildingObject;
class IfcProduct;

// By key, in byte order; values as ValueText gives them. A property without a value is not one.
std::vector<std::pair<std::string, std::string>> SingleValuesOf(const IfcProduct& product);

// A value as a planner reads it (UTF-8): texts as they are, TRUE, FALSE and UNKNOWN, numbers in
// the fewest digits that give the same number back ("2.8", "5000", "1e-07"), in the file's units.
std::string ValueText(const BuildingObject& value);
