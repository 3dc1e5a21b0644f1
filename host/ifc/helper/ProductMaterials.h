#pragma once
// The IFC materials a product is made of: those associated with it, else with its type; a layer
// set gives every layer's material in order, a profile set every profile's, a constituent set and
// a material list each of theirs.
#include "host/ifc/helper/ProductFacts.h"

#include <optional>
#include <string>
#include <vector>

class IfcProduct;

// The materials' names (UTF-8), each once, in the order the file gives them.
std::vector<std::string> MaterialNamesOf(const IfcProduct& product);
// The surface colour the first of the product's materials is drawn with, for a product whose
// body has none of its own.
std::optional<SurfaceColour> MaterialColourOf(const IfcProduct& product);
