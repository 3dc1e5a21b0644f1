#pragma once
// A host file written whole through a replacement file, so a failed save leaves the old one intact.
#include <string>
#include <string_view>

// False with `error` set to the path and FileKit's reason when the file cannot be written.
bool SaveTextFile(const std::string& nativePath, std::string_view text, std::string& error);
