#include "host/ifc/helper/IfcProductFacts.h"

#include "host/ifc/helper/ProductClassifications.h"
#include "host/ifc/helper/ProductFacts.h"
#include "host/ifc/helper/ProductMaterials.h"
#include "host/ifc/helper/ProductProperties.h"

void ReadProductFacts(const IfcProduct& product, IfcProductData& data, SingleValueReader& values) {
    data.description = DescriptionOf(product);
    data.objectType = ObjectTypeOf(product);
    data.materials = MaterialNamesOf(product);
    data.classifications = ClassificationsOf(product);
    data.properties = values.Of(product);
    if (!data.hasColour)
        if (auto colour = MaterialColourOf(product)) {
            data.hasColour = true;
            data.rgb = colour->rgb;
            data.transparency = colour->transparency;
        }
}
