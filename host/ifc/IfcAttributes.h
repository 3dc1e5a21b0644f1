#pragma once
// The layers and materials elements made from IFC products stand on. A layer is the
// product's presentation layer or else its storey; a material is made from its surface colour
// and transparency, one for each colour, named after it ("IFC CC6633", "IFC 99CCFF 60%"), so
// a later revision finds the same ones again. Products without a colour take their kind's.
#include "host/ifc/IfcBuildingData.h"
#include "host/model/HostModel.h"

#include <map>
#include <string>

class IfcAttributes {
public:
    // `defaultLayer` (8-bit code page): for products with neither layer nor storey.
    IfcAttributes(HostModel& model, std::string defaultLayer);
    // Attribute indexes, found or created.
    int16_t LayerOf(const IfcProductData& product);
    int16_t MaterialOf(const IfcProductData& product, int32_t kind);

private:
    int16_t Layer(const std::string& cp1250Name);

    HostModel& model_;
    std::string defaultLayer_;
    std::map<std::string, int16_t> layers_, materials_; // by name, as made or found
};
