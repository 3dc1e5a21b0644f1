// The construction schedule the building model's IFC file carries, for add-ons.
#include "host/ops/HostOperationAreas.h"

#include "basekit/BKMemory.h"
#include "basekit/BKText.h"
#include "host/ops/OperationCall.h"

#include <cmath>
#include <cstring>
#include <initializer_list>
#include <string>

using namespace hostops;

namespace {

class Entries {
public:
    explicit Entries(bool utf8) : utf8_(utf8) {}
    void Add(std::initializer_list<std::string_view> fields) {
        for (std::string_view field : fields) {
            const size_t at = bytes_.size();
            if (utf8_) bytes_ += field;
            else bytes_ += BKFromUtf8(field);
            // A decoded \\X2\\0000\\X0\\ must not end a field early.
            for (size_t i = at; i < bytes_.size(); ++i)
                if (bytes_[i] == '\0') bytes_[i] = ' ';
            bytes_ += '\0';
        }
        ++count_;
    }
    const std::string& Bytes() const { return bytes_; }
    int32_t Count() const { return count_; }

private:
    bool utf8_;
    std::string bytes_;
    int32_t count_ = 0;
};

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
    Entries e((flags & kHostScheduleUtf8) != 0);
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
    BKHandle h = BKNewHandle(e.Bytes().size());
    if (!h) return kHostErrNoMemory;
    std::memcpy(BKHandleData(h), e.Bytes().data(), e.Bytes().size());
    *handle = h;
    *count = e.Count();
    return kHostNoError;
}

} // namespace hostops
