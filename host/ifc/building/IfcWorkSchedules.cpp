#include "host/ifc/building/IfcWorkSchedules.h"

#include "host/ifc/step/StepDataReader.h"
#include "host/ifc/step/StepValues.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>
#include <unordered_map>
#include <unordered_set>

namespace {

// Attribute places, 0-based, of the records read.
namespace ifc4 {
constexpr size_t kTaskIdentification = 5, kTaskMilestone = 9, kTaskTime = 11, kTaskType = 12;
constexpr size_t kScheduleStart = 5, kScheduleFinish = 6, kActualStart = 16, kActualFinish = 17, kCompletion = 19;
constexpr size_t kLagValue = 3;
} // namespace ifc4
namespace ifc2x3 {
constexpr size_t kTaskIdentification = 5, kTaskMilestone = 8;
constexpr size_t kActualStart = 5, kScheduleStart = 8, kActualFinish = 9, kScheduleFinish = 12, kCompletion = 22;
constexpr size_t kTimeForTask = 7;
} // namespace ifc2x3
constexpr size_t kName = 2, kObjectType = 4, kRelated = 4, kRelating = 6, kNestRelating = 4, kNestRelated = 5;
constexpr size_t kSequenceLag = 6, kSequenceType = 7;
constexpr uint16_t kMaxLevel = 1000;

bool SameName(std::string_view type, std::string_view name) {
    return type.size() == name.size() &&
           std::equal(type.begin(), type.end(), name.begin(),
                      [](char a, char b) { return std::toupper(static_cast<unsigned char>(a)) == b; });
}

bool Contains(std::string_view text, std::string_view upper) {
    if (text.find(upper) != std::string_view::npos) return true;
    std::string lower(upper);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text.find(lower) != std::string_view::npos;
}

// "YYYY-MM-DD[Thh:mm[:ss]]..." as "YYYY-MM-DDThh:mm:ss"; empty for anything else.
std::string IsoMoment(std::string_view text) {
    auto number = [&](size_t at, size_t digits) -> int {
        if (at + digits > text.size()) return -1;
        int value = 0;
        for (size_t i = at; i < at + digits; ++i) {
            if (!std::isdigit(static_cast<unsigned char>(text[i]))) return -1;
            value = value * 10 + (text[i] - '0');
        }
        return value;
    };
    int year = number(0, 4), month = number(5, 2), day = number(8, 2);
    if (year < 0 || month < 1 || month > 12 || day < 1 || day > 31 || text[4] != '-' || text[7] != '-') return {};
    int hour = 0, minute = 0, second = 0;
    if (text.size() > 10 && text[10] == 'T') {
        hour = number(11, 2);
        minute = text.size() > 13 && text[13] == ':' ? number(14, 2) : -1;
        if (text.size() > 16 && text[16] == ':') second = number(17, 2);
        if (hour < 0 || hour > 24 || minute < 0 || minute > 59 || second < 0 || second > 60) return {};
    }
    char out[32];
    std::snprintf(out, sizeof out, "%04d-%02d-%02dT%02d:%02d:%02d", year, month, day, hour, minute, second);
    return out;
}

// ISO 8601's PnYnMnDTnHnMnS (IFC4's IfcDuration) in seconds, a year 365 days and a month 30;
// nothing for another form.
std::optional<double> IsoDurationSeconds(std::string_view text) {
    bool negative = !text.empty() && text.front() == '-';
    if (negative) text.remove_prefix(1);
    if (text.empty() || text.front() != 'P') return std::nullopt;
    double seconds = 0;
    bool time = false, any = false;
    for (size_t at = 1; at < text.size();) {
        if (text[at] == 'T') {
            time = true;
            ++at;
            continue;
        }
        double value = 0;
        auto [end, ec] = std::from_chars(text.data() + at, text.data() + text.size(), value);
        if (ec != std::errc() || end == text.data() + text.size()) return std::nullopt;
        at = static_cast<size_t>(end - text.data());
        switch (text[at++]) {
        case 'Y': seconds += value * 365 * 86400; break;
        case 'M': seconds += value * (time ? 60 : 30 * 86400); break;
        case 'W': seconds += value * 7 * 86400; break;
        case 'D': seconds += value * 86400; break;
        case 'H': seconds += value * 3600; break;
        case 'S': seconds += value; break;
        default: return std::nullopt;
        }
        any = true;
    }
    if (!any) return std::nullopt;
    return negative ? -seconds : seconds;
}

class Reader {
public:
    Reader(std::string_view text, const StepScan& scan, bool ifc4) : text_(text), scan_(scan), ifc4_(ifc4) {}

