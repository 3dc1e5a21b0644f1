#pragma once
// What every reader of another program's schedule file does first and when it gives up: the file
// read whole, or the alert that it cannot be; a refusal, with its reason in the report window.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The file's bytes (ReadWholeFile); alert 32506 and nothing when it cannot be read.
std::optional<std::string> OpenScheduleFileBytes(const std::string& path);
// Writes the reason (8-bit; none when empty) to the report window and shows the alert with the
// path; returns false.
bool RefuseScheduleFile(const std::string& path, int16_t alert, std::string_view reason = {});
