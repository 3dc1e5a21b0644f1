#pragma once
// What the host takes from an IFC file, free of the IFC library's types: one entry per
// product with body geometry, already in world coordinates and metres. The reader fills it;
// the model builder and the revision update read it.
#include "host/ifc/building/IfcPackedProperties.h"
#include "host/ifc/step/EIfcFile.h"
#include "host/model/ModelWorkSchedules.h"
#include "hostapi/HostGuid.h"

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

struct IfcProductData {
    API_Guid guid;                 // the 128 bits of the GlobalId
    std::string globalId;          // the 22-character text, as in the file
    std::string ifcClass;          // the entity name as IFC writes it, e.g. "IfcWallStandardCase"
    std::string predefinedType;    // upper case, e.g. "ROOF"; empty when the file gives none
    std::string name;              // UTF-8, encoded characters decoded; empty when none
    std::string tag;               // UTF-8
    std::string layer;             // presentation layer name (UTF-8), empty when none
    std::string storey;            // the containing building storey's name (UTF-8), empty when none
    std::string objectType;        // ObjectType, UTF-8
    std::string description;       // UTF-8
    std::vector<std::string> materials;       // IFC material names, each once, layers in their order
    std::vector<std::string> classifications; // "SYSTEM: IDENTIFICATION NAME", each part when given
    // Single-value properties and quantities as "PSET.NAME" and the value's text, by key.
    std::vector<std::pair<std::string, std::string>> properties;
    // More of them, after those, packed: where a reader is asked for IfcPropertiesForm::Packed, all.
    IfcPackedProperties packedProperties;
    bool hasColour = false;
    std::array<double, 3> rgb{};   // 0..1, from the surface style
    double transparency = 0.0;     // 0 opaque .. 1 clear
    std::vector<std::array<double, 3>> vertices;   // metres, every placement applied
    std::vector<std::array<int32_t, 3>> triangles; // indexes into vertices
};

// Why a product with a body in the file is not an element: the user is told how many products
// each cause left out, in this order.
enum class IfcLeftOutCause : uint8_t {
    NoBody,           // its body representation gives no triangle
    GeometryNotMade,  // the IFC library failed on it or cannot read a record its shape uses
    AttributesNotRead,
    NoGlobalId,       // none, or one that is not an IFC GlobalId
    RepeatedGlobalId, // an earlier product has the same
    NotBuilding,      // an opening or a virtual element
};
constexpr size_t kIfcLeftOutCauses = 6;

// A product the reader or the model builder left out, and why.
struct IfcSkippedProduct {
    std::string globalId;
    std::string ifcClass;
    std::string reason; // in detail, with what the IFC library said
    IfcLeftOutCause cause = IfcLeftOutCause::NoBody;
    std::string name{}; // UTF-8; empty when it has none
    int record = 0;     // its #N in the file, 0 when not known
};

// What the reader accepted although the file does not follow IFC to the letter: the user is told
// how many of each, as of the products left out.
enum class IfcNoteKind : uint8_t {
    GlobalIdOutOfRange, // a GlobalId of 22 IFC characters too large for 128 bits, kept
    DuplicateRecord,    // a record defined twice with the same text, read once
    OffFixedHeap,       // a product's shape made off its fixed heap, or leaving something on it
};
constexpr size_t kIfcNoteKinds = 3;

struct IfcNote {
    IfcNoteKind kind = IfcNoteKind::GlobalIdOutOfRange;
    std::string label; // UTF-8: what the user looks for, a product's name or GlobalId or "#34"
};

struct IfcBuildingData {
    std::string schema;            // "IFC2X3" or "IFC4"
    std::vector<IfcProductData> products; // in file order
    std::vector<IfcSkippedProduct> skipped;
    std::vector<std::string> storeys; // the building storeys' names (UTF-8) from the lowest up, each once
    std::vector<IfcNote> notes;
    ModelWorkSchedules workSchedules; // the file's 4D records
};
