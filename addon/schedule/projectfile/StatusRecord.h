#pragma once
// The stored form of where a schedule stands: its status date and the view the model follows,
// the body of the project file's status section (docs/PROJECT_FILE.md).
#include "schedule/tasks/DateTime.h"
#include "schedule/tasks/ScheduleView.h"

#include <cstdint>
#include <span>
#include <vector>

// "STAT" as the file holds it.
constexpr uint32_t kStatusSectionTag = 0x54415453;

struct ScheduleStatus {
    DateTime statusDate = DateTime::FromTicks(0, DateTimeStatus::Null); // Null: none set
    ScheduleView view = ScheduleView::Planned;

    // Nothing to keep: no status date and the planned view.
    bool Empty() const { return statusDate.status != DateTimeStatus::Valid && view == ScheduleView::Planned; }
};

std::vector<uint8_t> StatusBytes(const ScheduleStatus& status);
// False unless the bytes are exactly one stored form within its ranges.
bool ReadStatusBytes(std::span<const uint8_t> bytes, ScheduleStatus& out);
