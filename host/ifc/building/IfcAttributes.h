#pragma once
// The layers and materials elements made from IFC products stand on.
//
// A layer is the product's presentation layer, else its storey; or, when the user asks for
// layers by storey, its storey. A material is one for each IFC material and surface colour: named
// after the product's first IFC material ("Beton C30/37"), a second colour of that material with
// the colour after the name ("Beton C30/37 99CCFF 60%"); a product without an IFC material by its
// colour ("IFC CC6633"). The record keeps the colour and the transparency, so a later revision
// finds the same materials again. Products without a colour take their kind's.
#include "host/ifc/building/IfcBuildingData.h"
#include "host/model/HostModel.h"

#include <map>
#include <string>

class IfcAttributes {
public:
    // `defaultLayer` (8-bit code page): for products with neither layer nor storey. A model added
    // beside others names its layers after itself: `layerPrefix` ("ARCH: ") comes before each.
    IfcAttributes(HostModel& model, std::string defaultLayer, bool layersByStorey = false, std::string layerPrefix = {});
    // Attribute indexes, found or created.
    int16_t LayerOf(const IfcProductData& product);
    int16_t MaterialOf(const IfcProductData& product, int32_t kind);
    // The layer named after a storey (UTF-8), found or created.
    int16_t StoreyLayer(const std::string& storey);

private:
    int16_t Layer(const std::string& cp1250Name);

    HostModel& model_;
    std::string defaultLayer_;
    bool layersByStorey_;
    std::string layerPrefix_;
    std::map<std::string, int16_t> layers_, materials_; // as made or found: layers by name, materials by name and colour
};
