#pragma once
// One activity of the schedule; a plain record, copied whole.
#include "schedule/tasks/ConstructionType.h"
#include "schedule/tasks/DateTime.h"

#include <cstdint>
#include <string_view>

enum TaskFlags : uint32_t { LinkedToSelection = 1u << 0 };

// What a task shows at the current date, and so the elements it governs; Unlinked only in the
// display's cache, for an element no task governs.
enum class Appearance : int32_t { Absent = 0, UnderWork = 1, Present = 2, Unlinked = 3 };

struct Task {
    static constexpr size_t kNameSize = 256;

    char name[kNameSize] = {};
    int32_t id = -1;
    ConstructionType type = ConstructionType::Construction;
    uint32_t flags = 0;
    DateTime start = DateTime::Now();
    DateTime finish = start;
    int32_t percentComplete = 0;
    uint8_t inProgress = 0;
    Appearance appearance = Appearance::Absent;

    // Cuts at 255 bytes; the field is always terminated.
    void SetName(std::string_view text);
    std::string_view Name() const;
    bool IsValid() const { return start.status == DateTimeStatus::Valid && finish.status == DateTimeStatus::Valid && id >= 1; }
    // Sets the three derived fields for the date `current`.
    void ComputeState(const DateTime& current);
};
