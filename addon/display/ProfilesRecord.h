#pragma once
// The project file's `PROF` section: the schedule's profiles, the types' choices and the tasks
// that take another (docs/PROJECT_FILE.md). Written only while they differ from the defaults.
#include "display/ProfileSet.h"

#include <cstdint>
#include <span>
#include <vector>

std::vector<uint8_t> ProfilesBytes(const ProfileSet& set);
// False, `set` untouched, for a body of any other form than ProfilesBytes writes.
bool ReadProfilesBytes(std::span<const uint8_t> body, ProfileSet& set);
