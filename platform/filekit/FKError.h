#pragma once
// FileKit's result codes: 0 for success, the platform's classic negative file errors otherwise.
#include <cstdint>

constexpr int32_t kFKNoErr = 0;
constexpr int32_t kFKDiskFullErr = -34;
constexpr int32_t kFKIOErr = -36;
constexpr int32_t kFKBadNameErr = -37;    // the location is not valid
constexpr int32_t kFKNotOpenErr = -38;    // the file is not open (or open the other way)
constexpr int32_t kFKEndOfFileErr = -39;  // fewer bytes than asked were left
constexpr int32_t kFKNotFoundErr = -43;
constexpr int32_t kFKPermissionErr = -54;
constexpr int32_t kFKParamErr = -50;
constexpr int32_t kFKNotAFileErr = -1302; // a folder, device or pipe where a plain file is expected
constexpr int32_t kFKTooLargeErr = -1309;  // more bytes than the reader accepts

// The FileKit code of a C library errno value.
int32_t FKErrorFromErrno(int err);

// A short English reason for a FileKit code ("disk full", "permission denied", ...).
const char* FKErrorText(int32_t code);
