#pragma once
// A product's single values: every IfcPropertySingleValue of its property sets and every simple
// quantity of its element quantities, keyed "SET.NAME" ("Pset_WallCommon.IsExternal",
// "Qto_WallBaseQuantities.Length"). Its type's sets count too, below its own: a value the
// occurrence gives wins over the type's.
#include <ifcpp/model/BasicTypes.h>

#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

class BuildingObject;
class IfcProduct;
class IfcPropertySetDefinition;

// By key, in byte order; values as ValueText gives them. A property without a value is not one.
class SingleValueReader {
public:
    using Values = std::vector<std::pair<std::string, std::string>>;
    Values Of(const IfcProduct& product);

private:
    // A set that other objects share (a type's, one related to many), read once: its keys and
    // values in its order of properties, the same key perhaps more than once.
    const Values& SharedSetValues(const IfcPropertySetDefinition* definition);

    std::unordered_map<const IfcPropertySetDefinition*, Values> sharedSets_;
    // For the product at hand, kept for their room.
    std::vector<std::pair<const IfcPropertySetDefinition*, bool>> sets_; // with whether shared
    Values own_;
    std::vector<size_t> ownEnds_; // in own_, after each of sets_
    std::vector<const std::pair<std::string, std::string>*> gathered_;
};

// A value as a planner reads it (UTF-8): texts as they are, TRUE, FALSE and UNKNOWN, numbers in
// the fewest digits that give the same number back ("2.8", "5000", "1e-07"), in the file's units.
std::string ValueText(const BuildingObject& value);
