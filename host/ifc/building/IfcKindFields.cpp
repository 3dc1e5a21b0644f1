#include "host/ifc/building/IfcKindFields.h"

#include <utility>
#include <vector>

namespace {

struct KindFields {
    int32_t kind;
    std::vector<std::pair<uint16_t, int16_t>> pens; // offset, pen
    std::vector<uint16_t> materials;
    std::vector<std::pair<uint16_t, uint8_t>> flags; // offset, value
};

// Contours in black (pen 1), openings and furniture in dark grey (2), the other lines lighter.
// A pen of 0 would read as "no own pen" once the construction type paints the element.
const std::vector<KindFields> kFields = {
    {HostElement::Wall, {{104, 1}, {112, 3}}, {118, 120, 122}, {{131, 1}, {132, 1}, {133, 1}}},
    {HostElement::Column, {{104, 1}, {108, 1}, {204, 3}, {112, 2}}, {124}, {}},
    {HostElement::Beam, {{104, 1}, {112, 2}, {114, 2}, {108, 1}, {294, 3}}, {120, 122, 124, 126, 128}, {}},
    {HostElement::Window, {{104, 2}}, {108}, {{120, 1}, {122, 1}}},
    {HostElement::Door, {{104, 2}}, {108}, {{120, 1}, {122, 0}}},
    {HostElement::Object, {{104, 2}}, {108}, {{120, 1}, {122, 1}}},
    {HostElement::Slab, {{104, 1}, {114, 3}, {110, 2}}, {118, 120, 122}, {}},
    {HostElement::Roof, {{104, 1}, {114, 3}, {110, 2}, {312, 4}, {208, 2}}, {118, 120, 122}, {}},
    {HostElement::Mesh, {{104, 1}, {116, 2}, {112, 2}, {192, 3}}, {118, 120, 122}, {}},
    {HostElement::Zone, {{104, 2}}, {}, {{108, 1}}},
    {HostElement::CurtainWall, {{226, 1}, {236, 2}, {218, 2}, {222, 2}, {232, 3}, {242, 3}}, {706, 1058, 1410, 1762, 1978},
     {{244, 1}, {245, 1}}},
};

} // namespace

void FillKindFields(Element& element, int16_t material) {
    for (const auto& f : kFields) {
        if (f.kind != element.Kind()) continue;
        auto bytes = element.Bytes();
        for (auto [offset, pen] : f.pens) LE::Put<int16_t>(bytes, offset, pen);
        for (uint16_t offset : f.materials) LE::Put<int16_t>(bytes, offset, material);
        for (auto [offset, value] : f.flags) bytes[offset] = value;
        return;
    }
}

bool KindTakesMaterial(int32_t kind) {
    for (const auto& f : kFields)
        if (f.kind == kind) return !f.materials.empty();
    return false;
}
