#pragma once
// The 2760-byte element record. Bytes 0-103 are the header; from 104 on each kind has its own
// fields (pens and materials as 16-bit attribute indexes, flags as bytes).
#include "hostapi/HostGuid.h"

#include <cstddef>
#include <cstdint>

namespace HostElement {

constexpr size_t kRecordSize = 2760;
constexpr size_t kHeaderSize = 104;
constexpr int32_t kFirstKind = 1;
constexpr int32_t kLastKind = 42;

// Header offsets.
constexpr size_t kKind = 0;      // int32 element kind, 1-42
constexpr size_t kIndex = 4;     // int32 index within the kind (1-based)
constexpr size_t kGuid = 8;      // API_Guid, 16 bytes
constexpr size_t kLayer = 24;    // int16 layer attribute index
constexpr size_t kOwner = 26;    // int16 user id of the owner in a shared project (0: none)
constexpr size_t kLocked = 28;   // uint8 locked mark
constexpr size_t kFloor = 30;    // int16 storey
constexpr size_t kModiStamp = 32; // uint32 change counter
constexpr size_t kIdText = 36;   // the element's ID text, 64 bytes, zero-terminated, 8-bit code page
constexpr size_t kIdTextSize = 64;

enum Kind : int32_t {
    Wall = 1, Column, Beam, Window, Door, Object, Lamp, Slab, Roof, Mesh,
    Dimension, RadialDimension, LevelDimension, AngleDimension, Text, Label, Zone, Hatch, Line, PolyLine,
    Arc, Circle, Spline, Hotspot, CutPlane, Camera, CameraPath, Group, SectionElem, Drawing,
    Picture, Detail, Elevation, InteriorElevation, Worksheet, Hotlink, CurtainWall, CurtainWallSegment,
    CurtainWallFrame, CurtainWallPanel, CurtainWallJunction, CurtainWallAccessory,
};

inline bool IsValidKind(int32_t kind) { return kind >= kFirstKind && kind <= kLastKind; }

// Kinds that have a body in 3D (drawn by the renderer).
inline bool HasBody(int32_t kind) { return (kind >= Wall && kind <= Mesh) || kind == CurtainWall; }

// Camera (kind 26) fields.
constexpr size_t kCameraPathIndex = 104; // int32 the path it belongs to
constexpr size_t kCameraNextIndex = 108; // int32 next camera of the chain, 0 at the end
constexpr size_t kCameraFrames = 112;    // int16 frames from this camera to the next
// Camera path (kind 27) fields.
constexpr size_t kPathInactive = 104;    // int32, 0 for a usable path
constexpr size_t kPathFirstCamera = 108; // int32 index of the first camera
constexpr size_t kPathClosed = 112;      // uint8 path flag: the walk ends at the last camera (else it loops to the first)
constexpr size_t kPathActive = 113;      // uint8 the path the fly-through uses now
constexpr size_t kPathCameraFrames = 116; // int32 frames from one camera to the next (k)

} // namespace HostElement

namespace HostHead {
// The 32-byte element head used in lists given to the host (locks, selection): kind, then the
// identifier at 8-23.
constexpr size_t kSize = 32;
constexpr size_t kKind = 0;  // int32 element kind (or, in selection entries, the selection type)
constexpr size_t kIndex = 4; // int32 index, used when the identifier is null
constexpr size_t kGuid = 8;
} // namespace HostHead

namespace HostUserData {
// The user data record passed to HostElementGet/SetUserData.
constexpr size_t kSize = 16;
constexpr size_t kVersion = 0;      // int16
constexpr size_t kPlatformSign = 2; // uint16
constexpr size_t kFlags = 4;        // uint32
constexpr size_t kDataHandle = 8;   // uint32 BaseKit handle: the bytes (0 on set removes the block)
} // namespace HostUserData

namespace HostFilter {
// HostElementFilter's filter values.
constexpr int32_t kExists = 0;        // the element exists
constexpr int32_t kEditable = 1;      // exists, unlocked, on an unlocked layer
constexpr int32_t kOnVisibleLayer = 6; // exists and its layer is shown
} // namespace HostFilter

namespace HostSelection {
constexpr size_t kInfoSize = 64;
constexpr size_t kKind = 0;       // int32: 0 none, 1 elements, 2 marquee, 3 rotated marquee, 4 polygon marquee
constexpr size_t kCount = 4;      // int32 number of selected elements
constexpr size_t kMarquee = 40;   // uint32 handle of the marquee polygon for kinds 2-4 (caller frees)
constexpr int32_t kTypeBase = 1000; // selection type = kTypeBase + element kind

// What the selection is (kKind).
enum Kind : int32_t { None = 0, Elements = 1, Marquee = 2, RotatedMarquee = 3, PolygonMarquee = 4 };
inline bool HasMarquee(int32_t kind) { return kind >= Marquee && kind <= PolygonMarquee; }
} // namespace HostSelection
