#include "schedule/formats/ProjectXmlDocument.h"

#include "basekit/BKText.h"
#include "resources/AddonResources.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cstdio>
#include <limits>
#include <optional>
#include <set>
#include <sstream>
#include <utility>

namespace {

constexpr const char* kNamespace = "http://schemas.microsoft.com/project";
constexpr const char* kTypeFieldId = "188743731"; // Text1
constexpr int32_t kCalendarUid = 1;
constexpr int32_t kWorkStartHour = 8, kWorkFinishHour = 17, kMinutesPerDay = 480;
constexpr int64_t kTicksPerDay = 86400LL * 10'000'000;
constexpr uint8_t kDurationInDays = 7; // Microsoft Project's code for a length shown in days

// Microsoft Project takes no control character but the line breaks and the tab.
std::string XmlText(std::string_view cp1250) {
    std::string utf8 = BKToUtf8(cp1250);
    std::erase_if(utf8, [](char c) { return static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r'; });
    return utf8;
}

std::string MomentText(const DateTime& d) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", d.Year(), d.Month(), d.Day(), d.Hour(), d.Minute(), d.Second());
    return text;
}

DateTime AtHour(const DateTime& day, int32_t hour) { return DateTime(day.Year(), day.Month(), day.Day(), hour); }

// Monday to Friday between the two midnights, as the standard calendar works.
int64_t WorkingDays(const DateTime& first, const DateTime& end) {
    int64_t days = (end.ticks - first.ticks) / kTicksPerDay;
    if (days <= 0) return 0;
    int64_t working = days / 7 * 5;
    int32_t weekday = first.DayOfWeek(); // 1 Sunday ... 7 Saturday
    for (int64_t i = 0; i < days % 7; ++i, weekday = weekday % 7 + 1)
        if (weekday != 1 && weekday != 7) ++working;
    return working;
}

void Add(pugi::xml_node parent, const char* name, const std::string& text) { parent.append_child(name).text().set(text.c_str()); }
void Add(pugi::xml_node parent, const char* name, int64_t value) { Add(parent, name, std::to_string(value)); }

void AddStandardCalendar(pugi::xml_node project) {
    pugi::xml_node calendar = project.append_child("Calendars").append_child("Calendar");
    Add(calendar, "UID", kCalendarUid);
    Add(calendar, "Name", "Standard");
    Add(calendar, "IsBaseCalendar", 1);
    Add(calendar, "BaseCalendarUID", -1);
    pugi::xml_node weekDays = calendar.append_child("WeekDays");
    for (int32_t day = 1; day <= 7; ++day) {
        pugi::xml_node weekDay = weekDays.append_child("WeekDay");
        bool working = day != 1 && day != 7;
        Add(weekDay, "DayType", day);
        Add(weekDay, "DayWorking", working ? 1 : 0);
        if (!working) continue;
        pugi::xml_node times = weekDay.append_child("WorkingTimes");
        for (auto [from, to] : {std::pair{"08:00:00", "12:00:00"}, std::pair{"13:00:00", "17:00:00"}}) {
            pugi::xml_node time = times.append_child("WorkingTime");
            Add(time, "FromTime", from);
            Add(time, "ToTime", to);
        }
    }
}

} // namespace

std::string ProjectXmlDocument(const std::vector<Task>& tasks, const std::vector<TaskPlan>& plans, std::string_view utf8Name) {
    static const TaskPlan none;
    auto planOf = [&](size_t i) -> const TaskPlan& { return plans.size() == tasks.size() ? plans[i] : none; };

    // Unique ids: each task keeps its own, one without (or with another's) gets the next free one.
    std::vector<int32_t> uids(tasks.size(), 0);
    std::set<int32_t> taken;
    int32_t highest = 0;
    for (size_t i = 0; i < tasks.size(); ++i) {
        int32_t uid = planOf(i).uid;
        if (uid > 0 && taken.insert(uid).second) uids[i] = uid;
        highest = std::max(highest, uid);
    }
    for (int32_t& uid : uids)
        if (uid == 0) uid = highest < std::numeric_limits<int32_t>::max() ? ++highest : 0;

    std::optional<DateTime> first, last;
    for (const Task& t : tasks) {
        if (t.start.status == DateTimeStatus::Valid && (!first || t.start < *first)) first = t.start;
        if (t.finish.status == DateTimeStatus::Valid && (!last || *last < t.finish)) last = t.finish;
    }

    pugi::xml_document document;
    pugi::xml_node declaration = document.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "UTF-8";
    declaration.append_attribute("standalone") = "yes";
    pugi::xml_node project = document.append_child("Project");
    project.append_attribute("xmlns") = kNamespace;
    Add(project, "SaveVersion", 14);
    Add(project, "Name", std::string(utf8Name));
    Add(project, "ScheduleFromStart", 1);
    if (first) Add(project, "StartDate", MomentText(AtHour(*first, kWorkStartHour)));
    if (last) Add(project, "FinishDate", MomentText(AtHour(last->DayBefore(), kWorkFinishHour)));
    Add(project, "CalendarUID", kCalendarUid);
    Add(project, "MinutesPerDay", kMinutesPerDay);
    Add(project, "MinutesPerWeek", 5 * kMinutesPerDay);
    Add(project, "DaysPerMonth", 20);
    pugi::xml_node field = project.append_child("ExtendedAttributes").append_child("ExtendedAttribute");
    Add(field, "FieldID", kTypeFieldId);
    Add(field, "FieldName", "Text1");
    Add(field, "Alias", BKToUtf8(AddonString(32612, 5)));
    AddStandardCalendar(project);

    pugi::xml_node list = project.append_child("Tasks");
    for (size_t i = 0; i < tasks.size(); ++i) {
        const Task& t = tasks[i];
        const TaskPlan& plan = planOf(i);
        pugi::xml_node task = list.append_child("Task");
        Add(task, "UID", uids[i]);
        Add(task, "ID", t.id);
        Add(task, "Name", XmlText(t.Name()));
        if (!plan.wbs.empty()) Add(task, "WBS", XmlText(plan.wbs));
        if (plan.outlineLevel > 0) Add(task, "OutlineLevel", plan.outlineLevel);
        // Whole days as the schedule counts them: the first from the morning, the last (the day
        // before the exclusive finish) to the evening.
        bool dated = t.start.status == DateTimeStatus::Valid && t.finish.status == DateTimeStatus::Valid;
        if (dated) {
            Add(task, "Start", MomentText(AtHour(t.start, kWorkStartHour)));
            DateTime end = plan.milestone ? AtHour(t.start, kWorkStartHour) : AtHour(t.finish.DayBefore(), kWorkFinishHour);
            Add(task, "Finish", MomentText(end));
            // Only a milestone is of no length: Microsoft Project would take any other such task for one.
            int64_t days = plan.milestone ? 0 : std::max<int64_t>(1, WorkingDays(t.start.StartOfDay(), t.finish));
            Add(task, "Duration", "PT" + std::to_string(days * kMinutesPerDay / 60) + "H0M0S");
            Add(task, "DurationFormat", kDurationInDays);
        }
        Add(task, "Milestone", plan.milestone ? 1 : 0);
        Add(task, "Summary", plan.summary ? 1 : 0);
        if (plan.percentComplete <= 100) Add(task, "PercentComplete", plan.percentComplete);
        if (TaskPlan::IsStorableMoment(plan.actualStart)) Add(task, "ActualStart", MomentText(plan.actualStart));
        if (TaskPlan::IsStorableMoment(plan.actualFinish)) Add(task, "ActualFinish", MomentText(plan.actualFinish));
        for (const Dependency& d : plan.predecessors) {
            pugi::xml_node link = task.append_child("PredecessorLink");
            Add(link, "PredecessorUID", d.predecessorUid);
            Add(link, "Type", static_cast<int64_t>(d.type));
            Add(link, "LinkLag", d.lag);
            Add(link, "LagFormat", d.lagFormat);
        }
        if (IsKnownConstructionType(t.type)) {
            pugi::xml_node type = task.append_child("ExtendedAttribute");
            Add(type, "FieldID", kTypeFieldId);
            Add(type, "Value", BKToUtf8(AddonString(32512, static_cast<int16_t>(ConstructionTypeValue(t.type) + 1))));
        }
    }
    std::ostringstream out;
    document.save(out, "  ", pugi::format_default, pugi::encoding_utf8);
    return out.str();
}
