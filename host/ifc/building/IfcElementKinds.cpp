#include "host/ifc/building/IfcElementKinds.h"

#include "hostapi/HostElementRecord.h"

#include <cctype>

namespace {

bool SameLetters(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
    return true;
}

bool StartsWith(std::string_view name, std::string_view prefix) {
    return name.size() >= prefix.size() && SameLetters(name.substr(0, prefix.size()), prefix);
}

// The entity or one of its "StandardCase" / "ElementedCase" subtypes, which IFC adds for
// the same kind of thing.
bool IsEntity(std::string_view name, std::string_view entity) {
    if (!StartsWith(name, entity)) return false;
    std::string_view rest = name.substr(entity.size());
    return rest.empty() || SameLetters(rest, "StandardCase") || SameLetters(rest, "ElementedCase");
}

} // namespace

int32_t ElementKindOfIfcClass(std::string_view ifcClass, std::string_view predefinedType) {
    using namespace HostElement;
    if (IsEntity(ifcClass, "IfcOpeningElement") || IsEntity(ifcClass, "IfcVirtualElement")) return 0;
    // Every wall subtype, IfcWall itself included.
    if (StartsWith(ifcClass, "IfcWall")) return Wall;
    if (IsEntity(ifcClass, "IfcColumn")) return Column;
    if (IsEntity(ifcClass, "IfcBeam") || IsEntity(ifcClass, "IfcMember")) return Beam;
    if (IsEntity(ifcClass, "IfcWindow")) return Window;
    if (IsEntity(ifcClass, "IfcDoor")) return Door;
    if (IsEntity(ifcClass, "IfcSlab")) return SameLetters(predefinedType, "ROOF") ? Roof : Slab;
    if (IsEntity(ifcClass, "IfcRoof")) return Roof;
    if (IsEntity(ifcClass, "IfcCovering") || IsEntity(ifcClass, "IfcPlate") || IsEntity(ifcClass, "IfcSite")) return Mesh;
    if (IsEntity(ifcClass, "IfcSpace")) return Zone;
    if (IsEntity(ifcClass, "IfcCurtainWall")) return CurtainWall;
    // Furniture, proxies, stairs, ramps, railings, fittings and whatever else has a body.
    return Object;
}
