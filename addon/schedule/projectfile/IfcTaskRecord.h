#pragma once
// The stored form of the IFC identities beside a schedule's tasks: the body of the project
// file's IFC section, little-endian, field by field as docs/PROJECT_FILE.md gives it.
#include "schedule/tasks/TaskPlan.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// "IFCT" as the file holds it.
constexpr uint32_t kIfcTaskSectionTag = 0x54434649;

// Whether any plan holds an IFC identity, so the file needs the section.
bool HasIfcTaskIds(const std::vector<TaskPlan>& plans);
// One identity a task, in the tasks' order; one that is no GlobalId is written as none.
std::vector<uint8_t> IfcTaskBytes(const std::vector<TaskPlan>& plans);
// False unless the bytes are exactly one stored form of `taskCount` identities.
bool ReadIfcTaskBytes(std::span<const uint8_t> bytes, size_t taskCount, std::vector<std::string>& out);
