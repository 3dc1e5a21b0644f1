#pragma once
// The stored form of a schedule's baselines, the body of the project file's baseline section
// (docs/PROJECT_FILE.md).
#include "schedule/tasks/Baseline.h"

#include <cstdint>
#include <span>
#include <vector>

// "BASE" as the file holds it.
constexpr uint32_t kBaselineSectionTag = 0x45534142;

// Dates a stored form cannot hold are kept as invalid.
std::vector<uint8_t> BaselineBytes(const std::vector<Baseline>& baselines);
// False unless the bytes are exactly one stored form of at least one baseline within the ranges.
bool ReadBaselineBytes(std::span<const uint8_t> bytes, std::vector<Baseline>& out);
