#pragma once
// The 960-byte attribute record shared by layers, pens and materials.
#include <cstddef>
#include <cstdint>

namespace HostAttribute {

constexpr size_t kRecordSize = 960;
constexpr size_t kExtraSize = 56; // extra definition record of materials

enum Kind : int32_t { Pen = 1, Layer = 2, Material = 6 };

constexpr size_t kKind = 0;   // int32
constexpr size_t kIndex = 4;  // int16, written by the host
constexpr size_t kName = 8;   // 256 bytes, zero-terminated, 8-bit code page
constexpr size_t kNameSize = 256;
constexpr size_t kFlags = 264; // uint32

// Layer flags.
constexpr uint32_t kLayerHidden = 1;
constexpr uint32_t kLayerLocked = 2;

// Material fields from 292.
constexpr size_t kMatType = 292;        // int32
constexpr size_t kMatAmbient = 296;     // int16
constexpr size_t kMatDiffuse = 298;
constexpr size_t kMatSpecular = 300;
constexpr size_t kMatTransparency = 302;
constexpr size_t kMatShine = 304;
constexpr size_t kMatTransAtt = 306;
constexpr size_t kMatEmissionAtt = 308;
constexpr size_t kMatSurfaceRed = 312;  // double
constexpr size_t kMatSurfaceGreen = 320;
constexpr size_t kMatSurfaceBlue = 328;
constexpr size_t kMatSpecularRgb = 336; // 3 doubles
constexpr size_t kMatEmissionRgb = 360; // 3 doubles

// Pen fields from 292.
constexpr size_t kPenRed = 292; // double 0-1
constexpr size_t kPenGreen = 300;
constexpr size_t kPenBlue = 308;
constexpr size_t kPenWidth = 316; // double, millimetres

} // namespace HostAttribute