    ModelWorkSchedules Read() {
        ModelWorkSchedules out;
        out.fileSize = text_.size();
        const bool tasks = Contains(text_, "IFCTASK");
        std::vector<uint32_t> nests, sequences, toProduct, toProcess, toControl;
        for (uint32_t p = 0; p < scan_.ids.size(); ++p) {
            out.highestRecord = std::max(out.highestRecord, scan_.ids[p]);
            out.recordsEnd = std::max<uint64_t>(out.recordsEnd, scan_.End(p));
            // Without tasks, only the project and the products are looked at: typing each of a
            // large file's millions of records would hold the read's scan for a second more.
            if (!tasks && out.projectRecord != 0 && !scan_.MayBeProduct(p)) continue;
            std::string_view type = TypeAt(p);
            if (out.projectRecord == 0 && SameName(type, "IFCPROJECT")) out.projectRecord = scan_.ids[p];
            if (tasks && Classify(out, type, p, nests, sequences, toProduct, toProcess, toControl)) continue;
            // Relationships name references where products name their placement and body.
            const bool relationship = type.size() > 6 && SameName(type.substr(0, 6), "IFCREL");
            if (scan_.MayBeProduct(p) && !relationship)
                if (std::string id = GlobalIdAt(p); !id.empty()) out.productRecords.emplace_back(std::move(id), scan_.ids[p]);
        }
        if (out.tasks.empty()) return out;
        for (uint32_t p : toControl) AssignToControl(out, p);
        for (uint32_t p : nests) Nest(out, p);
        for (uint32_t p : toProduct) Outputs(out, p);
        for (uint32_t p : toProcess) Inputs(out, p);
        for (uint32_t p : sequences) Sequence(out, p);
        InOutlineOrder(out);
        if (ifc4_) TaskRecordSpans(out);
        return out;
    }

private:
    // A 4D record, noted or read; false for any other.
    bool Classify(ModelWorkSchedules& out, std::string_view type, uint32_t p, std::vector<uint32_t>& nests,
                  std::vector<uint32_t>& sequences, std::vector<uint32_t>& toProduct, std::vector<uint32_t>& toProcess,
                  std::vector<uint32_t>& toControl) {
        if (type.size() < 7) return false;
        const char fourth = static_cast<char>(std::toupper(static_cast<unsigned char>(type[3])));
        if (fourth != 'R' && fourth != 'T' && fourth != 'W') return false; // IFCREL..., IFCTASK, IFCWORKSCHEDULE
        if (SameName(type, "IFCTASK")) AddTask(out, p);
        else if (SameName(type, "IFCWORKSCHEDULE")) AddSchedule(out, p);
        else if (SameName(type, "IFCRELNESTS")) nests.push_back(p);
        else if (SameName(type, "IFCRELSEQUENCE")) sequences.push_back(p);
        else if (SameName(type, "IFCRELASSIGNSTOPRODUCT")) toProduct.push_back(p);
        else if (SameName(type, "IFCRELASSIGNSTOPROCESS")) toProcess.push_back(p);
        else if (SameName(type, "IFCRELASSIGNSTASKS") || SameName(type, "IFCRELASSIGNSTOCONTROL")) toControl.push_back(p);
        else return false;
        return true;
    }

    std::string_view TypeAt(uint32_t p) const { return StepTypeAt(text_, scan_.Offset(p)); }
    std::string_view RecordAt(uint32_t p) const { return text_.substr(scan_.Offset(p), scan_.End(p) - scan_.Offset(p)); }
    std::vector<std::string_view> AttributesOf(int id) const {
        const int64_t p = scan_.Position(id);
        return p < 0 ? std::vector<std::string_view>{} : StepAttributes(RecordAt(static_cast<uint32_t>(p)));
    }
    std::string_view TypeOf(int id) const {
        const int64_t p = scan_.Position(id);
        return p < 0 ? std::string_view() : TypeAt(static_cast<uint32_t>(p));
    }
    static std::string Text(const std::vector<std::string_view>& a, size_t i) {
        if (i >= a.size()) return {};
        return StepString(a[i]).value_or(std::string());
    }
    std::string GlobalIdAt(uint32_t p) const {
        std::vector<std::string_view> a = StepAttributes(RecordAt(p));
        std::string id = Text(a, 0);
        return id.size() == 22 ? id : std::string();
    }
    int TaskOf(int id) const {
        auto found = taskByRecord_.find(id);
        return found == taskByRecord_.end() ? -1 : found->second;
    }

