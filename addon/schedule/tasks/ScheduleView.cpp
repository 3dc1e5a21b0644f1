#include "schedule/tasks/ScheduleView.h"

#include <array>

namespace {

constexpr std::array<std::string_view, kScheduleViewCount> kTexts = {"planned", "actual", "compare"};

} // namespace

std::string_view ScheduleViewText(ScheduleView view) {
    const auto i = static_cast<size_t>(view);
    return i < kTexts.size() ? kTexts[i] : std::string_view("planned");
}

std::optional<ScheduleView> ScheduleViewFromText(std::string_view text) {
    for (size_t i = 0; i < kTexts.size(); ++i)
        if (kTexts[i] == text) return static_cast<ScheduleView>(i);
    return std::nullopt;
}
