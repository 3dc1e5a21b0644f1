// The construction schedule the building model's IFC file carries, for add-ons.
#include "host/ops/HostOperationAreas.h"

#include "basekit/BKMemory.h"
#include "basekit/BKText.h"
#include "host/ops/OperationCall.h"
#include "host/ops/TextEntries.h"

#include <cmath>
#include <cstring>
#include <initializer_list>
#include <string>

using namespace hostops;

namespace {

std::string N(int64_t n) { return std::to_string(n); }

} // namespace

namespace hostops {

GSErr OpModelGetWorkSchedules(uint32_t token, uint32_t* handle, int32_t* count, int32_t flags) {
    Call c(token);
    if (!c || !handle || !count) return kHostErrBadParameter;
    *handle = 0;
    *count = 0;
    if (flags & ~(kHostScheduleUtf8 | kHostScheduleRecords)) return kHostErrBadParameter;
    const ModelWorkSchedules& w = c.Model().workSchedules;
    if (w.sourcePath.empty()) return kHostNoError;
    TextEntries e((flags & kHostScheduleUtf8) != 0);
    e.Add({"file", w.sourcePath, w.schema, N(static_cast<int64_t>(w.fileSize)), N(static_cast<int64_t>(w.recordsEnd)),
           N(w.highestRecord), N(w.projectRecord)});
    for (const ModelWorkSchedule& s : w.schedules) e.Add({"schedule", s.globalId, s.name});
    for (const ModelScheduleTask& t : w.tasks)
        e.Add({"task", t.globalId, t.name, t.identification, t.predefinedType, t.objectType, t.milestone ? "1" : "0",
               N(t.schedule), N(t.parent), N(t.level), t.scheduleStart, t.scheduleFinish, t.actualStart, t.actualFinish,
               N(t.percent)});
    for (const ModelScheduleSequence& s : w.sequences)
        e.Add({"sequence", N(s.predecessor), N(s.successor), s.type, N(std::llround(s.lagSeconds))});
    for (size_t i = 0; i < w.tasks.size(); ++i) {
        for (const std::string& id : w.tasks[i].outputs) e.Add({"output", N(static_cast<int64_t>(i)), id});
        for (const std::string& id : w.tasks[i].inputs) e.Add({"input", N(static_cast<int64_t>(i)), id});
    }
    if (flags & kHostScheduleRecords) {
        for (const auto& [id, record] : w.productRecords) e.Add({"product", id, N(record)});
        for (size_t i = 0; i < w.schedules.size(); ++i)
            e.Add({"schedule-record", N(static_cast<int64_t>(i)), N(w.schedules[i].record)});
        for (const auto& [begin, end] : w.taskRecords)
            e.Add({"task-records", std::to_string(begin), std::to_string(end)});
    }
    return e.HandOut(handle, count);
}

} // namespace hostops
