#include "host/ifc/building/IfcAttributes.h"

#include "host/ifc/building/IfcHostText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

struct Colour {
    int rgb[3];       // 0-255
    int transparency; // percent
};

int Byte(double v) { return std::isfinite(v) ? static_cast<int>(std::lround(std::clamp(v, 0.0, 1.0) * 255)) : 0; }

// Seen without a colour of their own: walls and slabs as plaster and concrete, glass half clear.
Colour KindColour(int32_t kind) {
    switch (kind) {
    case HostElement::Wall: return {{222, 217, 204}, 0};
    case HostElement::Window:
    case HostElement::CurtainWall: return {{153, 191, 217}, 50};
    case HostElement::Door: return {{153, 115, 77}, 0};
    case HostElement::Roof: return {{166, 77, 51}, 0};
    case HostElement::Object: return {{191, 191, 191}, 0};
    default: return {{179, 179, 173}, 0};
    }
}

Colour ColourOf(const IfcProductData& product, int32_t kind) {
    Colour c = KindColour(kind);
    if (product.hasColour) {
        for (size_t k = 0; k < 3; ++k) c.rgb[k] = Byte(product.rgb[k]);
        double t = std::isfinite(product.transparency) ? std::clamp(product.transparency, 0.0, 1.0) : 0.0;
        c.transparency = static_cast<int>(std::lround(t * 100));
    }
    return c;
}

// "CC6633", or "99CCFF 60%" when not opaque.
std::string ColourText(const Colour& c) {
    char text[24];
    if (c.transparency > 0)
        std::snprintf(text, sizeof text, "%02X%02X%02X %d%%", c.rgb[0], c.rgb[1], c.rgb[2], c.transparency);
    else
        std::snprintf(text, sizeof text, "%02X%02X%02X", c.rgb[0], c.rgb[1], c.rgb[2]);
    return text;
}

double GetD(const AttributeRecord& r, size_t offset) {
    uint64_t bits = LE::Get<uint64_t>(r, offset);
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

void PutD(AttributeRecord& r, size_t offset, double d) {
    uint64_t bits;
    std::memcpy(&bits, &d, sizeof bits);
    LE::Put<uint64_t>(r, offset, bits);
}

bool HasColour(const AttributeRecord& r, const Colour& c) {
    if (LE::Get<int16_t>(r, HostAttribute::kMatTransparency) != c.transparency) return false;
    for (size_t k = 0; k < 3; ++k)
        if (GetD(r, HostAttribute::kMatSurfaceRed + 8 * k) != c.rgb[k] / 255.0) return false;
    return true;
}

AttributeRecord MaterialRecord(const std::string& name, const Colour& c) {
    // As the host's own materials are: matt, a little shine.
    AttributeRecord r = MakeAttributeRecord(HostAttribute::Material, name);
    LE::Put<int16_t>(r, HostAttribute::kMatAmbient, 75);
    LE::Put<int16_t>(r, HostAttribute::kMatDiffuse, 75);
    LE::Put<int16_t>(r, HostAttribute::kMatSpecular, 30);
    LE::Put<int16_t>(r, HostAttribute::kMatTransparency, static_cast<int16_t>(c.transparency));
    LE::Put<int16_t>(r, HostAttribute::kMatShine, 2500);
    for (size_t k = 0; k < 3; ++k) PutD(r, HostAttribute::kMatSurfaceRed + 8 * k, c.rgb[k] / 255.0);
    return r;
}

// Room after a material's name for " 99CCFF 100% (99)".
constexpr size_t kColourRoom = 20;

} // namespace

IfcAttributes::IfcAttributes(HostModel& model, std::string defaultLayer, bool layersByStorey, std::string layerPrefix)
    : model_(model), defaultLayer_(std::move(defaultLayer)), layersByStorey_(layersByStorey), layerPrefix_(std::move(layerPrefix)) {}

int16_t IfcAttributes::Layer(const std::string& ownName) {
    const std::string name = layerPrefix_ + ownName;
    auto it = layers_.find(name);
    if (it != layers_.end()) return it->second;
    int16_t index = model_.FindAttributeByName(HostAttribute::Layer, name);
    if (!index) index = model_.CreateAttribute(HostAttribute::Layer, MakeAttributeRecord(HostAttribute::Layer, name));
    // The attribute table is full: the first layer takes the rest.
    if (!index) index = 1;
    layers_[name] = index;
    return index;
}

int16_t IfcAttributes::StoreyLayer(const std::string& storey) {
    std::string name = HostTextFromIfc(storey, HostAttribute::kNameSize - 1);
    return Layer(name.empty() ? defaultLayer_ : name);
}

int16_t IfcAttributes::LayerOf(const IfcProductData& product) {
    if (layersByStorey_) return StoreyLayer(product.storey);
    std::string name = HostTextFromIfc(product.layer, HostAttribute::kNameSize - 1);
    if (name.empty()) name = HostTextFromIfc(product.storey, HostAttribute::kNameSize - 1);
    return Layer(name.empty() ? defaultLayer_ : name);
}

int16_t IfcAttributes::MaterialOf(const IfcProductData& product, int32_t kind) {
    const Colour c = ColourOf(product, kind);
    const std::string colour = ColourText(c);
    std::string material;
    for (const std::string& m : product.materials)
        if (material = HostTextFromIfc(m, HostAttribute::kNameSize - 1 - kColourRoom); !material.empty()) break;
    const std::string key = material + '\n' + colour;
    auto it = materials_.find(key);
    if (it != materials_.end()) return it->second;

    int16_t index = 0;
    if (material.empty()) {
        // Named by the colour alone, the name says all.
        std::string name = "IFC " + colour;
        index = model_.FindAttributeByName(HostAttribute::Material, name);
        if (!index) index = model_.CreateAttribute(HostAttribute::Material, MaterialRecord(name, c));
    } else {
        // The material's name, taken by another colour of it: the name with the colour, then numbered.
        for (int n = 1; !index; ++n) {
            std::string name = n == 1 ? material : material + " " + colour + (n == 2 ? "" : " (" + std::to_string(n - 1) + ")");
            int16_t found = model_.FindAttributeByName(HostAttribute::Material, name);
            if (!found) index = model_.CreateAttribute(HostAttribute::Material, MaterialRecord(name, c));
            else if (HasColour(*model_.Attribute(HostAttribute::Material, found), c)) index = found;
            if (!found && !index) break; // the attribute table is full
        }
    }
    materials_[key] = index;
    return index;
}
