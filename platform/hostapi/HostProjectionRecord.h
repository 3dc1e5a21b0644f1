#pragma once
// The 3D view: the 328-byte projection record ("GP3D", "CP3D"), the 224-byte camera position it
// carries at byte 40 (also the unit of the "SLSH" answer), and the window size answer ("GW3D",
// "GREN"). Numbers are little-endian IEEE doubles in model metres and degrees.
#include <cstddef>
#include <cstdint>

namespace HostCameraPosition {
constexpr size_t kSize = 224;
constexpr size_t kEye = 0;     // 3 doubles
constexpr size_t kTarget = 24; // 3 doubles
constexpr size_t kUp = 48;     // 3 doubles; all zero means +z
constexpr size_t kFov = 72;    // double, horizontal view angle in degrees, 1 to 170
} // namespace HostCameraPosition

namespace HostProjection {
constexpr size_t kSize = 328;
constexpr size_t kPerspective = 0; // uint8, 1: the camera position below is in force
constexpr size_t kCamera = 40;     // HostCameraPosition, 224 bytes
constexpr size_t kSunAzimuth = 264;  // double degrees, compass direction the sun shines from
constexpr size_t kSunAltitude = 272; // double degrees above the horizon
} // namespace HostProjection

namespace HostWindowSize { // "GW3D": the 3D window, "GREN" with an int32 1: the photo window
constexpr size_t kSize = 16;
constexpr size_t kWidth = 0;  // int16 pixels
constexpr size_t kHeight = 2; // int16 pixels
} // namespace HostWindowSize

namespace HostCapture { // "CIMG": param1 uint32* picture handle out, param2 these two bytes
constexpr size_t kSize = 2;
constexpr size_t kUse3DWindow = 0; // uint8, 1: the 3D window, 0: the photo window
constexpr size_t kFirstPicture = 1; // uint8, informative: the first picture of a series
} // namespace HostCapture

namespace HostSizedCapture { // "CIMS": param1 uint32* picture handle out, param2 this record
constexpr size_t kSize = 8;
constexpr size_t kUse3DWindow = 0;  // uint8, as HostCapture's
constexpr size_t kFirstPicture = 1; // uint8, as HostCapture's
// uint8, 1: param1 holds the caller's 32-bit picture of the size asked, drawn into where it lies
// (a movie's frames need no new picture each); a picture of another size or kind is refused.
constexpr size_t kIntoGiven = 2;
constexpr size_t kWidth = 4;        // int16 pixels, 1 to kMostPixels
constexpr size_t kHeight = 6;       // int16 pixels, 1 to kMostPixels
constexpr int32_t kMostPixels = 8192;
} // namespace HostSizedCapture

namespace HostCameraPathWrapper { // "SLSH": param1 this wrapper, param2 uint32* positions out
constexpr size_t kPathIndex = 0; // int32
constexpr size_t kOk = 4;        // uint8, padded to 4
constexpr size_t kRecord = 8;    // the path's 2760-byte element record
constexpr size_t kSize = 8 + 2760;
} // namespace HostCameraPathWrapper
