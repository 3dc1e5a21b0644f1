#pragma once
// The host project remembers its schedule file in the block the host keeps for the add-on with
// the project and saves with it, so that the schedule opens again with the project.
#include "schedule/commands/RememberedSchedule.h"

#include <cstdint>
#include <optional>
#include <string>

// The open host project's path (UTF-8); empty while it is untitled.
std::string HostProjectPath();
// Keeps the schedule file (an 8-bit path) and its kind with the open host project. A path the
// block cannot hold leaves what the project remembered.
void RememberScheduleFile(const std::string& path8, int16_t kind);
// What the open host project remembers; nothing when it has no block or one of another version
// or layout.
std::optional<RememberedSchedule> RememberedScheduleFile();
