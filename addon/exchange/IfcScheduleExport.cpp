#include "exchange/IfcScheduleExport.h"

#include "basekit/BKText.h"
#include "bytes/FixedText.h"
#include "filekit/FKError.h"
#include "filekit/FKFile.h"
#include "filekit/FKReplacementFile.h"
#include "hostcalls/FileDialogs.h"
#include "hostcalls/HostInterface.h"
#include "linking/HostElementFacts.h"
#include "resources/AddonAlerts.h"
#include "resources/AddonResources.h"
#include "schedule/files/SaveFailureReport.h"
#include "schedule/tasks/AnimationSettings.h"
#include "steptext/IfcGlobalId.h"
#include "steptext/StepString.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <unordered_map>
#include <unordered_set>

namespace {

constexpr int16_t kReport = 32640;
constexpr int16_t kNotFromIfc = 2, kWritten = 6, kNotIfc4 = 7, kChanged = 8, kEmpty = 9, kUnplaced = 10;
constexpr int16_t kTitle = 7, kIfcType = 8, kIfcExtension = 9;
constexpr size_t kMaxIfcFile = size_t{1} << 31;
constexpr size_t kNamesShown = 3;

void Report(int16_t item, std::initializer_list<std::string_view> params) {
    HostReportWrite(AddonFormat(kReport, item, params).c_str(), 0);
}

std::string N(int64_t n) { return std::to_string(n); }

uint64_t Mix(uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

// A random-looking (version 4) UUID of the seed and the record, in IFC's 22 characters.
std::string GlobalIdFor(uint64_t seed, int32_t record) {
    uint64_t high = Mix(seed ^ static_cast<uint32_t>(record)), low = Mix(high ^ seed);
    high = (high & ~0xF000ull) | 0x4000ull;                                 // version 4
    low = (low & 0x3FFFFFFFFFFFFFFFull) | 0x8000000000000000ull;             // the variant
    API_Guid guid;
    for (size_t i = 0; i < 8; ++i) {
        guid.bytes[i] = static_cast<uint8_t>(high >> (56 - 8 * i));
        guid.bytes[8 + i] = static_cast<uint8_t>(low >> (56 - 8 * i));
    }
    return EncodeIfcGlobalId(guid);
}

// An 8-bit text of the add-on as a STEP string.
std::string StepTextOf(std::string_view cp1250) { return StepStringOf(BKToUtf8(cp1250)); }

std::string MomentText(const DateTime& d) {
    DateTimeFields f;
    if (!d.GetFields(f)) return "$";
    char text[40];
    std::snprintf(text, sizeof text, "'%04d-%02d-%02dT%02d:%02d:%02d'", f.year, f.month, f.day, f.hour, f.minute, f.second);
    return text;
}

struct TypeWords {
    const char* predefined;
    const char* objectType; // for the types IFC has no word of its own for
};
TypeWords WordsOf(ConstructionType type) {
    switch (type) {
    case ConstructionType::Construction: return {"CONSTRUCTION", nullptr};
    case ConstructionType::Demolition: return {"DEMOLITION", nullptr};
    case ConstructionType::Renovation: return {"RENOVATION", nullptr};
    case ConstructionType::Fixed: return {"USERDEFINED", "Fixed"};
    case ConstructionType::Temporary: return {"USERDEFINED", "Temporary"};
    default: return {"NOTDEFINED", nullptr};
    }
}

const char* SequenceOf(DependencyType type) {
    switch (type) {
    case DependencyType::StartToStart: return "START_START";
    case DependencyType::FinishToFinish: return "FINISH_FINISH";
    case DependencyType::StartToFinish: return "START_FINISH";
    default: return "FINISH_START";
    }
}

class Records {
public:
    Records(int32_t highest, uint64_t seed) : next_(highest), seed_(seed) {}
    int32_t Reserve() { return ++next_; }
    // `body` is what follows the GlobalId, or the whole attribute list when `rooted` is false.
    // `globalId` replaces the new one the record would get.
    int32_t Add(int32_t number, const std::string& type, const std::string& body, bool rooted = true,
                const std::string& globalId = {}) {
        text_ += "#" + N(number) + "=" + type + "(" +
                 (rooted ? "'" + (globalId.empty() ? GlobalIdFor(seed_, number) : globalId) + "'," : "") + body + ");\n";
        return number;
    }
    int32_t Add(const std::string& type, const std::string& body, bool rooted = true) { return Add(Reserve(), type, body, rooted); }
    std::string Take() { return std::move(text_); }

private:
    int32_t next_;
    uint64_t seed_;
    std::string text_;
};

std::string RefList(const std::vector<int32_t>& records) {
    std::string out = "(";
    for (size_t i = 0; i < records.size(); ++i) out += (i ? ",#" : "#") + N(records[i]);
    return out + ")";
}

// The GlobalIds that stay in the copy: its products', its work schedules', and its tasks' unless
// their records are left out.
std::unordered_set<std::string> GlobalIdsKept(const HostWorkSchedules& ifc, bool tasksLeftOut) {
    std::unordered_set<std::string> kept(ifc.scheduleGlobalIds.begin(), ifc.scheduleGlobalIds.end());
    for (const auto& [id, record] : ifc.productRecords) kept.insert(id);
    if (!tasksLeftOut)
        for (const HostScheduleTask& t : ifc.tasks) kept.insert(t.globalId);
    return kept;
}

} // namespace

bool TakesTasksBack(const TaskDB& db, const HostWorkSchedules& ifc) {
    if (ifc.taskRecords.empty()) return false;
    std::unordered_set<std::string> own;
    for (const HostScheduleTask& t : ifc.tasks)
        if (!t.globalId.empty()) own.insert(t.globalId);
    for (size_t i = 0; i < db.TaskCount(); ++i)
        if (const TaskPlan* p = db.PlanAt(i); p && own.count(p->ifcGlobalId)) return true;
    return false;
}

std::string CopyWithRecords(const std::string& text, const HostWorkSchedules& ifc, const std::string& records,
                            bool leaveOutTasks) {
    std::string out;
    out.reserve(text.size() + records.size());
    size_t pos = 0;
    bool inserted = false;
    // After the last record, the file's own line end following; at a line's start, with its own.
    auto insert = [&](size_t at) {
        out.append(text, pos, at - pos);
        pos = at;
        if (at == ifc.recordsEnd) out += "\n" + records.substr(0, records.size() - 1);
        else out += records;
        inserted = true;
    };
    if (leaveOutTasks) {
        for (const auto& [begin, end] : ifc.taskRecords) {
            if (!inserted && ifc.recordsEnd <= end) insert(std::min<size_t>(ifc.recordsEnd, begin));
            out.append(text, pos, begin - pos);
            pos = end;
        }
    }
    if (!inserted) insert(ifc.recordsEnd);
    out.append(text, pos);
    return out;
}

IfcScheduleRecords MakeIfcScheduleRecords(const TaskDB& db, const std::vector<ElementFacts>& elements,
                                          const HostWorkSchedules& ifc, const std::string& scheduleName, uint64_t seed) {
    IfcScheduleRecords out;
    Records r(ifc.highestRecord, seed);
    const std::vector<Task>& tasks = db.Tasks();
    const std::string name = StepTextOf(scheduleName);
    const std::string created = MomentText(DateTime::Now()), start = MomentText(db.EarliestStart());
    const bool takesBack = TakesTasksBack(db, ifc);
    // The tasks go back under the work schedule they came from, which stays as it was.
    int32_t schedule = 0;
    if (takesBack) {
        for (const HostScheduleTask& t : ifc.tasks)
            if (schedule == 0 && t.schedule >= 0) schedule = ifc.scheduleRecords[static_cast<size_t>(t.schedule)];
        for (int32_t record : ifc.scheduleRecords)
            if (schedule == 0) schedule = record;
    }
    if (schedule == 0) {
        const int32_t plan = r.Add("IFCWORKPLAN", "$," + name + ",$,$,$," + created + ",$,$,$,$," + start + ",$,.NOTDEFINED.");
        schedule = r.Add("IFCWORKSCHEDULE", "$," + name + ",$,$,$," + created + ",$,$,$,$," + start + ",$,.PLANNED.");
        r.Add("IFCRELAGGREGATES", "$,$,$,#" + N(plan) + ",(#" + N(schedule) + ")");
        if (ifc.projectRecord > 0) r.Add("IFCRELDECLARES", "$,$,$,#" + N(ifc.projectRecord) + ",(#" + N(plan) + ")");
    }
    // A task keeps the GlobalId it came with unless another record of the copy holds it.
    std::unordered_set<std::string> usedGlobalIds = GlobalIdsKept(ifc, takesBack);

    // Numbers first: nestings and sequences name tasks that come later.
    std::vector<int32_t> taskRecord(tasks.size());
    for (int32_t& t : taskRecord) t = r.Reserve();
    std::vector<int32_t> roots;
    std::map<int32_t, std::vector<int32_t>> children; // by the nesting task's record, in order
    std::vector<std::pair<uint16_t, int32_t>> outline; // levels open above, with their tasks
    std::unordered_map<int32_t, size_t> byUid;
    for (size_t i = 0; i < tasks.size(); ++i) {
        const Task& t = tasks[i];
        const TaskPlan* p = db.PlanAt(i);
        const uint16_t level = p && p->outlineLevel > 0 ? p->outlineLevel : 1;
        while (!outline.empty() && outline.back().first >= level) outline.pop_back();
        (outline.empty() ? roots : children[outline.back().second]).push_back(taskRecord[i]);
        outline.push_back({level, taskRecord[i]});
        if (p && p->uid > 0) byUid.try_emplace(p->uid, i);

        const bool milestone = p && p->milestone;
        std::string time = "$,$,$,$,$,";
        if (t.start.status == DateTimeStatus::Valid) {
            DateTime last = milestone ? t.start : t.finish - DateTimeSpan(0, 0, 0, 1);
            time += MomentText(t.start) + "," + (t.finish.status == DateTimeStatus::Valid ? MomentText(last) : "$");
        } else {
            time += "$,$";
        }
        time += ",$,$,$,$,$,$,$,$,$,";
        time += (p ? MomentText(p->actualStart) : "$") + "," + (p ? MomentText(p->actualFinish) : "$") + ",$,";
        time += p && p->percentComplete <= 100 ? N(p->percentComplete / 100) + "." + N(p->percentComplete % 100 / 10) + N(p->percentComplete % 10) : "$";
        const int32_t timeRecord = r.Add("IFCTASKTIME", time, false);
        const TypeWords words = WordsOf(t.type);
        const std::string identification = p && !p->wbs.empty() ? p->wbs : N(t.id);
        std::string globalId;
        if (p && TaskPlan::IsIfcGlobalId(p->ifcGlobalId) && usedGlobalIds.insert(p->ifcGlobalId).second) globalId = p->ifcGlobalId;
        r.Add(taskRecord[i], "IFCTASK",
              "$," + StepTextOf(t.Name()) + ",$," + (words.objectType ? StepTextOf(words.objectType) : "$") + "," +
                  StepTextOf(identification) + ",$,$,$," + (milestone ? ".T." : ".F.") + ",$,#" + N(timeRecord) + ",." +
                  words.predefined + ".",
              true, globalId);
        ++out.tasks;
    }
    if (!roots.empty()) r.Add("IFCRELASSIGNSTOCONTROL", "$,$,$," + RefList(roots) + ",$,#" + N(schedule));
    for (const auto& [parent, kids] : children) r.Add("IFCRELNESTS", "$,$,$,#" + N(parent) + "," + RefList(kids));
    for (size_t i = 0; i < tasks.size(); ++i) {
        const TaskPlan* p = db.PlanAt(i);
        if (!p) continue;
        for (const Dependency& d : p->predecessors) {
            auto from = byUid.find(d.predecessorUid);
            if (from == byUid.end() || from->second == i) continue;
            std::string lag = "$";
            if (d.lag != 0) {
                const int64_t seconds = int64_t{d.lag} * 6;
                lag = "#" + N(r.Add("IFCLAGTIME", std::string("$,$,$,IFCDURATION('") + (seconds < 0 ? "-" : "") + "PT" +
                                                      N(seconds < 0 ? -seconds : seconds) + "S'),.WORKTIME.",
                                    false));
            }
            r.Add("IFCRELSEQUENCE", "$,$,$,#" + N(taskRecord[from->second]) + ",#" + N(taskRecord[i]) + "," + lag + ",." +
                                        SequenceOf(d.type) + ".,$");
            ++out.dependencies;
        }
    }
    // What a task makes is its output, assigned to the element; what it takes away, its input.
    std::map<int32_t, std::vector<int32_t>> inputs; // by task record
    for (const ElementFacts& e : elements) {
        std::vector<int32_t> made;
        bool any = false;
        for (int32_t id : e.link.Slots()) {
            if (id == 0) continue;
            size_t index = 0;
            bool found = false;
            db.ForEachIndexOfId(id, [&](size_t i) {
                if (!found) index = i;
                found = true;
            });
            if (!found) continue;
            any = true;
            auto record = ifc.productRecords.find(GlobalIdOf(e));
            if (record == ifc.productRecords.end()) continue;
            if (tasks[index].type == ConstructionType::Demolition) inputs[taskRecord[index]].push_back(record->second);
            else made.push_back(taskRecord[index]);
            ++out.links;
        }
        if (any && !ifc.productRecords.count(GlobalIdOf(e))) out.unplaced.push_back(e.idText);
        if (made.empty()) continue;
        r.Add("IFCRELASSIGNSTOPRODUCT", "$,$,$," + RefList(made) + ",$,#" + N(ifc.productRecords.at(GlobalIdOf(e))));
    }
    for (const auto& [task, taken] : inputs) r.Add("IFCRELASSIGNSTOPROCESS", "$,$,$," + RefList(taken) + ",$,#" + N(task) + ",$");
    out.text = r.Take();
    out.tasksLeftOut = takesBack;
    return out;
}

void SaveScheduleIntoIfcCommand(TaskDB& db) {
    if (!db.Hider()) return;
    HostWorkSchedules ifc;
    if (ReadHostWorkSchedules(kHostScheduleRecords, ifc) != kHostNoError || !ifc.fromIfc) {
        Report(kNotFromIfc, {});
        return;
    }
    const std::string fileName = ifc.path.substr(ifc.path.find_last_of("/\\") + 1);
    if (ifc.schema != "IFC4") {
        Report(kNotIfc4, {fileName});
        return;
    }
    if (db.TaskCount() == 0) {
        Report(kEmpty, {});
        return;
    }
    std::string start = ifc.path;
    if (size_t dot = start.rfind('.'); dot != std::string::npos && start.find('/', dot) == std::string::npos) start.erase(dot);
    start += "-4D." + AddonString(32598, kIfcExtension);
    std::string path = AskLinkFile(FKFileDialogKind::Save, kTitle, kIfcType, kIfcExtension, start);
    if (path.empty()) return;
    std::string text;
    if (FKReadWholeFile(FKLocation::FromPath8(ifc.path), kMaxIfcFile, text) != kFKNoErr) {
        AddonAlert(kAlertCannotLoad, ifc.path.c_str());
        return;
    }
    // The host read the file as it was then; records added after another's end would break it.
    bool same = text.size() == ifc.fileSize && ifc.recordsEnd > 0 && text[ifc.recordsEnd - 1] == ';';
    for (const auto& [begin, end] : ifc.taskRecords) same = same && text[begin] == '#';
    if (!same) {
        Report(kChanged, {fileName});
        return;
    }
    HostElementFacts facts(*db.Hider());
    std::vector<ElementFacts> elements = facts.CollectElements();
    std::string name(BKTextOf(db.Settings().projectFilePath));
    name = name.substr(name.find_last_of("/\\") + 1);
    if (size_t dot = name.rfind('.'); dot != std::string::npos && dot > 0) name.erase(dot);
    // New at every save, the same for the same file saved at the same moment.
    const uint64_t seed = Mix(static_cast<uint64_t>(DateTime::Now().ticks) ^ Mix(ifc.fileSize));
    IfcScheduleRecords records = MakeIfcScheduleRecords(db, elements, ifc, name, seed);
    const std::string copy = CopyWithRecords(text, ifc, records.text, records.tasksLeftOut);
    FKReplacementFile file(FKLocation::FromPath8(path));
    int32_t error = file.Open();
    if (error == kFKNoErr) error = file.Write(copy.data(), copy.size());
    if (error == kFKNoErr) error = file.Commit();
    if (error != kFKNoErr) {
        ReportSaveFailure(path, error);
        AddonAlert(kAlertSaveFailed);
        return;
    }
    Report(kWritten, {path.substr(path.find_last_of("/\\") + 1), N(static_cast<int64_t>(records.tasks)),
                      N(static_cast<int64_t>(records.dependencies)), N(static_cast<int64_t>(records.links))});
    if (!records.unplaced.empty()) {
        std::string shown;
        for (size_t i = 0; i < std::min(records.unplaced.size(), kNamesShown); ++i) shown += (i ? ", " : "") + records.unplaced[i];
        if (records.unplaced.size() > kNamesShown) shown += ", ...";
        Report(kUnplaced, {N(static_cast<int64_t>(records.unplaced.size())), shown});
    }
}
