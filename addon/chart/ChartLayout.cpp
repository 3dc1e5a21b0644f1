#include "chart/ChartLayout.h"

#include "schedule/tasks/ActualProgress.h"
#include "schedule/tasks/TaskDB.h"

#include <algorithm>
#include <map>
#include <unordered_map>

namespace {

double DayOf(const DateTime& d) { return static_cast<double>(d.ticks) / static_cast<double>(kTicksPerDay); }

constexpr uint32_t kSummaryColour = 0x202020;
constexpr uint32_t kMilestoneColour = 0x202020;

} // namespace

const ChartRowGeometry* ChartGeometry::RowAt(int32_t y) const {
    for (const ChartRowGeometry& r : rows)
        if (y >= r.top && y < r.top + kRowHeight) return &r;
    return nullptr;
}

const ChartRowGeometry* ChartGeometry::Row(int32_t paletteRow) const {
    for (const ChartRowGeometry& r : rows)
        if (r.row == paletteRow) return &r;
    return nullptr;
}

int64_t ChartOriginDay(const TaskDB& db) {
    int64_t first = 0;
    bool any = false;
    for (const Task& t : db.Tasks()) {
        if (t.start.status != DateTimeStatus::Valid) continue;
        int64_t day = DayOfTicks(t.start.ticks);
        if (!any || day < first) first = day;
        any = true;
    }
    if (!any) first = DayOfTicks(db.CurrentDate().status == DateTimeStatus::Valid ? db.CurrentDate().ticks : DateTime::Now().ticks);
    return first - ((first % 7) + 7) % 7 - 7;
}

ChartGeometry LayOutChart(const TaskDB& db, const ChartView& view, int32_t width, int32_t height,
                          const std::array<uint32_t, 5>& typeColours, int32_t selectedRow,
                          const ChartBarPreview& preview) {
    ChartGeometry g;
    g.width = width;
    g.height = height;
    g.scale = ChartTimeScale(ChartOriginDay(db), view.zoom, view.scroll);
    g.selectedRow = selectedRow;
    g.planned = db.HasPlan();
    const std::vector<Task>& tasks = db.Tasks();

    std::map<int32_t, int32_t> rowOfUid;
    for (size_t i = 0; i < tasks.size(); ++i)
        if (const TaskPlan* p = db.PlanAt(i); p && p->uid != 0) rowOfUid.emplace(p->uid, static_cast<int32_t>(i + 1));

    // The last baseline kept is drawn under the bars.
    std::unordered_map<int32_t, const BaselineTask*> baseline;
    if (!db.Baselines().empty())
        for (const BaselineTask& b : db.Baselines().back().tasks) baseline.emplace(b.id, &b);
    const DateTime& status = db.StatusDate();
    const bool hasStatus = status.status == DateTimeStatus::Valid;
    bool spanSet = false;
    uint16_t hidingBelow = 0; // a collapsed summary's level hides the deeper rows after it; 0 none
    int32_t shown = 0;
    for (size_t i = 0; i < tasks.size(); ++i) {
        const Task& t = tasks[i];
        const TaskPlan* plan = db.PlanAt(i);
        uint16_t level = plan ? plan->outlineLevel : 0;
        if (hidingBelow != 0) {
            if (level > hidingBelow) continue;
            hidingBelow = 0;
        }
        ChartRowGeometry r;
        r.row = static_cast<int32_t>(i + 1);
        r.taskId = t.id;
        r.name = std::string(t.Name());
        r.summary = plan && plan->summary;
        r.milestone = plan && plan->milestone;
        r.level = level;
        r.valid = t.start.status == DateTimeStatus::Valid && t.finish.status == DateTimeStatus::Valid;
        if (r.summary && i + 1 < tasks.size()) {
            const TaskPlan* next = db.PlanAt(i + 1);
            r.hasChildren = next && next->outlineLevel > level;
        }
        r.collapsed = r.hasChildren && view.collapsed.count(t.id) != 0;
        if (r.collapsed) hidingBelow = level;
        r.percent = t.percentComplete;
        if (r.valid) {
            double start = DayOf(t.start), finish = DayOf(t.finish);
            if (preview.Covers(r.row)) {
                if (preview.part == ChartBarPreview::Part::Move || preview.part == ChartBarPreview::Part::Start) start += preview.days;
                if (preview.part == ChartBarPreview::Part::Move || preview.part == ChartBarPreview::Part::Finish) finish += preview.days;
            }
            r.left = g.scale.X(start);
            r.right = r.milestone ? r.left : std::max(g.scale.X(finish), r.left);
            r.doneRight = r.left + (r.right - r.left) * std::clamp(r.percent, 0, 100) / 100;
            int64_t firstDay = DayOfTicks(t.start.ticks), endDay = DayOfTicks(t.finish.ticks - 1) + 1;
            if (!spanSet || firstDay < g.firstDay) g.firstDay = firstDay;
            if (!spanSet || endDay > g.endDay) g.endDay = endDay;
            spanSet = true;
        }
        if (auto b = baseline.find(t.id); b != baseline.end() && !r.summary && b->second->start.status == DateTimeStatus::Valid &&
                                          b->second->finish.status == DateTimeStatus::Valid) {
            r.hasBaseline = true;
            r.baselineLeft = g.scale.X(DayOf(b->second->start));
            r.baselineRight = std::max(r.baselineLeft + 1, g.scale.X(DayOf(b->second->finish)));
        }
        if (hasStatus && r.valid && !r.summary && !r.milestone)
            r.late = StandingAt(t, plan, status, status) == PlanStanding::Late;
        if (plan && plan->actualStart.status == DateTimeStatus::Valid) {
            r.hasActual = true;
            r.actualLeft = g.scale.X(DayOf(plan->actualStart));
            const DateTime& until = plan->actualFinish.status == DateTimeStatus::Valid ? plan->actualFinish : db.CurrentDate();
            r.actualRight = std::max(r.actualLeft, g.scale.X(DayOf(until)));
        }
        if (r.summary) r.colour = kSummaryColour;
        else if (r.milestone) r.colour = kMilestoneColour;
        else if (IsKnownConstructionType(t.type)) r.colour = typeColours[ConstructionTypeIndex(t.type)];
        if (plan)
            for (const Dependency& d : plan->predecessors) {
                auto it = rowOfUid.find(d.predecessorUid);
                if (it != rowOfUid.end()) r.predecessors.push_back({it->second, d.type});
            }
        if (shown >= view.firstRow) {
            r.top = ChartGeometry::kScaleHeight + (shown - view.firstRow) * ChartGeometry::kRowHeight;
            if (r.top < height) g.rows.push_back(std::move(r));
        }
        ++shown;
    }
    g.shownRowCount = shown;
    const DateTime& current = db.CurrentDate();
    if (current.status == DateTimeStatus::Valid) {
        g.currentDay = DayOfTicks(current.ticks - 1);
        g.currentX = g.scale.X(DayOf(current));
    }
    if (hasStatus) {
        g.hasStatus = true;
        g.statusDay = DayOfTicks(status.ticks - 1);
        g.statusX = g.scale.X(DayOf(status));
    }
    DateTime now = DateTime::Now();
    g.todayDay = DayOfTicks(now.ticks);
    g.todayX = g.scale.X(DayOf(now));
    return g;
}
