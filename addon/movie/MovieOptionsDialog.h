#pragma once
// The movie's time, picture size and what is drawn into its picture, opened from the movie
// settings dialog. Confirmed, it changes the settings' movie options; cancelled, nothing.
#include "schedule/tasks/MovieOptions.h"

#include <cstdint>

class MovieOptionsDialog {
public:
    static constexpr int16_t kDialogId = 32510;
    // The list of its texts (popup entries and the words drawn into the picture).
    static constexpr int16_t kTextList = 32645;

    // True when confirmed; `options` then holds what was chosen.
    static bool Run(MovieOptions& options);
};
