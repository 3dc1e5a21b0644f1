#include "exchange/IfcScheduleImport.h"

#include "basekit/BKText.h"
#include "hostcalls/HostInterface.h"
#include "linking/HostElementFacts.h"
#include "linking/LinkWrites.h"
#include "resources/AddonResources.h"
#include "schedule/tasks/ConstructionTypeText.h"
#include "schedule/tasks/DayBoundary.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <set>
#include <unordered_map>

namespace {

constexpr int16_t kReport = 32640;
constexpr int16_t kReadSummary = 1, kNotFromIfc = 2, kNoTasks = 3, kNotInModel = 4, kNoRoom = 5;
constexpr int16_t kStepNames = 32623, kImportStep = 3;
constexpr size_t kNamesShown = 3;

void Report(int16_t item, std::initializer_list<std::string_view> params) {
    HostReportWrite(AddonFormat(kReport, item, params).c_str(), 0);
}

std::string N(size_t n) { return std::to_string(n); }

// "YYYY-MM-DDThh:mm:ss" as the host hands it over.
std::optional<DateTime> MomentOf(std::string_view text) {
    if (text.size() != 19) return std::nullopt;
    int32_t f[6] = {};
    const size_t at[6] = {0, 5, 8, 11, 14, 17}, len[6] = {4, 2, 2, 2, 2, 2};
    for (size_t i = 0; i < 6; ++i) {
        auto [end, ec] = std::from_chars(text.data() + at[i], text.data() + at[i] + len[i], f[i]);
        if (ec != std::errc() || end != text.data() + at[i] + len[i]) return std::nullopt;
    }
    DateTime d;
    if (!d.SetDateTimeOk(f[0], f[1], f[2], std::min(f[3], 23), f[4], std::min(f[5], 59), 0, 0, 0)) return std::nullopt;
    if (!TaskPlan::IsStorableMoment(d)) return std::nullopt;
    return d;
}

ConstructionType TypeOf(const HostScheduleTask& t) {
    const std::string& p = t.predefinedType;
    if (p == "DEMOLITION" || p == "DISMANTLE" || p == "REMOVAL" || p == "DISPOSAL") return ConstructionType::Demolition;
    if (p == "RENOVATION" || p == "MAINTENANCE") return ConstructionType::Renovation;
    if (p == "CONSTRUCTION" || p == "INSTALLATION") return ConstructionType::Construction;
    // IFC2X3 has no predefined type: its exporters say it in the object type, as a user-defined one does.
    return ConstructionTypeOfText(t.objectType).value_or(ConstructionType::Construction);
}

// The identification as the palette's number where it is one no earlier task took; the other
// tasks numbered on from the largest, in outline order.
std::vector<int32_t> TaskIdsOf(const std::vector<HostScheduleTask>& tasks) {
    std::vector<int32_t> ids(tasks.size(), 0);
    std::set<int32_t> taken;
    for (size_t i = 0; i < tasks.size(); ++i) {
        const std::string& text = tasks[i].identification;
        int32_t id = 0;
        auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), id);
        if (ec == std::errc() && end == text.data() + text.size() && id >= 1 && taken.insert(id).second) ids[i] = id;
    }
    int32_t next = taken.empty() ? 1 : *taken.rbegin();
    for (int32_t& id : ids) {
        if (id != 0) continue;
        while (taken.count(next) && next < INT32_MAX) ++next;
        id = next;
        taken.insert(next);
    }
    return ids;
}

DependencyType DependencyOf(std::string_view sequence) {
    if (sequence == "START_START") return DependencyType::StartToStart;
    if (sequence == "FINISH_FINISH") return DependencyType::FinishToFinish;
    if (sequence == "START_FINISH") return DependencyType::StartToFinish;
    return DependencyType::FinishToStart;
}

} // namespace