    void AddSchedule(ModelWorkSchedules& out, uint32_t p) {
        std::vector<std::string_view> a = StepAttributes(RecordAt(p));
        if (a.empty()) return;
        scheduleByRecord_[scan_.ids[p]] = static_cast<int>(out.schedules.size());
        out.schedules.push_back({Text(a, 0), Text(a, kName), scan_.ids[p]});
    }

    void AddTask(ModelWorkSchedules& out, uint32_t p) {
        std::vector<std::string_view> a = StepAttributes(RecordAt(p));
        if (a.size() < (ifc4_ ? 13u : 10u)) return;
        ModelScheduleTask task;
        task.globalId = Text(a, 0);
        task.name = Text(a, kName);
        task.objectType = Text(a, kObjectType);
        task.identification = Text(a, ifc4_ ? ifc4::kTaskIdentification : ifc2x3::kTaskIdentification);
        task.milestone = StepEnumeration(a[ifc4_ ? ifc4::kTaskMilestone : ifc2x3::kTaskMilestone]) == "T";
        if (ifc4_) {
            task.predefinedType = std::string(StepEnumeration(a[ifc4::kTaskType]));
            for (char& c : task.predefinedType) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            TaskTime(task, StepReference(a[ifc4::kTaskTime]));
        }
        taskByRecord_[scan_.ids[p]] = static_cast<int>(out.tasks.size());
        out.tasks.push_back(std::move(task));
        Own(scan_.ids[p]);
        children_.emplace_back();
    }

    std::string Moment(std::string_view attribute) const {
        if (ifc4_) return IsoMoment(StepString(attribute).value_or(std::string()));
        // IFC2X3's IfcDateTimeSelect: a calendar date, or a date and a local time.
        int id = StepReference(attribute);
        std::vector<std::string_view> a = AttributesOf(id);
        std::string_view type = TypeOf(id);
        int hour = 0, minute = 0, second = 0;
        if (SameName(type, "IFCDATEANDTIME") && a.size() >= 2) {
            std::vector<std::string_view> time = AttributesOf(StepReference(a[1]));
            if (SameName(TypeOf(StepReference(a[1])), "IFCLOCALTIME") && !time.empty()) {
                hour = static_cast<int>(StepReal(time[0]).value_or(0));
                if (time.size() > 1) minute = static_cast<int>(StepReal(time[1]).value_or(0));
                if (time.size() > 2) second = static_cast<int>(StepReal(time[2]).value_or(0));
            }
            id = StepReference(a[0]);
            a = AttributesOf(id);
            type = TypeOf(id);
        }
        if (!SameName(type, "IFCCALENDARDATE") || a.size() < 3) return {};
        double day = StepReal(a[0]).value_or(0), month = StepReal(a[1]).value_or(0), year = StepReal(a[2]).value_or(0);
        if (day < 1 || day > 31 || month < 1 || month > 12 || year < 1 || year > 9999) return {};
        if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59) hour = minute = second = 0;
        char out[32];
        std::snprintf(out, sizeof out, "%04d-%02d-%02dT%02d:%02d:%02d", static_cast<int>(year), static_cast<int>(month),
                      static_cast<int>(day), hour, minute, second);
        return out;
    }

    // IFC4's IfcTaskTime, or IFC2X3's IfcScheduleTimeControl.
    void TaskTime(ModelScheduleTask& task, int record) const {
        std::string_view type = TypeOf(record);
        const bool taskTime = SameName(type, "IFCTASKTIME") || SameName(type, "IFCTASKTIMERECURRING");
        if (!(ifc4_ ? taskTime : SameName(type, "IFCSCHEDULETIMECONTROL"))) return;
        Own(record);
        std::vector<std::string_view> a = AttributesOf(record);
        const size_t completion = ifc4_ ? ifc4::kCompletion : ifc2x3::kCompletion;
        if (a.size() <= completion) return;
        task.scheduleStart = Moment(a[ifc4_ ? ifc4::kScheduleStart : ifc2x3::kScheduleStart]);
        task.scheduleFinish = Moment(a[ifc4_ ? ifc4::kScheduleFinish : ifc2x3::kScheduleFinish]);
        task.actualStart = Moment(a[ifc4_ ? ifc4::kActualStart : ifc2x3::kActualStart]);
        task.actualFinish = Moment(a[ifc4_ ? ifc4::kActualFinish : ifc2x3::kActualFinish]);
        if (auto ratio = StepReal(a[completion]); ratio && *ratio >= 0) {
            // A ratio as IFC defines it; some exporters write a percentage.
            double percent = *ratio <= 1.0 ? *ratio * 100 : *ratio;
            task.percent = static_cast<int32_t>(std::min(100.0, percent) + 0.5);
        }
    }

