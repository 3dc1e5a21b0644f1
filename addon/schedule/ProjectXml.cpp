// Microsoft Project's XML ("Save As XML"): the tasks of a plan as another planning program
// writes them, with the plan's logic (outline, dependencies, progress) kept beside each task.
// Only read; a schedule from it is saved as a project file or a schedule text.
#include "schedule/TaskDB.h"

#include "basekit/BKText.h"
#include "filekit/FKError.h"
#include "filekit/FKFile.h"
#include "hostcalls/HostInterface.h"
#include "resources/AddonAlerts.h"
#include "resources/AddonResources.h"
#include "schedule/ConstructionTypeText.h"
#include "schedule/DayBoundary.h"
#include "schedule/ScheduleTextLines.h"

#include <pugixml.hpp>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <limits>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

constexpr int16_t kReadingNotes = 32614;
constexpr uint64_t kMaxFileBytes = 256u << 20;

// The whole file, or nothing when it cannot be read to its end within the limit.
std::optional<std::string> ReadWhole(FKFile& file) {
    std::string bytes;
    std::vector<char> buffer(64 * 1024);
    for (;;) {
        size_t got = 0;
        int32_t err = file.Read(buffer.data(), buffer.size(), got);
        bytes.append(buffer.data(), got);
        if (bytes.size() > kMaxFileBytes) return std::nullopt;
        if (err == kFKEndOfFileErr) return bytes;
        if (err != kFKNoErr) return std::nullopt;
    }
}

// Element names without a namespace prefix: writers differ in whether they use one.
bool IsNamed(const pugi::xml_node& node, std::string_view name) {
    std::string_view full = node.name();
    size_t colon = full.find(':');
    return (colon == std::string_view::npos ? full : full.substr(colon + 1)) == name;
}

pugi::xml_node Child(const pugi::xml_node& node, std::string_view name) {
    for (pugi::xml_node c : node.children())
        if (c.type() == pugi::node_element && IsNamed(c, name)) return c;
    return {};
}

std::string_view Trimmed(const char* text) {
    std::string_view s(text);
    size_t b = s.find_first_not_of(" \t\r\n"), e = s.find_last_not_of(" \t\r\n");
    return b == std::string_view::npos ? std::string_view() : s.substr(b, e - b + 1);
}

std::string_view TextOf(const pugi::xml_node& node, std::string_view name) { return Trimmed(Child(node, name).text().get()); }

std::optional<int64_t> NumberOf(std::string_view text) {
    int64_t value = 0;
    auto r = std::from_chars(text.data(), text.data() + text.size(), value);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size()) return std::nullopt;
    return value;
}

// "2009-03-02T08:00:00": the day, at midnight. Empty when the text is no such date.
std::optional<DateTime> DayOf(std::string_view text) {
    if (text.size() < 10 || text[4] != '-' || text[7] != '-' || (text.size() > 10 && text[10] != 'T')) return std::nullopt;
    auto y = NumberOf(text.substr(0, 4)), m = NumberOf(text.substr(5, 2)), d = NumberOf(text.substr(8, 2));
    if (!y || !m || !d) return std::nullopt;
    DateTime day(static_cast<int32_t>(*y), static_cast<int32_t>(*m), static_cast<int32_t>(*d));
    if (day.status != DateTimeStatus::Valid) return std::nullopt;
    return day;
}

// "2009-03-02T08:30:00" (or without the seconds): the moment, to the second.
std::optional<DateTime> MomentOf(std::string_view text) {
    std::optional<DateTime> day = DayOf(text);
    if (!day || text.size() == 10) return day;
    if (text.size() < 16 || text[13] != ':') return std::nullopt;
    bool seconds = text.size() >= 19 && text[16] == ':';
    auto h = NumberOf(text.substr(11, 2)), m = NumberOf(text.substr(14, 2));
    auto s = seconds ? NumberOf(text.substr(17, 2)) : std::optional<int64_t>(0);
    if (!h || !m || !s || *h > 23 || *m > 59 || *s > 59) return std::nullopt;
    DateTime moment(day->Year(), day->Month(), day->Day(), static_cast<int32_t>(*h), static_cast<int32_t>(*m),
                    static_cast<int32_t>(*s));
    if (moment.status != DateTimeStatus::Valid) return std::nullopt;
    return moment;
}

