#include "shell/Inspection.h"

#include "bytes/FixedText.h"
#include "basekit/BKText.h"
#include "display/ProfileText.h"
#include "linking/HostElementFacts.h"
#include "linking/TaskWeights.h"
#include "schedule/tasks/SCurve.h"
#include "shell/ModuleObjects.h"

#include <cstdio>
#include <sstream>
#include <string>

namespace {

std::string Date(const DateTime& d) {
    if (d.status == DateTimeStatus::Invalid) return "invalid";
    if (d.status == DateTimeStatus::Null) return "null";
    char buf[32];
    DateTimeFields f;
    if (!d.GetFields(f)) return "invalid";
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", f.year, f.month, f.day, f.hour, f.minute, f.second);
    return buf;
}

std::string Quote(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out.push_back('\\');
        out.push_back(c);
    }
    return out + "\"";
}

// What a plan says of a task, for a schedule that has a plan: unique id, outline level, WBS code,
// summary/milestone/work, percent complete, actual start and finish, predecessors, and the
// IfcTask's GlobalId where the task has one.
std::string PlanText(const TaskPlan* plan) {
    static const TaskPlan none;
    const TaskPlan& p = plan ? *plan : none;
    auto moment = [](const DateTime& d) { return d.status == DateTimeStatus::Null ? std::string("-") : Date(d); };
    std::ostringstream out;
    out << " plan " << p.uid << " " << p.outlineLevel << " " << Quote(p.wbs) << " "
        << (p.summary ? "summary" : p.milestone ? "milestone" : "work") << " "
        << (p.percentComplete == TaskPlan::kNoPercent ? std::string("-") : std::to_string(p.percentComplete)) << " "
        << moment(p.actualStart) << " " << moment(p.actualFinish) << " ";
    if (p.predecessors.empty()) out << "-";
    for (size_t i = 0; i < p.predecessors.size(); ++i) {
        const Dependency& d = p.predecessors[i];
        out << (i ? "," : "") << d.predecessorUid << ":" << DependencyTypeText(d.type) << ":" << d.lag << "/"
            << static_cast<int>(d.lagFormat);
    }
    if (!p.ifcGlobalId.empty()) out << " ifc " << p.ifcGlobalId;
    return out.str();
}

const std::string& TypeChoiceOf(const ProfileSet& set, const Task& t) {
    static const std::string none;
    return IsKnownConstructionType(t.type) ? set.TypeChoice(t.type) : none;
}

std::string Profiles() {
    const ProfileSet& set = Module().elementHider.Profiles();
    std::string out;
    for (const AppearanceProfile& p : set.Profiles()) out += ProfileLine(p) + "\n";
    return out + TypesLine(set) + "\n";
}

std::string Tasks() {
    std::ostringstream out;
    const TaskDB& db = Module().taskDB;
    out << "tasks " << db.TaskCount() << (db.IsDirty() ? " dirty" : " clean") << " current "
        << Date(db.CurrentDate());
    // Only a schedule that says where it stands says so.
    if (db.View() != ScheduleView::Planned || db.StatusDate().status == DateTimeStatus::Valid)
        out << " view " << ScheduleViewText(db.View()) << " status "
            << (db.StatusDate().status == DateTimeStatus::Valid ? Date(db.StatusDate()) : std::string("-"));
    out << "\n";
    auto linked = db.LinkedElementCounts();
    const bool planned = db.HasPlan();
    const ProfileSet& profiles = Module().elementHider.Profiles();
    for (size_t i = 0; i < db.TaskCount(); ++i) {
        const Task& t = db.Tasks()[i];
        auto count = linked.find(t.id);
        out << i << " " << t.id << " " << ConstructionTypeValue(t.type) << " " << Quote(t.Name()) << " "
            << Date(t.start) << " " << Date(t.finish) << " " << t.percentComplete << " "
            << static_cast<int>(t.inProgress) << " " << static_cast<int32_t>(t.appearance) << " " << t.flags << " "
            << (count == linked.end() ? 0 : count->second) << (planned ? PlanText(db.PlanAt(i)) : std::string());
        // Only a task that takes another profile than its type's says so: other lines stay as they were.
        if (const std::string& own = profiles.TaskChoice(t.id); !own.empty() && own != TypeChoiceOf(profiles, t))
            out << " profile " << Quote(own);
        out << "\n";
    }
    return out.str();
}