IfcSchedule ScheduleFromIfc(const HostWorkSchedules& ifc) {
    IfcSchedule out;
    const size_t n = ifc.tasks.size();
    std::vector<bool> nests(n, false);
    for (const HostScheduleTask& t : ifc.tasks)
        if (t.parent >= 0) nests[static_cast<size_t>(t.parent)] = true;
    const Task defaultTask;
    const std::vector<int32_t> ids = TaskIdsOf(ifc.tasks);
    for (size_t i = 0; i < n; ++i) {
        const HostScheduleTask& t = ifc.tasks[i];
        Task& task = out.tasks.emplace_back(defaultTask);
        TaskPlan& plan = out.plans.emplace_back();
        task.id = ids[i];
        task.SetName(t.name.empty() ? t.identification : t.name);
        task.type = TypeOf(t);
        plan.uid = static_cast<int32_t>(i + 1);
        if (TaskPlan::IsIfcGlobalId(t.globalId)) plan.ifcGlobalId = t.globalId;
        plan.outlineLevel = std::min<uint16_t>(t.level, TaskPlan::kOutlineMax);
        plan.summary = nests[i];
        plan.milestone = t.milestone && !plan.summary;
        plan.wbs = t.identification.substr(0, TaskPlan::kWbsMax);
        plan.wbs.resize(std::min(plan.wbs.size(), plan.wbs.find('\0')));
        if (t.percent >= 0) plan.percentComplete = static_cast<uint8_t>(t.percent);
        if (auto a = MomentOf(t.actualStart)) plan.actualStart = *a;
        if (auto a = MomentOf(t.actualFinish)) plan.actualFinish = *a;
        // The schedule's dates, apart from the actual ones; a task dated only by what happened
        // takes those.
        std::optional<DateTime> start = MomentOf(t.scheduleStart), finish = MomentOf(t.scheduleFinish);
        if (!start && !finish) start = MomentOf(t.actualStart), finish = MomentOf(t.actualFinish);
        // Every task lasts whole days, through its finish's day; a milestone marks its day.
        if (start) task.start = task.finish = StartOfDayOf(*start);
        if (plan.milestone && start) task.finish = EndOfDayOf(*start);
        else if (finish) task.finish = EndOfDayOf(*finish);
        if (plan.summary) ++out.summaries;
    }
    for (const HostScheduleSequence& s : ifc.sequences) {
        TaskPlan& plan = out.plans[static_cast<size_t>(s.successor)];
        if (s.predecessor == s.successor || plan.predecessors.size() >= TaskPlan::kPredecessorsMax) continue;
        Dependency d;
        d.predecessorUid = s.predecessor + 1;
        d.type = DependencyOf(s.type);
        // Tenths of a minute, as a planner keeps it; a lag beyond that is cut.
        d.lag = static_cast<int32_t>(std::clamp<int64_t>(s.lagSeconds / 6, INT32_MIN, INT32_MAX));
        if (std::find(plan.predecessors.begin(), plan.predecessors.end(), d) != plan.predecessors.end()) continue;
        plan.predecessors.push_back(d);
        ++out.dependencies;
    }
    std::set<std::pair<std::string, int32_t>> seen;
    for (const HostScheduleLink& l : ifc.links) {
        const Task& task = out.tasks[static_cast<size_t>(l.task)];
        if (l.input && ifc.schema != "IFC2X3" && task.type != ConstructionType::Demolition) continue;
        if (!seen.insert({l.globalId, task.id}).second) continue;
        out.links.emplace_back(l.globalId, task.id);
        if (task.type == ConstructionType::Demolition) ++out.demolitionLinks;
    }
    return out;
}

void ImportIfcSchedule(TaskDB& db, IElementFacts& facts, const HostWorkSchedules& ifc, const std::string& fileName) {
    if (!db.Hider()) return;
    IfcSchedule schedule = ScheduleFromIfc(ifc);
    std::vector<ElementFacts> elements = facts.CollectElements();
    std::unordered_map<std::string, size_t> byGlobalId;
    for (size_t i = 0; i < elements.size(); ++i) byGlobalId.try_emplace(GlobalIdOf(elements[i]), i);
    // The links the file gives, and none besides: every link before was to the schedule replaced.
    std::vector<ElementLink> links(elements.size(), ElementLink{});
    std::unordered_map<int32_t, size_t> indexOfId;
    for (size_t i = 0; i < schedule.tasks.size(); ++i) indexOfId.try_emplace(schedule.tasks[i].id, i);
    std::vector<std::string> missing;
    size_t linked = 0, demolition = 0;
    for (const auto& [globalId, id] : schedule.links) {
        auto found = byGlobalId.find(globalId);
        if (found == byGlobalId.end()) {
            missing.push_back(globalId);
            continue;
        }
        ElementLink& slots = links[found->second];
        auto free = std::find(slots.begin(), slots.end(), 0);
        if (free == slots.end()) {
            Report(kNoRoom, {elements[found->second].idText, schedule.tasks[indexOfId.at(id)].Name()});
            continue;
        }
        *free = id;
        ++linked;
        if (schedule.tasks[indexOfId.at(id)].type == ConstructionType::Demolition) ++demolition;
    }
    const size_t taskCount = schedule.tasks.size();
    const size_t summaries = schedule.summaries, dependencies = schedule.dependencies;
    db.ImportSchedule(std::move(schedule.tasks), std::move(schedule.plans), ifc.path);
    WriteChangedLinks(*db.Hider(), elements, links, AddonString(kStepNames, kImportStep));
    Report(kReadSummary, {fileName, N(ifc.scheduleNames.size()), N(taskCount), N(summaries), N(dependencies), N(linked), N(demolition)});
    if (!missing.empty()) {
        std::string shown;
        for (size_t i = 0; i < std::min(missing.size(), kNamesShown); ++i) shown += (i ? ", " : "") + missing[i];
        if (missing.size() > kNamesShown) shown += ", ...";
        Report(kNotInModel, {N(missing.size()), shown});
    }
}

void ScheduleFromIfcCommand(TaskDB& db) {
    if (!db.Hider()) return;
    HostWorkSchedules ifc;
    if (ReadHostWorkSchedules(0, ifc) != kHostNoError || !ifc.fromIfc) {
        Report(kNotFromIfc, {});
        return;
    }
    std::string fileName = ifc.path.substr(ifc.path.find_last_of("/\\") + 1);
    if (ifc.tasks.empty()) {
        Report(kNoTasks, {fileName});
        return;
    }
    if (!db.MayReplace()) return;
    HostElementFacts facts(*db.Hider());
    ImportIfcSchedule(db, facts, ifc, fileName);
}
