#pragma once
// Which dates the model follows: the plan's, what happened, or the plan with what happened laid
// over it (work ahead of plan and behind it drawn in their own looks).
#include <cstdint>
#include <optional>
#include <string_view>

enum class ScheduleView : uint8_t { Planned = 0, Actual = 1, Compare = 2 };

inline constexpr uint8_t kScheduleViewCount = 3;

// "planned", "actual", "compare".
std::string_view ScheduleViewText(ScheduleView view);
std::optional<ScheduleView> ScheduleViewFromText(std::string_view text);
