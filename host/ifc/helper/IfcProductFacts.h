#pragma once
// In the converting child: what the host keeps about a product besides its shape, its layer and
// its colour (its description, object type, materials, classifications and single values), and
// a colour from its material for a body that has none of its own.
#include "host/ifc/building/IfcBuildingData.h"

class IfcProduct;
class SingleValueReader;

// `values` keeps what it read of the file's property sets for the next product.
void ReadProductFacts(const IfcProduct& product, IfcProductData& data, SingleValueReader& values);
