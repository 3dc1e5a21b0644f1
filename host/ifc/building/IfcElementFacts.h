#pragma once
// The facts an element made from an IFC product keeps, in the order they are shown: class, type,
// name, tag, description, globalid, storey, one material each, one classification each, then
// the single-value properties and quantities by key ("Pset_WallCommon.IsExternal"). A fact the
// file does not give is not there. The type is the predefined type, or the object type where
// the predefined one is missing, NOTDEFINED or USERDEFINED.
#include "host/ifc/building/IfcBuildingData.h"
#include "host/model/FactTexts.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Keys and values UTF-8.
std::vector<std::pair<std::string, std::string>> IfcFactsOf(const IfcProductData& product);
// The same, as numbers of the model's texts; with `model` (UTF-8) first a fact "model" naming the
// building model among several that the product came from.
std::vector<ElementFact> IfcElementFactsOf(const IfcProductData& product, FactTexts& texts, std::string_view model = {});
