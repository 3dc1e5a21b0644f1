#pragma once
// The stored form of the plans beside a schedule's tasks: the body of the project file's plan
// section, little-endian, field by field as docs/PROJECT_FILE.md gives it.
#include "schedule/tasks/TaskPlan.h"

#include <cstdint>
#include <span>
#include <vector>

// "PLAN" as the file holds it.
constexpr uint32_t kPlanSectionTag = 0x4E414C50;

// One plan a task, in the tasks' order. Values outside the stored ranges are brought into them
// (texts cut, lists cut, an unusable date or dependency left out), so the body always reads back.
std::vector<uint8_t> TaskPlanBytes(const std::vector<TaskPlan>& plans);
// False unless the bytes are exactly one stored form of `taskCount` plans within the ranges.
bool ReadTaskPlanBytes(std::span<const uint8_t> bytes, size_t taskCount, std::vector<TaskPlan>& out);
