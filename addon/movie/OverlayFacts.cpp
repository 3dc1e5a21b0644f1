#include "movie/OverlayFacts.h"

#include "bytes/FixedText.h"
#include "display/ProfileSet.h"
#include "movie/MovieOptionsDialog.h"
#include "resources/AddonResources.h"
#include "schedule/tasks/TaskDB.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace {

// Items of the movie options' text list.
enum : int16_t { kMoreTasks = 10, kJobDay = 11, kProgress = 12, kLegend = 13 };

constexpr size_t kMostDateText = 255;

std::string Text(int16_t item) { return AddonString(MovieOptionsDialog::kTextList, item); }

std::string Replaced(std::string text, std::string_view code, const std::string& by) {
    for (size_t at = text.find(code); at != std::string::npos; at = text.find(code, at + by.size()))
        text.replace(at, code.size(), by);
    return text;
}

uint32_t ColourOf(const PhaseLook& look, uint32_t typeColour) {
    if (look.kind != PhaseLook::Kind::Colour) return typeColour;
    return static_cast<uint32_t>(look.colour.blue) << 16 | static_cast<uint32_t>(look.colour.green) << 8 |
           look.colour.red;
}

} // namespace

std::string FormatOverlayDate(std::string_view format, const DateTime& date, const DateTime& start) {
    DateTimeFields f{};
    if (!date.GetFields(f)) return {};
    int64_t day = std::max<int64_t>(0, (date - start).ticks / kTicksPerDay) + 1;
    auto two = [](int64_t v) { return (v < 10 ? "0" : "") + std::to_string(v); };
    std::string out;
    for (size_t i = 0; i < format.size() && out.size() < kMostDateText; ++i) {
        char c = format[i];
        char code = c == '%' && i + 1 < format.size() ? format[i + 1] : 0;
        std::string part;
        switch (code) {
        case 'Y': part = std::to_string(f.year); break;
        case 'y': part = two(f.year % 100); break;
        case 'm': part = two(f.month); break;
        case 'd': part = two(f.day); break;
        case 'H': part = two(f.hour); break;
        case 'M': part = two(f.minute); break;
        case 'S': part = two(f.second); break;
        case 'j': part = (f.dayOfYear < 100 ? "0" : "") + two(f.dayOfYear); break;
        case 'J': part = std::to_string(day); break;
        case 'K': part = std::to_string((day - 1) / 7 + 1); break;
        case '%': part = "%"; break;
        default: out += c; continue; // not a code: as it stands
        }
        out += part;
        ++i;
    }
    if (out.size() > kMostDateText) out.resize(kMostDateText);
    return out;
}

OverlayFacts GatherOverlayFacts(const TaskDB& db, const ProfileSet& profiles, const std::array<uint32_t, 5>& typeColours,
                                const MovieOptions& options, const DateTime& date, const DateTime& start,
                                const DateTime& end) {
    OverlayFacts f;
    f.date = FormatOverlayDate(options.DateFormat(), date, start);
    f.jobDay = FormatOverlayDate(Text(kJobDay), date, start);
    f.title = std::string(BKTextOf(options.title));

    struct Running {
        const Task* task;
        int64_t length;
    };
    std::vector<Running> running;
    std::vector<std::string> shownProfiles;
    const auto& tasks = db.Tasks();
    for (size_t i = 0; i < tasks.size(); ++i) {
        const Task& t = tasks[i];
        if (!t.IsValid() || db.IsMarkerAt(i)) continue;
        const AppearanceProfile& p = profiles.ProfileFor(t);
        if (std::find(shownProfiles.begin(), shownProfiles.end(), p.name) == shownProfiles.end())
            shownProfiles.push_back(p.name);
        if (t.start <= date && date < t.finish) running.push_back({&t, (t.finish - t.start).ticks});
    }
    // The longest first; equal ones in the schedule's order.
    std::stable_sort(running.begin(), running.end(), [](const Running& a, const Running& b) { return a.length > b.length; });
    size_t shown = std::min(running.size(), static_cast<size_t>(std::max<int16_t>(options.taskLines, 1)));
    for (size_t i = 0; i < shown; ++i) {
        const Task& t = *running[i].task;
        size_t index = ConstructionTypeIndex(t.type);
        uint32_t type = index < typeColours.size() ? typeColours[index] : typeColours[0];
        f.tasks.push_back({std::string(t.Name()), ColourOf(profiles.ProfileFor(t).during, type)});
    }
    f.moreTasks = static_cast<int32_t>(running.size() - shown);
    if (f.moreTasks > 0) f.moreTasksText = Replaced(Text(kMoreTasks), "%d", std::to_string(f.moreTasks));

    f.legendTitle = Text(kLegend);
    for (const std::string& name : shownProfiles) {
        const AppearanceProfile* p = profiles.Find(name);
        if (p == nullptr) continue;
        uint32_t type = typeColours[0];
        for (size_t k = 0; k < kConstructionTypeCount; ++k)
            if (profiles.TypeChoice(static_cast<ConstructionType>(k)) == name) type = typeColours[k];
        f.legend.push_back({name, ColourOf(p->during, type)});
    }

    double span = static_cast<double>((end - start).ticks);
    f.progress = span > 0 ? std::clamp(static_cast<double>((date - start).ticks) / span, 0.0, 1.0) : 1.0;
    f.progressText = Replaced(Text(kProgress), "%d%%", std::to_string(static_cast<int>(std::lround(f.progress * 100))) + "%");
    return f;
}
