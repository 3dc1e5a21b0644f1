#pragma once
// One element of the building model: its 2760-byte record, its geometry, the user data blocks
// add-ons attached to it, and what the building model it came from says it is (its facts).
#include "bytes/LittleEndian.h"
#include "host/model/FactTexts.h"
#include "host/model/LookOverride.h"
#include "host/model/SecondLook.h"
#include "host/model/StoredKeys.h"
#include "host/model/Vector3.h"
#include "hostapi/HostElementRecord.h"

#include <array>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

struct Geometry {
    enum class Shape { None, Box, Mesh };
    Shape shape = Shape::None;
    std::array<double, 3> min{}, max{};                 // box
    std::vector<std::array<double, 3>> vertices;        // mesh
    std::vector<std::array<int32_t, 3>> triangles;      // mesh, indexes into vertices
    bool operator==(const Geometry&) const = default;
};

struct UserDataBlock {
    int16_t version = 0;
    uint16_t platformSign = 0;
    std::vector<uint8_t> bytes;
    bool operator==(const UserDataBlock&) const = default;
};

// Where a camera element (kind 26) stands and looks: the project keeps it beside the record.
// A value the project held in an unusable form is absent.
struct CameraPlace {
    std::optional<Vec3> eye, target;
    std::optional<double> fov;
    bool operator==(const CameraPlace&) const = default;
};

struct Element {
    std::vector<uint8_t> record = std::vector<uint8_t>(HostElement::kRecordSize, 0);
    Geometry geometry;
    std::map<std::string, UserDataBlock> userData; // by add-on name
    StoredKeys unknownKeys;
    CameraPlace camera;
    std::vector<ElementFact> facts; // texts of the model's FactTexts, in the order they are shown
    // New, unique in the process, whenever the model adds the element or gives it a new shape: a
    // body built from the geometry stays good while this stays. Copies (undo) keep it with the
    // shape it belongs to.
    uint64_t shapeRevision = 0;
    std::optional<LookOverride> look;
    // Set only while the second window is open; none: it shows what the first shows.
    std::optional<SecondLook> second;

    std::span<uint8_t> Bytes() { return record; }
    std::span<const uint8_t> Bytes() const { return record; }
    int32_t Kind() const { return LE::Get<int32_t>(Bytes(), HostElement::kKind); }
    int32_t Index() const { return LE::Get<int32_t>(Bytes(), HostElement::kIndex); }
    API_Guid Guid() const { return API_Guid::FromBytes(record.data() + HostElement::kGuid); }
    int16_t Layer() const { return LE::Get<int16_t>(Bytes(), HostElement::kLayer); }
    int16_t Owner() const { return LE::Get<int16_t>(Bytes(), HostElement::kOwner); }
    bool Locked() const { return record[HostElement::kLocked] != 0; }
    std::string IdText() const {
        return std::string(LE::GetText(Bytes(), HostElement::kIdText, HostElement::kIdTextSize));
    }
    void SetKind(int32_t kind) { LE::Put<int32_t>(Bytes(), HostElement::kKind, kind); }
    void SetIndex(int32_t index) { LE::Put<int32_t>(Bytes(), HostElement::kIndex, index); }
    void SetGuid(const API_Guid& g) { g.ToBytes(record.data() + HostElement::kGuid); }
    void SetLayer(int16_t layer) { LE::Put<int16_t>(Bytes(), HostElement::kLayer, layer); }
    void SetOwner(int16_t owner) { LE::Put<int16_t>(Bytes(), HostElement::kOwner, owner); }
    void SetLocked(bool locked) { record[HostElement::kLocked] = locked ? 1 : 0; }
    void SetIdText(const std::string& cp1250) {
        LE::PutText(Bytes(), HostElement::kIdText, HostElement::kIdTextSize, cp1250);
    }
};

// What an undo step keeps of an element.
struct ElementState {
    std::vector<uint8_t> record;
    std::map<std::string, UserDataBlock> userData;
    std::optional<LookOverride> look;
    bool operator==(const ElementState&) const = default;
};
