#include "schedule/projectfile/StatusRecord.h"

#include "bytes/LittleEndian.h"
#include "schedule/projectfile/ByteCursor.h"
#include "schedule/tasks/TaskPlan.h"

std::vector<uint8_t> StatusBytes(const ScheduleStatus& status) {
    std::vector<uint8_t> out;
    const bool known = TaskPlan::IsStorableMoment(status.statusDate);
    LE::Append<int32_t>(out, static_cast<int32_t>(known ? DateTimeStatus::Valid : DateTimeStatus::Null));
    LE::Append<int64_t>(out, known ? status.statusDate.ticks : 0);
    out.push_back(static_cast<uint8_t>(status.view));
    return out;
}

bool ReadStatusBytes(std::span<const uint8_t> bytes, ScheduleStatus& out) {
    ByteCursor in(bytes);
    ScheduleStatus read;
    const int32_t status = in.Get<int32_t>();
    const int64_t ticks = in.Get<int64_t>();
    const uint8_t view = in.Get<uint8_t>();
    if (!in.Ok() || !in.AtEnd() || view >= kScheduleViewCount) return false;
    if (status == static_cast<int32_t>(DateTimeStatus::Valid) && ticks >= 0 && ticks <= TaskPlan::kLastMomentTicks)
        read.statusDate = DateTime::FromTicks(ticks);
    else if (status != static_cast<int32_t>(DateTimeStatus::Null) || ticks != 0)
        return false;
    read.view = static_cast<ScheduleView>(view);
    // A section that keeps nothing is never written.
    if (read.Empty()) return false;
    out = read;
    return true;
}