std::string CellSummary(const DGCanvas& canvas) {
    std::string s;
    for (const auto& op : canvas.Ops()) {
        char buf[64];
        switch (op.kind) {
        case DGCanvasOp::Kind::Frame: s += "[frame]"; break;
        case DGCanvasOp::Kind::Fill:
            std::snprintf(buf, sizeof buf, "[fill %06X %d]", op.color, op.right - op.left);
            s += buf;
            break;
        case DGCanvasOp::Kind::Text: s += "[text " + op.text + "]"; break;
        case DGCanvasOp::Kind::Line: s += "[line]"; break;
        case DGCanvasOp::Kind::Polygon: s += "[polygon]"; break;
        }
    }
    return s;
}

std::string Palette() {
    std::ostringstream out;
    ModuleObjects& m = Module();
    if (!m.palette || !m.palette->Dialog()) return "palette none\n";
    MainDialogCPP& p = *m.palette;
    DGDialog& d = *p.Dialog();
    DGListState& list = *d.List(MainDialogCPP::kList);
    out << "title " << Quote(d.Title()) << "\n";
    out << "toggle " << Quote(d.ItemText(MainDialogCPP::kMarkToggle)) << "\n";
    out << "visible " << (p.IsVisible() ? 1 : 0) << "\n";
    out << "selected " << list.selected << " edited " << p.EditedRow() << "\n";
    out << "sort " << p.SortColumn() << (p.SortDescending() ? " descending" : " ascending") << "\n";
    DateTime current;
    current.FromPlatformTime(d.ItemValue(MainDialogCPP::kCurrentDate));
    out << "date " << Date(current).substr(0, 10) << "\n";
    for (size_t r = 0; r < list.rows.size(); ++r) {
        const DGListRow& row = list.rows[r];
        auto rowNumber = static_cast<int32_t>(r + 1);
        out << "row " << rowNumber << " " << row.value;
        for (size_t tab = 0; tab < 5; ++tab) {
            if (tab == 2) out << " " << Quote(CellSummary(d.DrawTab(MainDialogCPP::kList, rowNumber, 3)));
            else out << " " << Quote(tab < row.tabs.size() ? row.tabs[tab] : std::string());
        }
        out << (row.colored ? " marked" : "") << "\n";
    }
    if (p.EditedRow() > 0) {
        out << "editor " << Quote(d.ItemText(MainDialogCPP::kNameEditor)) << " " << d.ItemValue(MainDialogCPP::kTypeEditor);
        for (int16_t e : {MainDialogCPP::kStartEditor, MainDialogCPP::kFinishEditor}) {
            DateTime v;
            v.FromPlatformTime(d.ItemValue(e));
            out << " " << Date(v).substr(0, 10);
        }
        // Only a chosen profile says so, so the line of an edit that takes its type's stays as it was.
        if (std::string profile = p.ChosenProfile(); !profile.empty()) out << " profile " << Quote(profile);
        out << "\n";
    }
    return out.str();
}

std::string DayText(int64_t day) { return Date(DateTime::FromTicks(TicksOfDay(day))).substr(0, 10); }

std::string Colour(uint32_t bgr) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "#%02X%02X%02X", bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
    return buf;
}

const char* UnitName(ChartUnit unit) {
    switch (unit) {
    case ChartUnit::Year: return "years";
    case ChartUnit::Month: return "months";
    case ChartUnit::Week: return "weeks";
    case ChartUnit::Day: return "days";
    }
    return "";
}

// The chart as its geometry has it: the scale's range and zoom, the lines, then one row a line.
std::string Chart() {
    std::ostringstream out;
    ModuleObjects& m = Module();
    if (!m.chart || !m.chart->Dialog()) return "chart none\n";
    ChartWindow& c = *m.chart;
    ChartGeometry g = c.Geometry();
    out << "chart visible " << (c.IsVisible() ? 1 : 0) << " zoom " << g.scale.Zoom() << " " << g.scale.PixelsPerDay()
        << " px/day " << UnitName(g.scale.Upper()) << "/" << UnitName(g.scale.Lower()) << " from "
        << DayText(g.scale.FirstDay()) << " to " << DayText(g.scale.EndDay(g.width) - 1) << " size " << g.width << "x"
        << g.height << "\n";
    out << "current " << DayText(g.currentDay) << " x " << g.currentX << " today " << DayText(g.todayDay) << " x "
        << g.todayX << " play " << (c.Playing() ? "on" : "off") << " speed " << c.DaysPerSecond();
    if (g.hasStatus) out << " status " << DayText(g.statusDay) << " x " << g.statusX;
    out << "\n";
    for (const ChartRowGeometry& r : g.rows) {
        out << "row " << r.row << (r.summary ? " summary " : " task ") << r.taskId << " " << Quote(r.name);
        if (!r.valid) out << " no-bar";
        else if (r.milestone) out << " milestone " << r.left;
        else out << " bar " << r.left << " " << r.right;
        out << " " << Colour(r.colour) << " done " << r.percent;
        if (r.valid && !r.milestone) out << " " << r.doneRight;
        if (r.hasActual) out << " actual " << r.actualLeft << " " << r.actualRight;
        if (r.hasBaseline) out << " baseline " << r.baselineLeft << " " << r.baselineRight;
        if (r.late) out << " late";
        if (!r.predecessors.empty()) {
            out << " deps ";
            for (size_t i = 0; i < r.predecessors.size(); ++i)
                out << (i ? "," : "") << r.predecessors[i].fromRow << ":" << DependencyTypeText(r.predecessors[i].type);
        }
        if (r.level > 0) out << " level " << r.level;
        if (r.hasChildren) out << (r.collapsed ? " collapsed" : " open");
        if (r.row == g.selectedRow) out << " selected";
        out << "\n";
    }
    return out.str();
}

