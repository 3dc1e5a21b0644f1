#pragma once
// What a frame's picture tells besides the model, at the frame's date: the date in the planner's
// format and the week and day of the job, the tasks under work with their colours (the longest
// first), a legend of the looks they take, the part of the schedule behind it, and the title.
#include "schedule/tasks/DateTime.h"
#include "schedule/tasks/MovieOptions.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class TaskDB;
class ProfileSet;

struct OverlayEntry {
    std::string text; // 8-bit
    uint32_t colour = 0; // 0x00BBGGRR
};

struct OverlayFacts {
    std::string date, jobDay, title, progressText;
    std::vector<OverlayEntry> tasks;
    int32_t moreTasks = 0;
    std::string moreTasksText; // "+3 további"
    std::string legendTitle;
    std::vector<OverlayEntry> legend;
    double progress = 0; // 0 to 1
};

// `start` and `end`: the movie's range, which the job's days and the progress count in;
// `typeColours` the colours of the types' bars (0x00BBGGRR), for looks of the type's own.
OverlayFacts GatherOverlayFacts(const TaskDB& db, const ProfileSet& profiles, const std::array<uint32_t, 5>& typeColours,
                                const MovieOptions& options, const DateTime& date, const DateTime& start,
                                const DateTime& end);

// The date in a format of codes: %Y %y %m %d %H %M %S %j as the C runtime writes them, %J the
// job's day and %K its week, both from 1 at `start`, and %% a percent sign; anything else is
// written as it stands. At most 255 bytes.
std::string FormatOverlayDate(std::string_view format, const DateTime& date, const DateTime& start);
