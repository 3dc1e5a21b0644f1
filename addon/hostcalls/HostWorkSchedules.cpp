#include "hostcalls/HostWorkSchedules.h"

#include "basekit/OwnedHandle.h"
#include "hostcalls/EntryFields.h"
#include "hostcalls/HostInterface.h"

bool ParseHostWorkSchedules(std::string_view bytes, int32_t count, HostWorkSchedules& out) {
    out = {};
    if (count <= 0) return count == 0 && bytes.empty();
    EntryFields f(bytes);
    for (int32_t i = 0; i < count; ++i) {
        std::string_view kind;
        if (!f.Next(kind)) return false;
        if ((i == 0) != (kind == "file")) return false;
        const auto tasks = static_cast<int32_t>(out.tasks.size());
        if (kind == "file") {
            out.fromIfc = true;
            if (!f.Next(out.path) || !f.Next(out.schema) || !f.Number<uint64_t>(out.fileSize, 0, UINT64_MAX) ||
                !f.Number<uint64_t>(out.recordsEnd, 0, out.fileSize) || !f.Number<int32_t>(out.highestRecord, 0, INT32_MAX) ||
                !f.Number<int32_t>(out.projectRecord, 0, INT32_MAX))
                return false;
        } else if (kind == "schedule") {
            std::string globalId, name;
            if (!f.Next(globalId) || !f.Next(name)) return false;
            out.scheduleNames.push_back(std::move(name));
            out.scheduleGlobalIds.push_back(std::move(globalId));
            out.scheduleRecords.push_back(0);
        } else if (kind == "task") {
            HostScheduleTask t;
            std::string_view milestone;
            if (!f.Next(t.globalId) || !f.Next(t.name) || !f.Next(t.identification) || !f.Next(t.predefinedType) ||
                !f.Next(t.objectType) || !f.Next(milestone) ||
                !f.Number<int32_t>(t.schedule, -1, static_cast<int32_t>(out.scheduleNames.size()) - 1) ||
                !f.Number<int32_t>(t.parent, -1, tasks - 1) || !f.Number<uint16_t>(t.level, 1, UINT16_MAX) ||
                !f.Next(t.scheduleStart) || !f.Next(t.scheduleFinish) || !f.Next(t.actualStart) || !f.Next(t.actualFinish) ||
                !f.Number<int32_t>(t.percent, -1, 100))
                return false;
            t.milestone = milestone == "1";
            out.tasks.push_back(std::move(t));
        } else if (kind == "sequence") {
            HostScheduleSequence s;
            if (!f.Number<int32_t>(s.predecessor, 0, tasks - 1) || !f.Number<int32_t>(s.successor, 0, tasks - 1) ||
                !f.Next(s.type) || !f.Number<int64_t>(s.lagSeconds, INT64_MIN, INT64_MAX))
                return false;
            out.sequences.push_back(std::move(s));
        } else if (kind == "output" || kind == "input") {
            HostScheduleLink l;
            l.input = kind == "input";
            if (!f.Number<int32_t>(l.task, 0, tasks - 1) || !f.Next(l.globalId)) return false;
            out.links.push_back(std::move(l));
        } else if (kind == "product") {
            std::string globalId;
            int32_t record = 0;
            if (!f.Next(globalId) || !f.Number<int32_t>(record, 0, INT32_MAX)) return false;
            out.productRecords.emplace(std::move(globalId), record);
        } else if (kind == "schedule-record") {
            int32_t index = 0;
            if (!f.Number<int32_t>(index, 0, static_cast<int32_t>(out.scheduleNames.size()) - 1) ||
                !f.Number<int32_t>(out.scheduleRecords[static_cast<size_t>(index)], 1, out.highestRecord))
                return false;
        } else if (kind == "task-records") {
            // In file order and inside the file, so cutting them out leaves the rest as it was.
            uint64_t begin = 0, end = 0;
            const uint64_t after = out.taskRecords.empty() ? 0 : out.taskRecords.back().second;
            if (!f.Number<uint64_t>(begin, after, out.fileSize) || begin == out.fileSize || !f.Number<uint64_t>(end, begin + 1, out.fileSize))
                return false;
            out.taskRecords.emplace_back(begin, end);
        } else {
            return false;
        }
    }
    return f.AtEnd();
}

GSErr ReadHostWorkSchedules(int32_t flags, HostWorkSchedules& out) {
    uint32_t handle = 0;
    int32_t count = 0;
    GSErr err = HostModelGetWorkSchedules(&handle, &count, flags);
    OwnedHandle bytes(handle);
    if (err != kHostNoError) return err;
    std::string_view text(reinterpret_cast<const char*>(bytes.Data()), bytes.Data() ? bytes.Size() : 0);
    return ParseHostWorkSchedules(text, count, out) ? kHostNoError : kHostErrBadParameter;
}