std::string Settings() {
    std::ostringstream out;
    const AnimationSettings& s = Module().settings;
    out << "projectFilePath " << Quote(BKTextOf(s.projectFilePath)) << "\n";
    out << "projectFileKind " << s.projectFileKind << "\n";
    out << "untitled " << (s.untitled ? 1 : 0) << "\n";
    out << "movieFilePath " << Quote(BKTextOf(s.movieFilePath)) << "\n";
    out << "animationStart " << Date(s.animationStart) << "\n";
    out << "animationEnd " << Date(s.animationEnd) << "\n";
    out << "stepDays " << s.step.TotalDays() << " stepHours " << s.step.TotalHours() << "\n";
    out << "fromCurrentView " << s.fromCurrentView << " use3DWindow " << s.use3DWindow << " movieKind " << s.movieKind
        << "\n";
    out << "labelObjectOn " << s.labelObjectOn << " customLabelOn " << s.customLabelOn << " dateLabelOn "
        << s.dateLabelOn << "\n";
    out << "customLabelText " << Quote(BKTextOf(s.customLabelText)) << "\n";
    out << "labelObjectName " << Quote(BKTextOf(s.labelObjectName)) << "\n";
    return out.str();
}

// One line a baseline, each followed by the tasks that moved against it, worst first.
std::string Baselines() {
    std::ostringstream out;
    const TaskDB& db = Module().taskDB;
    for (const Baseline& b : db.Baselines()) {
        out << "baseline " << Quote(b.name) << " " << Date(b.kept) << " " << b.tasks.size() << "\n";
        for (const TaskSlip& s : SlipsAgainst(db.Tasks(), b)) {
            const Task& t = db.Tasks()[s.index];
            out << "slip " << t.id << " " << Quote(t.Name()) << " start " << s.startDays << " finish " << s.finishDays
                << "\n";
        }
    }
    return out.str();
}

// One line a day: its date, the planned and the actual share of the whole in percent ("-" after
// the status date), the work weighed by its elements, or by their quantity of `key`.
std::string SCurveLines(const std::string& key) {
    TaskDB& db = Module().taskDB;
    HostElementFacts facts(Module().elementHider);
    const SCurve curve = ComputeSCurve(db, TaskWeights(db, facts, key));
    std::string out;
    char line[96];
    for (const SCurvePoint& p : curve.points) {
        DateTimeFields f;
        p.day.GetFields(f);
        if (p.actual)
            std::snprintf(line, sizeof line, "s-curve %04d-%02d-%02d %.2f %.2f\n", f.year, f.month, f.day, p.planned, *p.actual);
        else
            std::snprintf(line, sizeof line, "s-curve %04d-%02d-%02d %.2f -\n", f.year, f.month, f.day, p.planned);
        out += line;
    }
    return out;
}

} // namespace

extern "C" const char* BauvistaDescribe(const char* what) {
    static std::string text;
    std::string w = what ? what : "";
    if (w == "tasks") text = Tasks();
    else if (w == "palette") text = Palette();
    else if (w == "settings") text = Settings();
    else if (w == "chart") text = Chart();
    else if (w == "profiles") text = Profiles();
    else if (w == "baselines") text = Baselines();
    else if (w == "s-curve" || w.starts_with("s-curve ")) text = SCurveLines(w.size() > 8 ? BKFromUtf8(w.substr(8)) : "");
    else return nullptr;
    return text.c_str();
}