    // A work schedule's tasks, and in IFC2X3 the times they are given.
    void AssignToControl(ModelWorkSchedules& out, uint32_t p) {
        std::vector<std::string_view> a = StepAttributes(RecordAt(p));
        if (a.size() <= kRelating) return;
        auto schedule = scheduleByRecord_.find(StepReference(a[kRelating]));
        const int time = !ifc4_ && a.size() > ifc2x3::kTimeForTask ? StepReference(a[ifc2x3::kTimeForTask]) : -1;
        for (int id : StepReferences(a[kRelated])) {
            int t = TaskOf(id);
            if (t < 0) continue;
            Own(scan_.ids[p]);
            ModelScheduleTask& task = out.tasks[static_cast<size_t>(t)];
            if (schedule != scheduleByRecord_.end() && task.schedule < 0) task.schedule = schedule->second;
            if (time >= 0) TaskTime(task, time);
        }
    }

    void Nest(ModelWorkSchedules& out, uint32_t p) {
        std::vector<std::string_view> a = StepAttributes(RecordAt(p));
        if (a.size() <= kNestRelated) return;
        const int parent = TaskOf(StepReference(a[kNestRelating]));
        if (parent < 0) return;
        Own(scan_.ids[p]);
        for (int id : StepReferences(a[kNestRelated])) {
            const int child = TaskOf(id);
            if (child < 0 || out.tasks[static_cast<size_t>(child)].parent >= 0) continue;
            // Never under itself: a loop of nestings leaves the one that closes it out.
            bool loop = false;
            for (int up = parent, steps = 0; up >= 0 && !loop; up = out.tasks[static_cast<size_t>(up)].parent, ++steps)
                loop = up == child || steps > static_cast<int>(out.tasks.size());
            if (loop) continue;
            out.tasks[static_cast<size_t>(child)].parent = parent;
            children_[static_cast<size_t>(parent)].push_back(child);
        }
    }

    std::string GlobalIdOf(int id) const {
        const int64_t p = scan_.Position(id);
        return p < 0 ? std::string() : GlobalIdAt(static_cast<uint32_t>(p));
    }

    static void AddOnce(std::vector<std::string>& list, std::string globalId) {
        if (!globalId.empty() && std::find(list.begin(), list.end(), globalId) == list.end()) list.push_back(std::move(globalId));
    }

    void Outputs(ModelWorkSchedules& out, uint32_t p) {
        std::vector<std::string_view> a = StepAttributes(RecordAt(p));
        if (a.size() <= kRelating) return;
        std::string product = GlobalIdOf(StepReference(a[kRelating]));
        if (product.empty()) return;
        for (int id : StepReferences(a[kRelated])) {
            if (int t = TaskOf(id); t >= 0) {
                AddOnce(out.tasks[static_cast<size_t>(t)].outputs, product);
                Own(scan_.ids[p]);
            }
        }
    }

    void Inputs(ModelWorkSchedules& out, uint32_t p) {
        std::vector<std::string_view> a = StepAttributes(RecordAt(p));
        if (a.size() <= kRelating) return;
        const int t = TaskOf(StepReference(a[kRelating]));
        if (t < 0) return;
        Own(scan_.ids[p]);
        for (int id : StepReferences(a[kRelated])) {
            if (TaskOf(id) >= 0 || SameName(TypeOf(id), "IFCSCHEDULETIMECONTROL")) continue;
            AddOnce(out.tasks[static_cast<size_t>(t)].inputs, GlobalIdOf(id));
        }
    }

    void Sequence(ModelWorkSchedules& out, uint32_t p) {
        std::vector<std::string_view> a = StepAttributes(RecordAt(p));
        if (a.size() <= kSequenceType) return;
        ModelScheduleSequence s;
        s.predecessor = TaskOf(StepReference(a[kNestRelating]));
        s.successor = TaskOf(StepReference(a[kNestRelated]));
        if (s.predecessor < 0 || s.successor < 0) return;
        Own(scan_.ids[p]);
        s.type = std::string(StepEnumeration(a[kSequenceType]));
        if (ifc4_) {
            int lag = StepReference(a[kSequenceLag]);
            if (SameName(TypeOf(lag), "IFCLAGTIME")) Own(lag);
            std::vector<std::string_view> l = AttributesOf(lag);
            if (SameName(TypeOf(lag), "IFCLAGTIME") && l.size() > ifc4::kLagValue &&
                l[ifc4::kLagValue].starts_with("IFCDURATION"))
                s.lagSeconds = IsoDurationSeconds(StepString(l[ifc4::kLagValue]).value_or(std::string())).value_or(0);
        } else {
            s.lagSeconds = StepReal(a[kSequenceLag]).value_or(0);
        }
        // A lag of decades is already nonsense; the add-on counts it in whole minutes.
        s.lagSeconds = std::isfinite(s.lagSeconds) ? std::clamp(s.lagSeconds, -1e9, 1e9) : 0.0;
        out.sequences.push_back(std::move(s));
    }

