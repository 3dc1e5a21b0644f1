// Microsoft Project's XML ("Save As XML"): the tasks of a plan as another planning program
// writes them, with the plan's logic (outline, dependencies, progress) kept beside each task.
// Only read; a schedule from it is saved as a project file or a schedule text.
#include "schedule/formats/ProjectXml.h"

#include "schedule/tasks/TaskDB.h"

#include "basekit/BKText.h"
#include "hostcalls/HostInterface.h"
#include "resources/AddonAlerts.h"
#include "resources/AddonResources.h"
#include "schedule/files/ScheduleFileReading.h"
#include "schedule/formats/ScheduleTextLines.h"
#include "schedule/formats/XmlElements.h"
#include "schedule/tasks/ConstructionTypeText.h"
#include "schedule/tasks/DayBoundary.h"
#include "schedule/tasks/NumberText.h"

#include <pugixml.hpp>

#include <algorithm>
#include <limits>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

constexpr int16_t kReadingNotes = 32614;

// "2009-03-02T08:00:00": the day, at midnight. Empty when the text is no such date.
std::optional<DateTime> DayOf(std::string_view text) {
    if (text.size() < 10 || text[4] != '-' || text[7] != '-' || (text.size() > 10 && text[10] != 'T')) return std::nullopt;
    auto y = IntegerOf(text.substr(0, 4)), m = IntegerOf(text.substr(5, 2)), d = IntegerOf(text.substr(8, 2));
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
    auto h = IntegerOf(text.substr(11, 2)), m = IntegerOf(text.substr(14, 2));
    auto s = seconds ? IntegerOf(text.substr(17, 2)) : std::optional<int64_t>(0);
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

// The task's baseline number 0 (a missing number counts as 0), or none.
pugi::xml_node FirstBaseline(const pugi::xml_node& task) {
    for (pugi::xml_node b : task.children()) {
        if (!IsElementNamed(b, "Baseline")) continue;
        std::string_view number = ChildText(b, "Number");
        if (number.empty() || IntegerOf(number) == 0) return b;
    }
    return {};
}

int32_t ClampedId(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

} // namespace

bool ImportProjectXml(TaskDB& db, const std::string& path) {
    std::optional<std::string> bytes = OpenScheduleFileBytes(path);
    if (!bytes) return false;
    pugi::xml_document document;
    pugi::xml_parse_result parsed = document.load_buffer(bytes->data(), bytes->size(), pugi::parse_default, pugi::encoding_auto);
    pugi::xml_node project = document.document_element();
    if (!parsed || !IsElementNamed(project, "Project")) {
        return RefuseScheduleFile(path, kAlertUnknownFormat);
    }

    // Custom fields the plan calls "Típus" or "Type" hold the construction type.
    size_t lost = 0;
    std::set<std::string> typeFields;
    for (pugi::xml_node a : ChildNamed(project, "ExtendedAttributes").children()) {
        if (!IsElementNamed(a, "ExtendedAttribute")) continue;
        if (IsTypeFieldName(ChildText(a, "Alias"))) typeFields.emplace(ChildText(a, "FieldID"));
    }

    std::vector<Task> loaded;
    std::vector<TaskPlan> plans;
    std::vector<pugi::xml_node> rows; // the XML of each task read, for its dependencies
    const Task defaultTask;
    for (pugi::xml_node t : ChildNamed(project, "Tasks").children()) {
        if (!IsElementNamed(t, "Task")) continue;
        std::optional<int64_t> uid = IntegerOf(ChildText(t, "UID"));
        std::optional<int64_t> id = IntegerOf(ChildText(t, "ID"));
        // The plan's own summary row and blank rows are not part of the schedule.
        if ((uid && *uid == 0) || ChildText(t, "IsNull") == "1") continue;
        std::string name = Utf8ToCodePage(ChildText(t, "Name"), lost);
        if (name.empty()) continue;

        Task& task = loaded.emplace_back(defaultTask);
        TaskPlan& plan = plans.emplace_back();
        rows.push_back(t);
        task.id = ClampedId(id ? *id : uid.value_or(0));
        std::optional<ConstructionType> type = ConstructionTypeOfPrefix(name);
        task.SetName(type ? std::string_view(name).substr(2) : std::string_view(name));
        for (pugi::xml_node a : t.children()) {
            if (!IsElementNamed(a, "ExtendedAttribute") || !typeFields.count(std::string(ChildText(a, "FieldID")))) continue;
            if (auto named = ConstructionTypeOfText(BKFromUtf8(ChildText(a, "Value")))) type = named;
        }
        task.type = type.value_or(ConstructionType::Construction);

        // The planned dates are the plan's first baseline where it was saved, else the current
        // dates; the actual ones are kept apart below.
        std::string_view startText = ChildText(t, "Start"), finishText = ChildText(t, "Finish");
        if (pugi::xml_node baseline = FirstBaseline(t)) {
            std::string_view s = ChildText(baseline, "Start"), f = ChildText(baseline, "Finish");
            if (!s.empty() && !f.empty()) startText = s, finishText = f;
        }
        std::optional<DateTime> start = DayOf(startText), finish = DayOf(finishText);
        if ((!startText.empty() && !start) || (!finishText.empty() && !finish)) {
            return RefuseScheduleFile(path, kAlertUnknownDateOrder);
        }
        if (start) task.start = task.finish = *start;
        plan.summary = ChildText(t, "Summary") == "1";
        // Microsoft Project's own rule: a task of no length is a milestone, flagged or not (plans
        // write their section headings so). A summary row takes its length from its tasks.
        std::string_view length = ChildText(t, "Duration");
        std::optional<DateTime> startMoment = MomentOf(startText);
        bool zeroLength = length.empty() ? startMoment && startMoment == MomentOf(finishText) : IsZeroLength(length);
        plan.milestone = !plan.summary && (ChildText(t, "Milestone") == "1" || zeroLength);
        // A milestone marks its day, as every task lasts through its finish's day.
        if (plan.milestone && start) task.finish = EndOfDayOf(*start);
        else if (finish) task.finish = EndOfDayOf(*finish);

        for (auto [field, into] : {std::pair{"ActualStart", &plan.actualStart}, std::pair{"ActualFinish", &plan.actualFinish}}) {
            std::string_view text = ChildText(t, field);
            if (text.empty()) continue;
            std::optional<DateTime> moment = MomentOf(text);
            if (!moment || !TaskPlan::IsStorableMoment(*moment)) {
                return RefuseScheduleFile(path, kAlertUnknownDateOrder);
            }
            *into = *moment;
        }
        plan.uid = uid ? ClampedId(*uid) : 0;
        if (plan.uid < 0) plan.uid = 0;
        if (auto level = IntegerOf(ChildText(t, "OutlineLevel")); level && *level > 0)
            plan.outlineLevel = static_cast<uint16_t>(std::min<int64_t>(*level, TaskPlan::kOutlineMax));
        std::string_view wbs = ChildText(t, "WBS");
        if (wbs.empty()) wbs = ChildText(t, "OutlineNumber");
        plan.wbs = Utf8ToCodePage(wbs, lost);
        plan.wbs.resize(std::min({plan.wbs.size(), TaskPlan::kWbsMax, plan.wbs.find('\0')}));
        if (auto percent = IntegerOf(ChildText(t, "PercentComplete")))
            plan.percentComplete = static_cast<uint8_t>(std::clamp<int64_t>(*percent, 0, 100));
    }
    if (loaded.empty()) {
        return RefuseScheduleFile(path, kAlertUnknownFormat);
    }
    // Dependencies on tasks of this schedule; one on a task left out (another project's, a blank
    // row's) or on itself has nothing to hold on to.
    std::set<int32_t> uids;
    for (const TaskPlan& plan : plans)
        if (plan.uid > 0) uids.insert(plan.uid);
    for (size_t i = 0; i < rows.size(); ++i) {
        TaskPlan& plan = plans[i];
        for (pugi::xml_node link : rows[i].children()) {
            if (!IsElementNamed(link, "PredecessorLink") || plan.predecessors.size() >= TaskPlan::kPredecessorsMax) continue;
            std::optional<int64_t> from = IntegerOf(ChildText(link, "PredecessorUID"));
            if (!from || *from == plan.uid || !uids.count(ClampedId(*from))) continue;
            Dependency d;
            d.predecessorUid = ClampedId(*from);
            std::string_view typeText = ChildText(link, "Type");
            std::optional<int64_t> type = typeText.empty() ? std::optional<int64_t>(1) : IntegerOf(typeText);
            if (!type || *type < 0 || *type > 3) continue;
            d.type = static_cast<DependencyType>(*type);
            if (auto lag = IntegerOf(ChildText(link, "LinkLag"))) d.lag = ClampedId(*lag);
            if (auto format = IntegerOf(ChildText(link, "LagFormat")); format && *format >= 0 && *format < 256)
                d.lagFormat = static_cast<uint8_t>(*format);
            plan.predecessors.push_back(d);
        }
    }
    if (!db.ImportPlan(std::move(loaded), std::move(plans), path)) return false;
    if (lost > 0) {
        std::string count = std::to_string(lost);
        HostReportWrite(AddonFormat(kReadingNotes, 1, {count}).c_str(), 0);
    }
    return true;
}
