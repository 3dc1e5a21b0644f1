#include "host/app/MovieRequest.h"

#include "host/app/StartOptions.h"

#include <array>
#include <cstdlib>
#include <utility>

namespace {

struct Named {
    const char* name;
    uint16_t bit;
};
constexpr std::array<Named, 6> kOverlays{{
    {"date", 1}, {"tasks", 2}, {"legend", 4}, {"progress", 8}, {"gantt", 16}, {"title", 32},
}};

bool WholeNumber(const std::string& text, int32_t low, int32_t high, int32_t& value) {
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos) return false;
    long v = std::strtol(text.c_str(), nullptr, 10);
    if (v < low || v > high) return false;
    value = static_cast<int32_t>(v);
    return true;
}

bool IsDate(const std::string& text) {
    int32_t value = 0;
    return text.size() == 10 && ParseNowOption(text, value);
}

} // namespace

bool IsMovieOption(const std::string& name) {
    for (const char* o : {"--movie", "--web", "--schedule", "--size", "--fps", "--seconds", "--from", "--to", "--overlay",
                          "--title", "--view"})
        if (name == o) return true;
    return false;
}

bool TakeMovieOption(MovieRequest& r, const std::string& name, const std::string& value, std::string& error) {
    auto fail = [&error](std::string text) {
        error = std::move(text);
        return false;
    };
    if (name == "--movie") {
        if (value.empty()) return fail("--movie needs a file");
        r.out = value;
    } else if (name == "--web") {
        if (value.empty()) return fail("--web needs a file");
        r.web = value;
    } else if (name == "--schedule") {
        if (value.empty()) return fail("--schedule needs a file");
        r.schedule = value;
    } else if (name == "--size") {
        if (value == "1280x720") r.width = 1280, r.height = 720;
        else if (value == "1920x1080") r.width = 1920, r.height = 1080;
        else if (value == "3840x2160") r.width = 3840, r.height = 2160;
        else return fail("--size takes 1280x720, 1920x1080 or 3840x2160");
    } else if (name == "--fps") {
        int32_t v = 0;
        if (!WholeNumber(value, 1, 60, v) || (v != 1 && v != 10 && v != 24 && v != 25 && v != 30 && v != 60))
            return fail("--fps takes 1, 10, 24, 25, 30 or 60");
        r.fps = v;
    } else if (name == "--seconds") {
        if (!WholeNumber(value, 1, 3600, r.seconds)) return fail("--seconds takes a whole number from 1 to 3600");
    } else if (name == "--from" || name == "--to") {
        if (!IsDate(value)) return fail(name + " needs a date YYYY-MM-DD");
        (name == "--from" ? r.from : r.to) = value;
    } else if (name == "--overlay") {
        r.overlays = 0;
        size_t at = 0;
        while (at <= value.size()) {
            size_t comma = value.find(',', at);
            std::string word = value.substr(at, comma == std::string::npos ? std::string::npos : comma - at);
            bool known = false;
            for (const Named& n : kOverlays)
                if (word == n.name) r.overlays |= n.bit, known = true;
            if (!known) return fail("--overlay takes date,tasks,legend,progress,gantt,title; not \"" + word + "\"");
            if (comma == std::string::npos) break;
            at = comma + 1;
        }
    } else if (name == "--title") {
        r.title = value;
    } else if (name == "--view") {
        if (value != "planned" && value != "actual" && value != "compare")
            return fail("--view takes planned, actual or compare");
        r.view = value;
    } else {
        return fail("unknown option " + name);
    }
    return true;
}

std::string MovieOptionsHelp() {
    return "  --movie FILE     make the movie (.mp4, .mov or .avi) of the model and its schedule, then end\n"
           "  --web FILE       write the shared web page (.html) of the model and its schedule instead,\n"
           "                   then end; it takes --schedule and --view\n"
           "  --schedule FILE  the schedule (.csp, .txt, .xml, .xer; default: the model's name with .csp)\n"
           "  --size WxH       1280x720, 1920x1080 or 3840x2160 (default: the 3D window's size)\n"
           "  --fps N          1, 10, 24, 25, 30 or 60 frames a second\n"
           "  --seconds N      the whole movie in N seconds (default: a frame a day)\n"
           "  --from DATE      the first day (YYYY-MM-DD; default: the schedule's)\n"
           "  --to DATE        the last day\n"
           "  --overlay LIST   drawn into the picture: date,tasks,legend,progress,gantt,title\n"
           "  --title TEXT     the title the overlay shows\n"
           "  --view VIEW      planned, actual or compare (default: the schedule's own)\n";
}
