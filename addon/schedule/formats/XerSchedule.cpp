#include "schedule/formats/XerSchedule.h"

#include "schedule/formats/ScheduleTextLines.h"
#include "schedule/tasks/ConstructionTypeText.h"
#include "schedule/tasks/NumberText.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <set>
#include <unordered_map>

namespace {

const XerTable& TableOf(const XerTables& tables, std::string_view name) {
    static const XerTable none;
    auto at = tables.find(name);
    return at == tables.end() ? none : at->second;
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

// Construction types the activity codes and user fields named "Típus" or "Type" give, by task_id.
std::unordered_map<std::string_view, ConstructionType> TypesByTask(const XerTables& tables) {
    std::unordered_map<std::string_view, ConstructionType> types;
    size_t ignored = 0;
    const XerTable& codeTypes = TableOf(tables, "ACTVTYPE");
    std::set<std::string_view> typeCodes;
    for (const XerRow& r : codeTypes.rows)
        if (IsTypeFieldName(codeTypes.Value(r, "actv_code_type")))
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
        if (IsTypeFieldName(fieldTypes.Value(r, "udf_type_label")) || IsTypeFieldName(fieldTypes.Value(r, "udf_type_name")))
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
    P6ProjectPlan project;
    std::set<std::string_view> wbsIds;
    for (const XerRow& r : wbs.rows) {
        if (wbs.Value(r, "proj_id") != projectId || !wbsIds.insert(wbs.Value(r, "wbs_id")).second) continue;
        P6Wbs& w = project.wbs.emplace_back();
        w.id = wbs.Value(r, "wbs_id");
        w.parentId = wbs.Value(r, "parent_wbs_id");
        w.code = wbs.Value(r, "wbs_short_name");
        w.name = wbs.Value(r, "wbs_name");
        w.seq = IntegerOf(wbs.Value(r, "seq_num")).value_or(0);
        w.projectNode = wbs.Value(r, "proj_node_flag") == "Y";
    }

    std::unordered_map<std::string_view, ConstructionType> types = TypesByTask(tables);
    const char* fields[6] = {"act_start_date", "act_end_date", "early_start_date", "early_end_date", "target_start_date", "target_end_date"};
    for (const XerRow& r : tasks.rows) {
        if (tasks.Value(r, "proj_id") != projectId) continue;
        // Every date the activity has must be one P6 writes, whichever is shown.
        std::optional<DateTime> d[6];
        for (size_t i = 0; i < 6; ++i) {
            std::string_view text = tasks.Value(r, fields[i]);
            if (text.empty()) continue;
            if (!(d[i] = P6MomentOf(text, ' '))) {
                error = {XerError::UnknownDate, r.line, std::string(text.substr(0, 40))};
                return false;
            }
        }
        P6Activity& a = project.activities.emplace_back();
        a.wbsId = tasks.Value(r, "wbs_id");
        a.code = tasks.Value(r, "task_code");
        a.name = tasks.Value(r, "task_name");
        a.uid = static_cast<int32_t>(std::clamp<int64_t>(IntegerOf(tasks.Value(r, "task_id")).value_or(0), 0,
                                                         std::numeric_limits<int32_t>::max()));
        std::string_view kind = tasks.Value(r, "task_type");
        a.kind = kind == "TT_Mile" ? P6ActivityKind::StartMilestone
                 : kind == "TT_FinMile" ? P6ActivityKind::FinishMilestone
                                        : P6ActivityKind::Task;
        a.actualStart = d[0], a.actualFinish = d[1], a.currentStart = d[2], a.currentFinish = d[3];
        a.plannedStart = d[4], a.plannedFinish = d[5];
        a.percentComplete = PercentOf(tasks, r);
        if (auto given = types.find(tasks.Value(r, "task_id")); given != types.end()) a.type = given->second;
    }

    const XerTable& links = TableOf(tables, "TASKPRED");
    for (const XerRow& r : links.rows) {
        auto to = IntegerOf(links.Value(r, "task_id")), from = IntegerOf(links.Value(r, "pred_task_id"));
        bool known = false;
        DependencyType type = DependencyTypeOf(links.Value(r, "pred_type"), known);
        if (!to || !from || !known) continue;
        project.relationships.push_back({*to, *from, type, DecimalOf(links.Value(r, "lag_hr_cnt")).value_or(0)});
    }
    BuildP6Schedule(project, out);
    return true;
}
