#pragma once
// The 16-byte look an add-on lays over an element's own (HostElementSetLook): a colour with a
// transparency for every face, and a plane beyond which the element is not drawn. All zero: none.
#include <cstddef>
#include <cstdint>

namespace HostLook {

constexpr size_t kSize = 16;

constexpr size_t kFlags = 0;        // uint8: kColoured
constexpr size_t kRed = 1;          // uint8 each, 0-255
constexpr size_t kGreen = 2;
constexpr size_t kBlue = 3;
constexpr size_t kTransparency = 4; // uint8, percent 0-100
constexpr size_t kClipAxis = 5;     // uint8, ClipAxis
constexpr size_t kReserved = 6;     // 2 bytes, 0
constexpr size_t kDrawn = 8;        // float64, 0-1: the share drawn from where the axis starts

constexpr uint8_t kColoured = 1;

// The element is drawn from its lowest point along the axis (a plus axis) or its highest (a minus
// axis) up to `kDrawn` of its extent.
enum ClipAxis : uint8_t { None = 0, PlusZ, MinusZ, PlusX, MinusX, PlusY, MinusY };
constexpr uint8_t kLastAxis = MinusY;

} // namespace HostLook
