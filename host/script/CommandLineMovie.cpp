#include "host/script/CommandLineMovie.h"

#include <filesystem>
#include <ostream>
#include <sstream>

namespace {

constexpr const char* kMadeAlert = "alert 32524";
constexpr const char* kMovieDialog = "32503";
constexpr const char* kOptionsDialog = "32510";
constexpr int kOptionsButton = 28;
constexpr int kOpenScheduleItem = 3, kWebPageItem = 17;

// The frame rates and sizes in the order of the options dialog's pop-ups, from 1.
constexpr int kRates[] = {0, 1, 10, 24, 25, 30, 60};

std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return s;
}

// The open dialog's kind of a schedule file, by its extension.
int ScheduleKind(const std::string& path) {
    std::string ext = Lower(std::filesystem::path(path).extension().string());
    if (ext == ".txt") return 1;
    if (ext == ".xml") return 2;
    if (ext == ".xer") return 3;
    return 0;
}

// The movie kind's pop-up entry by the file's extension: MP4 unless it says QuickTime or AVI.
int MovieKind(const std::string& path) {
    std::string ext = Lower(std::filesystem::path(path).extension().string());
    if (ext == ".mov") return 1;
    if (ext == ".avi") return 2;
    return 3;
}

// The schedule opened and shown in the request's view.
std::string OpenScheduleLines(const MovieRequest& r, const std::string& schedule) {
    std::string s = "choose " + Quoted(schedule) + " " + std::to_string(ScheduleKind(schedule)) + "\nmenu " +
                    std::to_string(kOpenScheduleItem) + "\n";
    if (!r.view.empty()) s += "schedule view " + r.view + "\n";
    return s;
}

} // namespace

std::string MovieScheduleOf(const MovieRequest& request, const std::string& model) {
    if (!request.schedule.empty()) return request.schedule;
    if (model.empty()) return {};
    std::filesystem::path beside = std::filesystem::path(model).replace_extension(".csp");
    std::error_code ec;
    return std::filesystem::is_regular_file(beside, ec) ? beside.string() : std::string();
}

std::string MovieScript(const MovieRequest& r, const std::string& schedule) {
    std::ostringstream s;
    s << OpenScheduleLines(r, schedule);
    int rate = 1;
    for (int i = 0; i < static_cast<int>(std::size(kRates)); ++i)
        if (kRates[i] == r.fps) rate = i + 1;
    int size = r.height == 720 ? 2 : r.height == 1080 ? 3 : r.height == 2160 ? 4 : 1;
    s << "dialog " << kOptionsDialog << " timing=" << (r.seconds > 0 ? 2 : 1);
    if (r.seconds > 0) s << " seconds=" << r.seconds;
    s << " fps=" << rate << " size=" << size;
    const std::pair<const char*, uint16_t> overlays[] = {{"date", 1}, {"tasks", 2}, {"legend", 4},
                                                         {"progress", 8}, {"gantt", 16}, {"title", 32}};
    for (const auto& [name, bit] : overlays) s << " " << name << "=" << ((r.overlays & bit) != 0 ? 1 : 0);
    if (!r.title.empty() && (r.overlays & 32) != 0) s << " title-text=" << Quoted(r.title);
    s << "\n";
    // The range first; the movie from the current view; the kind by the file's extension.
    s << "dialog " << kMovieDialog;
    if (!r.from.empty()) s << " start=" << r.from;
    if (!r.to.empty()) s << " end=" << r.to;
    s << " source#current=1 kind=" << MovieKind(r.out) << " press " << kOptionsButton << " press 1\n";
    s << "choose " << Quoted(r.out) << "\n";
    if (MovieKind(r.out) == 2) s << "dialog avi-options\n";
    s << "menu 6\n";
    return s.str();
}

std::string WebPageScript(const MovieRequest& r, const std::string& schedule) {
    std::ostringstream s;
    s << OpenScheduleLines(r, schedule) << "choose " << Quoted(r.web) << "\nmenu " << kWebPageItem << "\n";
    return s.str();
}

int MovieTranscriptWatch::overflow(int c) {
    if (c == traits_type::eof()) return traits_type::not_eof(c);
    if (c != '\n') {
        line_ += static_cast<char>(c);
        return c;
    }
    if (line_.rfind("progress ", 0) == 0) errors_ << "quorvel: " << progressWord_ << " " << line_.substr(9) << "\n" << std::flush;
    else if (line_.rfind(kMadeAlert, 0) == 0) made_ = true;
    else if (line_.rfind("error ", 0) == 0 || line_.rfind("report ", 0) == 0 || line_.rfind("alert ", 0) == 0) {
        alerted_ = alerted_ || line_.rfind("alert ", 0) == 0;
        trouble_ += line_ + "\n";
    }
    line_.clear();
    return c;
}
