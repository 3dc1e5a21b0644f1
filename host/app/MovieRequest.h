#pragma once
// A movie asked for on the headless program's command line: made from the model and a schedule
// without a window, its progress on standard error. Read option by option with the program's
// other options; checked whole once the line is read.
#include <cstdint>
#include <string>

struct MovieRequest {
    std::string out;       // the movie file; empty when no movie is asked for
    std::string schedule;  // the schedule file; empty: FILE.csp beside the model
    int32_t width = 0, height = 0; // 0: the window's
    int32_t fps = 0;       // 0: the step movie's own
    int32_t seconds = 0;   // 0: one frame a day
    std::string from, to;  // YYYY-MM-DD, empty: the schedule's first or last day
    uint16_t overlays = 0; // the settings' bits: date 1, tasks 2, legend 4, progress 8, gantt 16, title 32
    std::string title;
    std::string view = "planned";
    // The shared page instead of a movie, from the same model, schedule and view; empty: none.
    std::string web;

    bool Asked() const { return !out.empty(); }
    bool WebAsked() const { return !web.empty(); }
    // Whether any option that only a movie takes was given.
    bool MovieOnlyOptions() const {
        return width != 0 || fps != 0 || seconds != 0 || !from.empty() || !to.empty() || overlays != 0 || !title.empty();
    }
};

// Whether `name` is one of the movie's options (each takes a value).
bool IsMovieOption(const std::string& name);
// Takes the option's value; false with `error` set ("--fps takes 1, 10, 24, 25, 30 or 60").
bool TakeMovieOption(MovieRequest& request, const std::string& name, const std::string& value, std::string& error);
// The options' help lines, as the program's help lists its own.
std::string MovieOptionsHelp();