    // Each task after the one nesting it, children in the order their nesting gives them, the
    // top in file order; task indexes everywhere follow.
    void InOutlineOrder(ModelWorkSchedules& out) {
        const size_t n = out.tasks.size();
        std::vector<int> order;
        order.reserve(n);
        std::vector<std::pair<int, size_t>> stack; // task, next child
        for (size_t root = 0; root < n; ++root) {
            if (out.tasks[root].parent >= 0) continue;
            stack.push_back({static_cast<int>(root), 0});
            order.push_back(static_cast<int>(root));
            while (!stack.empty()) {
                auto& [task, next] = stack.back();
                const std::vector<int>& kids = children_[static_cast<size_t>(task)];
                if (next == kids.size()) {
                    stack.pop_back();
                    continue;
                }
                const int child = kids[next++];
                ModelScheduleTask& c = out.tasks[static_cast<size_t>(child)];
                const ModelScheduleTask& parent = out.tasks[static_cast<size_t>(task)];
                c.level = static_cast<uint16_t>(std::min<int>(parent.level + 1, kMaxLevel));
                if (c.schedule < 0) c.schedule = parent.schedule;
                order.push_back(child);
                stack.push_back({child, 0});
            }
        }
        std::vector<int> newIndex(n, -1);
        for (size_t i = 0; i < order.size(); ++i) newIndex[static_cast<size_t>(order[i])] = static_cast<int>(i);
        std::vector<ModelScheduleTask> tasks;
        tasks.reserve(order.size());
        for (int old : order) {
            tasks.push_back(std::move(out.tasks[static_cast<size_t>(old)]));
            if (tasks.back().parent >= 0) tasks.back().parent = newIndex[static_cast<size_t>(tasks.back().parent)];
        }
        out.tasks = std::move(tasks);
        for (ModelScheduleSequence& s : out.sequences) {
            s.predecessor = newIndex[static_cast<size_t>(s.predecessor)];
            s.successor = newIndex[static_cast<size_t>(s.successor)];
        }
    }

    void Own(int record) const {
        if (int64_t p = scan_.Position(record); p >= 0) own_.insert(static_cast<uint32_t>(p));
    }

    // The own records with the line end after each; none when a record that stays refers to one
    // of them, or one is written twice (a copy would keep the other writing).
    void TaskRecordSpans(ModelWorkSchedules& out) const {
        for (int id : scan_.repeated)
            if (int64_t p = scan_.Position(id); p >= 0 && own_.count(static_cast<uint32_t>(p))) return;
        for (uint32_t p = 0; p < scan_.ids.size(); ++p) {
            if (own_.count(p)) continue;
            for (int id : scan_.References(p))
                if (int64_t q = scan_.Position(id); q >= 0 && own_.count(static_cast<uint32_t>(q))) return;
        }
        std::vector<uint32_t> places(own_.begin(), own_.end());
        std::sort(places.begin(), places.end(), [&](uint32_t a, uint32_t b) { return scan_.Offset(a) < scan_.Offset(b); });
        for (uint32_t p : places) {
            size_t end = scan_.End(p);
            if (end < text_.size() && text_[end] == '\r') ++end;
            if (end < text_.size() && text_[end] == '\n') ++end;
            out.taskRecords.emplace_back(scan_.Offset(p), end);
        }
    }

    std::string_view text_;
    const StepScan& scan_;
    bool ifc4_;
    mutable std::unordered_set<uint32_t> own_; // places of the tasks' own records
    std::unordered_map<int, int> taskByRecord_, scheduleByRecord_;
    std::vector<std::vector<int>> children_;
};

} // namespace

ModelWorkSchedules ReadIfcWorkSchedules(std::string_view text, const StepScan& scan, std::string_view schema) {
    ModelWorkSchedules out = Reader(text, scan, schema != "IFC2X3").Read();
    out.schema = std::string(schema);
    return out;
}