// An ISO 8601 length ("PT0H0M0S", "P0DT0H0M0S") whose every number is zero.
bool IsZeroLength(std::string_view text) {
    if (text.empty() || text[0] != 'P') return false;
    bool digit = false;
    for (char c : text.substr(1)) {
        if (c >= '1' && c <= '9') return false;
        digit = digit || c == '0';
    }
    return digit;
}

int32_t ClampedId(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

// The type letter before "_" in a name, or nothing.
std::optional<ConstructionType> TypeOfPrefix(std::string_view name) {
    if (name.size() < 2 || name[1] != '_') return std::nullopt;
    return ConstructionTypeOfText(name.substr(0, 1));
}

} // namespace

bool TaskDB::ImportProjectXml(const std::string& path) {
    FKFile file(FKLocation::FromPath8(path));
    if (file.OpenForReading() != kFKNoErr) {
        AddonAlert(kAlertCannotLoad, path.c_str());
        return false;
    }
    std::optional<std::string> bytes = ReadWhole(file);
    (void)file.Close(); // everything was read, or nothing is used
    if (!bytes) {
        AddonAlert(kAlertCannotLoad, path.c_str());
        return false;
    }
    pugi::xml_document document;
    pugi::xml_parse_result parsed = document.load_buffer(bytes->data(), bytes->size(), pugi::parse_default, pugi::encoding_auto);
    pugi::xml_node project = document.document_element();
    if (!parsed || !IsNamed(project, "Project")) {
        AddonAlert(kAlertUnknownFormat, path.c_str());
        return false;
    }

    // Custom fields the plan calls "Típus" or "Type" hold the construction type.
    size_t lost = 0;
    std::set<std::string> typeFields;
    for (pugi::xml_node a : Child(project, "ExtendedAttributes").children()) {
        if (!IsNamed(a, "ExtendedAttribute")) continue;
        std::string alias = BKFromUtf8(TextOf(a, "Alias"));
        if (alias.empty()) continue;
        auto same = [&alias](std::string_view word) {
            return alias.size() == word.size() && BKCompareText(alias, word, BKCaseMode::Ignore) == 0;
        };
        if (same(AddonString(32612, 4)) || same(AddonString(32612, 5))) typeFields.emplace(TextOf(a, "FieldID"));
    }

    std::vector<Task> loaded;
    std::vector<TaskPlan> plans;
    std::vector<pugi::xml_node> rows; // the XML of each task read, for its dependencies
    const Task defaultTask;
    for (pugi::xml_node t : Child(project, "Tasks").children()) {
        if (!IsNamed(t, "Task")) continue;
        std::optional<int64_t> uid = NumberOf(TextOf(t, "UID"));
        std::optional<int64_t> id = NumberOf(TextOf(t, "ID"));
        // The plan's own summary row and blank rows are not part of the schedule.
        if ((uid && *uid == 0) || TextOf(t, "IsNull") == "1") continue;
        std::string name = Utf8ToCodePage(TextOf(t, "Name"), lost);
        if (name.empty()) continue;

        Task& task = loaded.emplace_back(defaultTask);
        TaskPlan& plan = plans.emplace_back();
        rows.push_back(t);
        task.id = ClampedId(id ? *id : uid.value_or(0));
        std::optional<ConstructionType> type = TypeOfPrefix(name);
        task.SetName(type ? std::string_view(name).substr(2) : std::string_view(name));
        for (pugi::xml_node a : t.children()) {
            if (!IsNamed(a, "ExtendedAttribute") || !typeFields.count(std::string(TextOf(a, "FieldID")))) continue;
            if (auto named = ConstructionTypeOfText(BKFromUtf8(TextOf(a, "Value")))) type = named;
        }
        task.type = type.value_or(ConstructionType::Construction);

        std::string_view startText = TextOf(t, "Start"), finishText = TextOf(t, "Finish");
        std::optional<DateTime> start = DayOf(startText), finish = DayOf(finishText);
        if ((!startText.empty() && !start) || (!finishText.empty() && !finish)) {
            AddonAlert(kAlertUnknownDateOrder, path.c_str());
            return false;
        }
        if (start) task.start = task.finish = *start;
        plan.summary = TextOf(t, "Summary") == "1";
        // Microsoft Project's own rule: a task of no length is a milestone, flagged or not (plans
        // write their section headings so). A summary row takes its length from its tasks.
        std::string_view length = TextOf(t, "Duration");
        std::optional<DateTime> startMoment = MomentOf(startText);
        bool zeroLength = length.empty() ? startMoment && startMoment == MomentOf(finishText) : IsZeroLength(length);
        plan.milestone = !plan.summary && (TextOf(t, "Milestone") == "1" || zeroLength);
        // A milestone marks its day, as every task lasts through its finish's day.
        if (plan.milestone && start) task.finish = EndOfDayOf(*start);
        else if (finish) task.finish = EndOfDayOf(*finish);

        for (auto [field, into] : {std::pair{"ActualStart", &plan.actualStart}, std::pair{"ActualFinish", &plan.actualFinish}}) {
            std::string_view text = TextOf(t, field);
            if (text.empty()) continue;
            std::optional<DateTime> moment = MomentOf(text);
            if (!moment || !TaskPlan::IsStorableMoment(*moment)) {
                AddonAlert(kAlertUnknownDateOrder, path.c_str());
                return false;
            }
            *into = *moment;
        }
        plan.uid = uid ? ClampedId(*uid) : 0;
        if (plan.uid < 0) plan.uid = 0;
        if (auto level = NumberOf(TextOf(t, "OutlineLevel")); level && *level > 0)
            plan.outlineLevel = static_cast<uint16_t>(std::min<int64_t>(*level, TaskPlan::kOutlineMax));
        std::string_view wbs = TextOf(t, "WBS");
        if (wbs.empty()) wbs = TextOf(t, "OutlineNumber");
        plan.wbs = Utf8ToCodePage(wbs, lost);
        plan.wbs.resize(std::min({plan.wbs.size(), TaskPlan::kWbsMax, plan.wbs.find('\0')}));
        if (auto percent = NumberOf(TextOf(t, "PercentComplete")))
            plan.percentComplete = static_cast<uint8_t>(std::clamp<int64_t>(*percent, 0, 100));
    }
    if (loaded.empty()) {
        AddonAlert(kAlertUnknownFormat, path.c_str());
        return false;
    }
    // Dependencies on tasks of this schedule; one on a task left out (another project's, a blank
    // row's) or on itself has nothing to hold on to.
    std::set<int32_t> uids;
    for (const TaskPlan& plan : plans)
        if (plan.uid > 0) uids.insert(plan.uid);
    for (size_t i = 0; i < rows.size(); ++i) {
        TaskPlan& plan = plans[i];
        for (pugi::xml_node link : rows[i].children()) {
            if (!IsNamed(link, "PredecessorLink") || plan.predecessors.size() >= TaskPlan::kPredecessorsMax) continue;
            std::optional<int64_t> from = NumberOf(TextOf(link, "PredecessorUID"));
            if (!from || *from == plan.uid || !uids.count(ClampedId(*from))) continue;
            Dependency d;
            d.predecessorUid = ClampedId(*from);
            std::string_view typeText = TextOf(link, "Type");
            std::optional<int64_t> type = typeText.empty() ? std::optional<int64_t>(1) : NumberOf(typeText);
            if (!type || *type < 0 || *type > 3) continue;
            d.type = static_cast<DependencyType>(*type);
            if (auto lag = NumberOf(TextOf(link, "LinkLag"))) d.lag = ClampedId(*lag);
            if (auto format = NumberOf(TextOf(link, "LagFormat")); format && *format >= 0 && *format < 256)
                d.lagFormat = static_cast<uint8_t>(*format);
            plan.predecessors.push_back(d);
        }
    }
    ReplaceTasks(std::move(loaded), std::move(plans));
    if (lost > 0) {
        std::string count = std::to_string(lost);
        HostReportWrite(AddonFormat(kReadingNotes, 1, {count}).c_str(), 0);
    }
    return true;
}
