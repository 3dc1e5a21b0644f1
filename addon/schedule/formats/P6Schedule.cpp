#include "schedule/formats/P6Schedule.h"

#include "schedule/formats/ScheduleTextLines.h"
#include "schedule/tasks/ConstructionTypeText.h"
#include "schedule/tasks/DayBoundary.h"
#include "schedule/tasks/NumberText.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>
#include <unordered_map>

namespace {

constexpr uint8_t kLagInHours = 5; // Microsoft Project's code for a lag shown in hours
constexpr double kTenthMinutesPerHour = 600.0;

int32_t ClampedInt(double value) {
    if (!std::isfinite(value)) return 0;
    return static_cast<int32_t>(std::clamp(std::round(value), static_cast<double>(std::numeric_limits<int32_t>::min()),
                                           static_cast<double>(std::numeric_limits<int32_t>::max())));
}

std::string Clipped(std::string text, size_t most) {
    text.resize(std::min({text.size(), most, text.find('\0')}));
    return text;
}

struct WbsNode {
    const P6Wbs* wbs = nullptr;
    std::vector<size_t> children; // node indexes, in the order P6 shows them
    std::vector<const P6Activity*> activities;
};

} // namespace

std::optional<DateTime> P6MomentOf(std::string_view text, char separator) {
    if ((text.size() != 10 && text.size() != 16 && text.size() != 19) || text[4] != '-' || text[7] != '-') return std::nullopt;
    auto part = [&](size_t at) { return IntegerOf(text.substr(at, at == 0 ? 4 : 2)); };
    auto y = part(0), mo = part(5), d = part(8);
    std::optional<int64_t> h = 0, mi = 0, s = 0;
    if (text.size() > 10) {
        if (text[10] != separator || text[13] != ':' || (text.size() == 19 && text[16] != ':')) return std::nullopt;
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

void BuildP6Schedule(const P6ProjectPlan& project, P6Schedule& out) {
    out = {};
    // The WBS tree; the project's own node (or a node whose parent is not of the project) is its
    // root, and the activities directly under it stand at the top of the outline.
    std::vector<WbsNode> nodes;
    std::unordered_map<std::string_view, size_t> nodeOf;
    for (const P6Wbs& w : project.wbs) {
        if (!nodeOf.emplace(w.id, nodes.size()).second) continue;
        nodes.push_back({&w, {}, {}});
    }
    WbsNode top;
    std::vector<size_t> roots;
    for (size_t i = 0; i < nodes.size(); ++i) {
        auto parent = nodeOf.find(nodes[i].wbs->parentId);
        if (!nodes[i].wbs->projectNode && parent != nodeOf.end() && parent->second != i) nodes[parent->second].children.push_back(i);
        else roots.push_back(i);
    }
    auto bySeq = [&](size_t a, size_t b) {
        return nodes[a].wbs->seq != nodes[b].wbs->seq ? nodes[a].wbs->seq < nodes[b].wbs->seq : a < b;
    };
    for (WbsNode& n : nodes) std::sort(n.children.begin(), n.children.end(), bySeq);
    // The project's node holds the top; other roots (a tree cut from it) come below as nodes.
    std::vector<size_t> topNodes;
    for (size_t i : roots) {
        if (nodes[i].wbs->projectNode) topNodes.insert(topNodes.end(), nodes[i].children.begin(), nodes[i].children.end());
        else topNodes.push_back(i);
    }
    // P6's XML has no node of the project's own: its top nodes are all roots, in their sequence.
    std::stable_sort(topNodes.begin(), topNodes.end(), bySeq);
    std::vector<bool> isTopHolder(nodes.size(), false);
    for (size_t i : roots) isTopHolder[i] = nodes[i].wbs->projectNode;
    for (const P6Activity& a : project.activities) {
        auto at = nodeOf.find(a.wbsId);
        if (at == nodeOf.end() || isTopHolder[at->second]) top.activities.push_back(&a);
        else nodes[at->second].activities.push_back(&a);
    }

    const Task defaultTask;
    std::set<int32_t> uids;

    auto addActivity = [&](const P6Activity& a, uint16_t level, const std::string& code) {
        // The plan's dates, apart from what happened: the planned ones, else the current ones.
        std::optional<DateTime> start = a.plannedStart ? a.plannedStart : a.currentStart;
        std::optional<DateTime> finish = a.plannedFinish ? a.plannedFinish : a.currentFinish;
        if (!start && !finish) start = a.actualStart, finish = a.actualFinish;
        Task& task = out.tasks.emplace_back(defaultTask);
        TaskPlan& plan = out.plans.emplace_back();
        std::string name = Utf8ToCodePage(a.name, out.lost);
        std::optional<ConstructionType> type = ConstructionTypeOfPrefix(name);
        if (type) name.erase(0, 2);
        std::string id = Utf8ToCodePage(a.code, out.lost);
        task.SetName(id.empty() ? name : id + " " + name);
        if (a.type) type = a.type;
        task.type = type.value_or(ConstructionType::Construction);
        plan.milestone = a.kind != P6ActivityKind::Task;
        if (a.kind == P6ActivityKind::FinishMilestone && finish) start = finish;
        if (!start) start = finish;
        if (start) task.start = task.finish = StartOfDayOf(*start);
        if (plan.milestone && start) task.finish = EndOfDayOf(*start);
        else if (finish) task.finish = EndOfDayOf(*finish);
        if (a.actualStart) plan.actualStart = *a.actualStart;
        if (a.actualFinish) plan.actualFinish = *a.actualFinish;
        plan.uid = std::max(0, a.uid);
        if (plan.uid > 0) uids.insert(plan.uid);
        plan.outlineLevel = level;
        plan.wbs = code;
        plan.percentComplete = a.percentComplete;
    };

    // Depth first without recursion: a WBS of any depth (or a damaged one) cannot exhaust the stack.
    struct Step {
        size_t node;
        uint16_t level;
        std::string code;
    };
    for (const P6Activity* a : top.activities) addActivity(*a, 1, {});
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
        std::string shortName = Utf8ToCodePage(n.wbs->code, out.lost);
        std::string code = Clipped(step.code.empty() ? shortName : step.code + "." + shortName, TaskPlan::kWbsMax);
        summaries.emplace_back(out.tasks.size(), step.level);
        Task& task = out.tasks.emplace_back(defaultTask);
        TaskPlan& plan = out.plans.emplace_back();
        std::string name = Utf8ToCodePage(n.wbs->name, out.lost);
        if (name.empty()) name = shortName;
        std::optional<ConstructionType> type = ConstructionTypeOfPrefix(name);
        task.SetName(type ? std::string_view(name).substr(2) : std::string_view(name));
        task.type = type.value_or(ConstructionType::Construction);
        plan.summary = true;
        plan.outlineLevel = step.level;
        plan.wbs = code;
        auto below = static_cast<uint16_t>(std::min<int>(step.level + 1, TaskPlan::kOutlineMax));
        for (const P6Activity* a : n.activities) addActivity(*a, below, code);
        for (auto i = n.children.rbegin(); i != n.children.rend(); ++i) stack.push_back({*i, below, code});
    }

    // Nodes of a damaged WBS that reach no root (their parents a loop) give up their activities
    // to the top rather than lose them.
    for (size_t i = 0; i < nodes.size(); ++i)
        if (!seen[i])
            for (const P6Activity* a : nodes[i].activities) addActivity(*a, 1, {});

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
    std::unordered_map<int32_t, size_t> indexOfUid;
    for (size_t i = 0; i < out.plans.size(); ++i)
        if (!out.plans[i].summary && out.plans[i].uid > 0) indexOfUid.emplace(out.plans[i].uid, i);
    for (const P6Relationship& r : project.relationships) {
        int64_t to = r.successor, from = r.predecessor;
        if (to == from || to <= 0 || from <= 0 || to > std::numeric_limits<int32_t>::max() || from > std::numeric_limits<int32_t>::max())
            continue;
        auto at = indexOfUid.find(static_cast<int32_t>(to));
        if (at == indexOfUid.end() || !uids.count(static_cast<int32_t>(from))) continue;
        TaskPlan& plan = out.plans[at->second];
        if (plan.predecessors.size() >= TaskPlan::kPredecessorsMax) continue;
        Dependency dep;
        dep.predecessorUid = static_cast<int32_t>(from);
        dep.type = r.type;
        dep.lag = ClampedInt(r.lagHours * kTenthMinutesPerHour);
        dep.lagFormat = kLagInHours;
        plan.predecessors.push_back(dep);
    }
}
