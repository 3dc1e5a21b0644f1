#include "schedule/XerSchedule.h"

#include "basekit/BKText.h"
#include "resources/AddonResources.h"
#include "schedule/ConstructionTypeText.h"
#include "schedule/DayBoundary.h"
#include "schedule/ScheduleTextLines.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <set>
#include <unordered_map>

namespace {

constexpr uint8_t kLagInHours = 5; // Microsoft Project's code for a lag shown in hours
constexpr double kTenthMinutesPerHour = 600.0;

const XerTable& TableOf(const XerTables& tables, std::string_view name) {
    static const XerTable none;
    auto at = tables.find(name);
    return at == tables.end() ? none : at->second;
}

std::optional<int64_t> IntegerOf(std::string_view text) {
    int64_t value = 0;
    auto r = std::from_chars(text.data(), text.data() + text.size(), value);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size()) return std::nullopt;
    return value;
}

std::optional<double> DecimalOf(std::string_view text) {
    double value = 0;
    auto r = std::from_chars(text.data(), text.data() + text.size(), value);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

int32_t ClampedInt(double value) {
    return static_cast<int32_t>(std::clamp(std::round(value), static_cast<double>(std::numeric_limits<int32_t>::min()),
                                           static_cast<double>(std::numeric_limits<int32_t>::max())));
}

// "2009-03-02 08:00" as P6 writes it, or with seconds, or the day alone.
std::optional<DateTime> MomentOf(std::string_view text) {
    if ((text.size() != 10 && text.size() != 16 && text.size() != 19) || text[4] != '-' || text[7] != '-') return std::nullopt;
    auto part = [&](size_t at) { return IntegerOf(text.substr(at, at == 0 ? 4 : 2)); };
    auto y = part(0), mo = part(5), d = part(8);
    std::optional<int64_t> h = 0, mi = 0, s = 0;
    if (text.size() > 10) {
        if (text[10] != ' ' || text[13] != ':' || (text.size() == 19 && text[16] != ':')) return std::nullopt;
        h = part(11), mi = part(14);
        if (text.size() == 19) s = part(17);
    }
    if (!y || !mo || !d || !h || !mi || !s || *y < 1601 || *mo < 1 || *d < 1 || *h < 0 || *h > 23 || *mi < 0 || *mi > 59 ||
        *s < 0 || *s > 59)
        return std::nullopt;
    DateTime moment(static_cast<int32_t>(*y), static_cast<int32_t>(*mo), static_cast<int32_t>(*d), static_cast<int32_t>(*h),
                    static_cast<int32_t>(*mi), static_cast<int32_t>(*s));
    if (!TaskPlan::IsStorableMoment(moment)) return std::nullopt;
    return moment;
}

std::optional<ConstructionType> TypeOfPrefix(std::string_view name) {
    if (name.size() < 2 || name[1] != '_') return std::nullopt;
    return ConstructionTypeOfText(name.substr(0, 1));
}

// Whether a code-page text is the type field's name ("Típus" or "Type"), in any letter case.
bool IsTypeName(const std::string& name) {
    for (int16_t item : {4, 5}) {
        std::string word = AddonString(32612, item);
        if (!name.empty() && name.size() == word.size() && BKCompareText(name, word, BKCaseMode::Ignore) == 0) return true;
    }
    return false;
}

DependencyType DependencyTypeOf(std::string_view text, bool& known) {
    known = true;
    if (text == "PR_FS" || text.empty()) return DependencyType::FinishToStart;
    if (text == "PR_SS") return DependencyType::StartToStart;
    if (text == "PR_FF") return DependencyType::FinishToFinish;
    if (text == "PR_SF") return DependencyType::StartToFinish;
    known = false;
    return DependencyType::FinishToStart;
}

// Percent complete as the activity's percent type counts it; nothing when the file has no figure.
uint8_t PercentOf(const XerTable& t, const XerRow& row) {
    std::string_view kind = t.Value(row, "complete_pct_type");
    auto ratio = [&](const char* done, const char* left, bool doneIsTotal) -> std::optional<double> {
        auto a = DecimalOf(t.Value(row, done)), b = DecimalOf(t.Value(row, left));
        if (!a || !b) return std::nullopt;
        double total = doneIsTotal ? *a : *a + *b, finished = doneIsTotal ? *a - *b : *a;
        if (total <= 0) return std::nullopt;
        return 100.0 * finished / total;
    };
    std::optional<double> percent;
    if (kind == "CP_Drtn") percent = ratio("target_drtn_hr_cnt", "remain_drtn_hr_cnt", true);
    else if (kind == "CP_Units") percent = ratio("act_work_qty", "remain_work_qty", false);
    if (!percent) percent = DecimalOf(t.Value(row, "phys_complete_pct"));
    if (!percent && kind != "CP_Phys") {
        std::string_view status = t.Value(row, "status_code");
        if (status == "TK_Complete") percent = 100;
        else if (status == "TK_NotStart") percent = 0;
    }
    if (!percent) return TaskPlan::kNoPercent;
    return static_cast<uint8_t>(std::clamp(std::round(*percent), 0.0, 100.0));
}

struct WbsNode {
    const XerRow* row = nullptr;
    int64_t seq = 0;
    std::vector<size_t> children; // node indexes, in the order P6 shows them
    std::vector<const XerRow*> activities;
};

// Construction types the activity codes and user fields named "Típus" or "Type" give, by task_id.
std::unordered_map<std::string_view, ConstructionType> TypesByTask(const XerTables& tables) {
    std::unordered_map<std::string_view, ConstructionType> types;
    size_t ignored = 0;
    const XerTable& codeTypes = TableOf(tables, "ACTVTYPE");
    std::set<std::string_view> typeCodes;
    for (const XerRow& r : codeTypes.rows)
        if (IsTypeName(Utf8ToCodePage(codeTypes.Value(r, "actv_code_type"), ignored)))
            typeCodes.insert(codeTypes.Value(r, "actv_code_type_id"));
    const XerTable& codes = TableOf(tables, "ACTVCODE");
    std::unordered_map<std::string_view, ConstructionType> byCode;
    for (const XerRow& r : codes.rows) {
        if (!typeCodes.count(codes.Value(r, "actv_code_type_id"))) continue;
        auto type = ConstructionTypeOfText(Utf8ToCodePage(codes.Value(r, "short_name"), ignored));
        if (!type) type = ConstructionTypeOfText(Utf8ToCodePage(codes.Value(r, "actv_code_name"), ignored));
        if (type) byCode.emplace(codes.Value(r, "actv_code_id"), *type);
    }
    const XerTable& assigned = TableOf(tables, "TASKACTV");
    for (const XerRow& r : assigned.rows)
        if (auto at = byCode.find(assigned.Value(r, "actv_code_id")); at != byCode.end())
            types[assigned.Value(r, "task_id")] = at->second;

    const XerTable& fieldTypes = TableOf(tables, "UDFTYPE");
    std::set<std::string_view> typeFields;
    for (const XerRow& r : fieldTypes.rows) {
        if (fieldTypes.Value(r, "table_name") != "TASK") continue;
        if (IsTypeName(Utf8ToCodePage(fieldTypes.Value(r, "udf_type_label"), ignored)) ||
            IsTypeName(Utf8ToCodePage(fieldTypes.Value(r, "udf_type_name"), ignored)))
            typeFields.insert(fieldTypes.Value(r, "udf_type_id"));
    }
    const XerTable& values = TableOf(tables, "UDFVALUE");
    for (const XerRow& r : values.rows) {
        if (!typeFields.count(values.Value(r, "udf_type_id"))) continue;
        if (auto type = ConstructionTypeOfText(Utf8ToCodePage(values.Value(r, "udf_text"), ignored)))
            types[values.Value(r, "fk_id")] = *type;
    }
    return types;
}

std::string Clipped(std::string text, size_t most) {
    text.resize(std::min({text.size(), most, text.find('\0')}));
    return text;
}

} // namespace

