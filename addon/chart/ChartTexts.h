#pragma once
// The chart's words from the resources: month and day names of the time scale, the play button's
// two captions, the speeds, and the names of its undo steps.
#include <array>
#include <cstdint>
#include <string>

struct ChartTexts {
    std::array<std::string, 12> months, monthsShort;
    std::array<std::string, 7> days; // Monday first
    std::string title, play, pause, scrubStep, moveStep, startStep, finishStep;
    std::array<std::string, 3> speeds;

    static ChartTexts Load();
    // "12. hét": the week's number in the year, as the format of the resources writes it.
    std::string Week(int32_t number) const;
};
