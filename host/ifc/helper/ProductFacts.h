#pragma once
// What a product's own entities say about it beyond its shape: which representations are its
// body, its texts, its type, its predefined type, its layer, its storey and its surface colour.
#include <ifcpp/model/BasicTypes.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

class BuildingEntity;
class IfcBuildingStorey;
class IfcObject;
class IfcProduct;
class IfcRepresentation;
class IfcStyledItem;
class IfcTypeObject;

// "Body" representations when there are any; otherwise every one that is not an axis, a
// footprint, a bounding box or another stand-in beside the body.
std::vector<shared_ptr<IfcRepresentation>> BodyRepresentations(const IfcProduct& product);

// IFC's own entity name with IFC's capitals, e.g. "IfcWallStandardCase".
std::string IfcClassOf(const BuildingEntity& entity);
// Upper case as in the file, e.g. "ROOF"; empty when the class has none or the file gives none.
std::string PredefinedTypeOf(const BuildingEntity& entity);
std::string NameOf(const IfcProduct& product);
std::string TagOf(const IfcProduct& product);
std::string GlobalIdOf(const IfcProduct& product);
std::string DescriptionOf(const IfcProduct& product);
std::string ObjectTypeOf(const IfcProduct& product);
// The type object the product is an occurrence of; null when none.
shared_ptr<IfcTypeObject> TypeObjectOf(const IfcObject& object);

// The name of the first presentation layer the body representations or their items are on.
std::string LayerOf(const std::vector<shared_ptr<IfcRepresentation>>& bodies);
// The building storey's name (its long name when it has no name), through containment in a spatial structure or, for a part, that
// of the whole it belongs to; empty when none.
std::string StoreyOf(const IfcProduct& product);
std::string StoreyName(const IfcBuildingStorey& storey);

struct SurfaceColour {
    std::array<double, 3> rgb{};
    double transparency = 0.0;
};
// The colour of the first surface style on the body's items, looked for through mapped items
// and Boolean operands.
std::optional<SurfaceColour> ColourOf(const std::vector<shared_ptr<IfcRepresentation>>& bodies);
// The colour of the item's first surface style.
std::optional<SurfaceColour> ColourOfStyledItem(const IfcStyledItem& styled);
