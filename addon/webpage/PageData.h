#pragma once
// The page data: the schedule, the links, the facts, the looks and, for each view the schedule
// can show, every element's timeline of looks, as the page's JSON (its form is the page's
// contract with the program).
#include "webpage/PageModel.h"

#include <nlohmann/json.hpp>

#include <array>
#include <cstdint>
#include <functional>
#include <string>

class ProfileSet;

struct PageDataInput {
    std::string title;        // UTF-8
    int64_t writtenMinute = 0;
    // The colour of each construction type's material, by type index.
    std::array<std::array<uint8_t, 3>, 5> typeColours{};
};

// `step(done, total)` after each element's timelines, false to stop (then an empty value).
nlohmann::json MakePageData(const TaskDB& db, const ProfileSet& profiles, const PageModel& model,
                            const PageDataInput& input, const std::function<bool(size_t, size_t)>& step);

// The views the page offers: the plan alone, or all three where the schedule has actual data.
std::vector<ScheduleView> PageViews(const TaskDB& db);
