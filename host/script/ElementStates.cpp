#include "host/script/ElementStates.h"

#include "host/model/HostModel.h"
#include "host/render/SceneBodies.h"
#include "hostapi/HostAttributeRecord.h"

#include <cstdio>

std::string ElementStateText(HostModel& model, const Element& element) {
    if (SceneLayers(model).Hidden(element.Layer())) return "hidden";
    std::string text = "model";
    const std::optional<LookOverride>& look = element.look;
    char buffer[48];
    if (look && look->coloured) {
        if (look->transparency == 0) std::snprintf(buffer, sizeof buffer, "colour #%02x%02x%02x", look->red, look->green, look->blue);
        else
            std::snprintf(buffer, sizeof buffer, "ghost #%02x%02x%02x %d", look->red, look->green, look->blue,
                          static_cast<int>(look->transparency));
        text = buffer;
    } else {
        for (int16_t material : FaceMaterials(element))
            if (material != 0 && model.IsAddonAttribute(HostAttribute::Material, material)) text = "work";
    }
    if (look && look->Clips()) {
        std::snprintf(buffer, sizeof buffer, " grown %.2f", look->drawn);
        text += buffer;
    }
    return text;
}