std::vector<XerProject> XerProjectsOf(const XerTables& tables) {
    const XerTable& projects = TableOf(tables, "PROJECT");
    const XerTable& wbs = TableOf(tables, "PROJWBS");
    std::vector<XerProject> found;
    for (const XerRow& r : projects.rows) {
        if (projects.Value(r, "export_flag") == "N") continue;
        XerProject p{std::string(projects.Value(r, "proj_id")), std::string(projects.Value(r, "proj_short_name"))};
        for (const XerRow& w : wbs.rows)
            if (wbs.Value(w, "proj_id") == p.id && wbs.Value(w, "proj_node_flag") == "Y" && !wbs.Value(w, "wbs_name").empty()) {
                p.name += (p.name.empty() ? "" : " - ") + std::string(wbs.Value(w, "wbs_name"));
                break;
            }
        if (p.name.empty()) p.name = p.id;
        found.push_back(std::move(p));
    }
    return found;
}

bool BuildXerSchedule(const XerTables& tables, std::string_view projectId, XerSchedule& out, XerError& error) {
    out = {};
    const XerTable& wbs = TableOf(tables, "PROJWBS");
    const XerTable& tasks = TableOf(tables, "TASK");

    // The WBS tree; the project's own node (or a node whose parent is not of the project) is its
    // root, and the activities directly under it stand at the top of the outline.
    std::vector<WbsNode> nodes;
    std::unordered_map<std::string_view, size_t> nodeOf;
    for (const XerRow& r : wbs.rows) {
        if (wbs.Value(r, "proj_id") != projectId) continue;
        if (!nodeOf.emplace(wbs.Value(r, "wbs_id"), nodes.size()).second) continue;
        nodes.push_back({&r, IntegerOf(wbs.Value(r, "seq_num")).value_or(0), {}, {}});
    }
    WbsNode top;
    std::vector<size_t> roots;
    for (size_t i = 0; i < nodes.size(); ++i) {
        auto parent = nodeOf.find(wbs.Value(*nodes[i].row, "parent_wbs_id"));
        bool projectNode = wbs.Value(*nodes[i].row, "proj_node_flag") == "Y";
        if (!projectNode && parent != nodeOf.end() && parent->second != i) nodes[parent->second].children.push_back(i);
        else roots.push_back(i);
    }
    auto bySeq = [&](size_t a, size_t b) { return nodes[a].seq != nodes[b].seq ? nodes[a].seq < nodes[b].seq : a < b; };
    for (WbsNode& n : nodes) std::sort(n.children.begin(), n.children.end(), bySeq);
    // The project's node holds the top; other roots (a tree cut from it) come below as nodes.
    std::vector<size_t> topNodes;
    for (size_t i : roots) {
        if (wbs.Value(*nodes[i].row, "proj_node_flag") == "Y") topNodes.insert(topNodes.end(), nodes[i].children.begin(), nodes[i].children.end());
        else topNodes.push_back(i);
    }
    std::vector<bool> isTopHolder(nodes.size(), false);
    for (size_t i : roots) isTopHolder[i] = wbs.Value(*nodes[i].row, "proj_node_flag") == "Y";
    for (const XerRow& r : tasks.rows) {
        if (tasks.Value(r, "proj_id") != projectId) continue;
        auto at = nodeOf.find(tasks.Value(r, "wbs_id"));
        if (at == nodeOf.end() || isTopHolder[at->second]) top.activities.push_back(&r);
        else nodes[at->second].activities.push_back(&r);
    }

    std::unordered_map<std::string_view, ConstructionType> types = TypesByTask(tables);
    const Task defaultTask;
    std::set<int32_t> uids;

    auto addActivity = [&](const XerRow& r, uint16_t level, const std::string& code) -> bool {
        // Every date the activity has must be one P6 writes, whichever is shown.
        std::optional<DateTime> d[6];
        const char* fields[6] = {"act_start_date", "act_end_date", "early_start_date", "early_end_date", "target_start_date", "target_end_date"};
        for (size_t i = 0; i < 6; ++i) {
            std::string_view text = tasks.Value(r, fields[i]);
            if (text.empty()) continue;
            if (!(d[i] = MomentOf(text))) {
                error = {XerError::UnknownDate, r.line, std::string(text.substr(0, 40))};
                return false;
            }
        }
        std::optional<DateTime> start = d[0] ? d[0] : d[2] ? d[2] : d[4];
        std::optional<DateTime> finish = d[1] ? d[1] : d[3] ? d[3] : d[5];
        Task& task = out.tasks.emplace_back(defaultTask);
        TaskPlan& plan = out.plans.emplace_back();
        std::string name = Utf8ToCodePage(tasks.Value(r, "task_name"), out.lost);
        std::optional<ConstructionType> type = TypeOfPrefix(name);
        if (type) name.erase(0, 2);
        std::string id = Utf8ToCodePage(tasks.Value(r, "task_code"), out.lost);
        task.SetName(id.empty() ? name : id + " " + name);
        if (auto given = types.find(tasks.Value(r, "task_id")); given != types.end()) type = given->second;
        task.type = type.value_or(ConstructionType::Construction);
        std::string_view kind = tasks.Value(r, "task_type");
        plan.milestone = kind == "TT_Mile" || kind == "TT_FinMile";
        if (plan.milestone && kind == "TT_FinMile" && finish) start = finish;
        if (!start) start = finish;
        if (start) task.start = task.finish = StartOfDayOf(*start);
        if (plan.milestone && start) task.finish = EndOfDayOf(*start);
        else if (finish) task.finish = EndOfDayOf(*finish);
        if (d[0]) plan.actualStart = *d[0];
        if (d[1]) plan.actualFinish = *d[1];
        plan.uid = std::max(0, static_cast<int32_t>(std::clamp<int64_t>(IntegerOf(tasks.Value(r, "task_id")).value_or(0), 0,
                                                                        std::numeric_limits<int32_t>::max())));
        if (plan.uid > 0) uids.insert(plan.uid);
        plan.outlineLevel = level;
        plan.wbs = code;
        plan.percentComplete = PercentOf(tasks, r);
        return true;
    };

    // Depth first without recursion: a WBS of any depth (or a damaged one) cannot exhaust the stack.
    struct Step {
        size_t node;
        uint16_t level;
        std::string code;
    };
    for (const XerRow* r : top.activities)
        if (!addActivity(*r, 1, {})) return false;
    std::vector<Step> stack;
    for (auto i = topNodes.rbegin(); i != topNodes.rend(); ++i) stack.push_back({*i, 1, {}});
    std::vector<bool> seen(nodes.size(), false);
    std::vector<std::pair<size_t, uint16_t>> summaries; // task index and level of each summary row
    while (!stack.empty()) {
        Step step = std::move(stack.back());
        stack.pop_back();
        if (seen[step.node]) continue;
        seen[step.node] = true;
        const WbsNode& n = nodes[step.node];
        std::string shortName = Utf8ToCodePage(wbs.Value(*n.row, "wbs_short_name"), out.lost);
        std::string code = Clipped(step.code.empty() ? shortName : step.code + "." + shortName, TaskPlan::kWbsMax);
        summaries.emplace_back(out.tasks.size(), step.level);
        Task& task = out.tasks.emplace_back(defaultTask);
        TaskPlan& plan = out.plans.emplace_back();
        std::string name = Utf8ToCodePage(wbs.Value(*n.row, "wbs_name"), out.lost);
        if (name.empty()) name = shortName;
        std::optional<ConstructionType> type = TypeOfPrefix(name);
        task.SetName(type ? std::string_view(name).substr(2) : std::string_view(name));
        task.type = type.value_or(ConstructionType::Construction);
        plan.summary = true;
        plan.outlineLevel = step.level;
        plan.wbs = code;
        auto below = static_cast<uint16_t>(std::min<int>(step.level + 1, TaskPlan::kOutlineMax));
        for (const XerRow* r : n.activities)
            if (!addActivity(*r, below, code)) return false;
        for (auto i = n.children.rbegin(); i != n.children.rend(); ++i) stack.push_back({*i, below, code});
    }

    // Nodes of a damaged WBS that reach no root (their parents a loop) give up their activities
    // to the top rather than lose them.
    for (size_t i = 0; i < nodes.size(); ++i)
        if (!seen[i])
            for (const XerRow* r : nodes[i].activities)
                if (!addActivity(*r, 1, {})) return false;

    // A summary row spans the tasks below it; one over no activity is no part of the plan.
    std::vector<bool> keep(out.tasks.size(), true);
    for (auto [at, level] : summaries) {
        std::optional<DateTime> first, last;
        for (size_t j = at + 1; j < out.tasks.size() && out.plans[j].outlineLevel > level; ++j) {
            if (out.plans[j].summary) continue;
            if (!first || out.tasks[j].start < *first) first = out.tasks[j].start;
            if (!last || *last < out.tasks[j].finish) last = out.tasks[j].finish;
        }
        if (!first) {
            keep[at] = false;
            continue;
        }
        out.tasks[at].start = *first;
        out.tasks[at].finish = *last;
    }
    std::vector<Task> keptTasks;
    std::vector<TaskPlan> keptPlans;
    for (size_t i = 0; i < keep.size(); ++i) {
        if (!keep[i]) continue;
        keptTasks.push_back(std::move(out.tasks[i]));
        keptPlans.push_back(std::move(out.plans[i]));
    }
    out.tasks = std::move(keptTasks);
    out.plans = std::move(keptPlans);
    for (size_t i = 0; i < out.tasks.size(); ++i) out.tasks[i].id = static_cast<int32_t>(std::min<size_t>(i + 1, std::numeric_limits<int32_t>::max()));

    // Relationships between activities of this project; one into another project, or onto
    // itself, has nothing to hold on to here.
    const XerTable& links = TableOf(tables, "TASKPRED");
    std::unordered_map<int32_t, size_t> indexOfUid;
    for (size_t i = 0; i < out.plans.size(); ++i)
        if (!out.plans[i].summary && out.plans[i].uid > 0) indexOfUid.emplace(out.plans[i].uid, i);
    for (const XerRow& r : links.rows) {
        auto to = IntegerOf(links.Value(r, "task_id")), from = IntegerOf(links.Value(r, "pred_task_id"));
        if (!to || !from || *to == *from || *to <= 0 || *from <= 0 || *to > std::numeric_limits<int32_t>::max() ||
            *from > std::numeric_limits<int32_t>::max())
            continue;
        auto at = indexOfUid.find(static_cast<int32_t>(*to));
        if (at == indexOfUid.end() || !uids.count(static_cast<int32_t>(*from))) continue;
        TaskPlan& plan = out.plans[at->second];
        if (plan.predecessors.size() >= TaskPlan::kPredecessorsMax) continue;
        bool known = false;
        Dependency dep;
        dep.predecessorUid = static_cast<int32_t>(*from);
        dep.type = DependencyTypeOf(links.Value(r, "pred_type"), known);
        if (!known) continue;
        dep.lag = ClampedInt(DecimalOf(links.Value(r, "lag_hr_cnt")).value_or(0) * kTenthMinutesPerHour);
        dep.lagFormat = kLagInHours;
        plan.predecessors.push_back(dep);
    }
    return true;
}
