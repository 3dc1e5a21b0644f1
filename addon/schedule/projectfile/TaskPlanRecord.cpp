#include "schedule/projectfile/TaskPlanRecord.h"

#include "bytes/LittleEndian.h"
#include "schedule/projectfile/ByteCursor.h"

#include <algorithm>
#include <string_view>

namespace {

constexpr uint8_t kSummaryBit = 1, kMilestoneBit = 2;
void AppendDate(std::vector<uint8_t>& out, const DateTime& d) {
    bool known = TaskPlan::IsStorableMoment(d);
    LE::Append<int32_t>(out, static_cast<int32_t>(known ? DateTimeStatus::Valid : DateTimeStatus::Null));
    LE::Append<int64_t>(out, known ? d.ticks : 0);
}

DateTime ReadDate(ByteCursor& in) {
    int32_t status = in.Get<int32_t>();
    int64_t ticks = in.Get<int64_t>();
    if (status == static_cast<int32_t>(DateTimeStatus::Null) && ticks == 0) return TaskPlan().actualStart;
    if (status != static_cast<int32_t>(DateTimeStatus::Valid) || ticks < 0 || ticks > TaskPlan::kLastMomentTicks) in.Fail();
    return DateTime::FromTicks(ticks);
}

bool IsStorable(const Dependency& d) {
    return d.predecessorUid >= 1 && static_cast<uint8_t>(d.type) <= static_cast<uint8_t>(DependencyType::StartToStart);
}

} // namespace

std::vector<uint8_t> TaskPlanBytes(const std::vector<TaskPlan>& plans) {
    std::vector<uint8_t> out;
    LE::Append<uint32_t>(out, static_cast<uint32_t>(plans.size()));
    for (const TaskPlan& plan : plans) {
        LE::Append<int32_t>(out, std::max(plan.uid, 0));
        LE::Append<uint16_t>(out, std::min(plan.outlineLevel, TaskPlan::kOutlineMax));
        out.push_back(static_cast<uint8_t>((plan.summary ? kSummaryBit : 0) | (plan.milestone ? kMilestoneBit : 0)));
        out.push_back(plan.percentComplete <= 100 ? plan.percentComplete : TaskPlan::kNoPercent);
        AppendDate(out, plan.actualStart);
        AppendDate(out, plan.actualFinish);
        std::string_view wbs(plan.wbs);
        wbs = wbs.substr(0, std::min({wbs.size(), TaskPlan::kWbsMax, wbs.find('\0')}));
        LE::Append<uint16_t>(out, static_cast<uint16_t>(wbs.size()));
        out.insert(out.end(), wbs.begin(), wbs.end());
        size_t countAt = out.size();
        uint32_t count = 0;
        LE::Append<uint32_t>(out, 0);
        for (const Dependency& d : plan.predecessors) {
            if (count == TaskPlan::kPredecessorsMax) break;
            if (!IsStorable(d)) continue;
            LE::Append<int32_t>(out, d.predecessorUid);
            out.push_back(static_cast<uint8_t>(d.type));
            LE::Append<int32_t>(out, d.lag);
            out.push_back(d.lagFormat);
            ++count;
        }
        LE::Put<uint32_t>(out, countAt, count);
    }
    return out;
}

bool ReadTaskPlanBytes(std::span<const uint8_t> bytes, size_t taskCount, std::vector<TaskPlan>& out) {
    ByteCursor in(bytes);
    uint32_t count = in.Get<uint32_t>();
    if (!in.Ok() || count != taskCount) return false;
    std::vector<TaskPlan> plans;
    // Each plan takes at least 38 bytes: the count cannot ask for more than the body holds.
    if (bytes.size() / 38 < count) return false;
    plans.reserve(count);
    for (uint32_t i = 0; i < count && in.Ok(); ++i) {
        TaskPlan& plan = plans.emplace_back();
        plan.uid = in.Get<int32_t>();
        plan.outlineLevel = in.Get<uint16_t>();
        uint8_t marks = in.Get<uint8_t>();
        plan.percentComplete = in.Get<uint8_t>();
        if (plan.uid < 0 || plan.outlineLevel > TaskPlan::kOutlineMax || (marks & ~(kSummaryBit | kMilestoneBit)) != 0 ||
            (plan.percentComplete > 100 && plan.percentComplete != TaskPlan::kNoPercent))
            in.Fail();
        plan.summary = (marks & kSummaryBit) != 0;
        plan.milestone = (marks & kMilestoneBit) != 0;
        plan.actualStart = ReadDate(in);
        plan.actualFinish = ReadDate(in);
        plan.wbs = in.Text16(TaskPlan::kWbsMax);
        uint32_t predecessors = in.Get<uint32_t>();
        if (predecessors > TaskPlan::kPredecessorsMax) in.Fail();
        for (uint32_t k = 0; k < predecessors && in.Ok(); ++k) {
            Dependency& d = plan.predecessors.emplace_back();
            d.predecessorUid = in.Get<int32_t>();
            uint8_t type = in.Get<uint8_t>();
            d.lag = in.Get<int32_t>();
            d.lagFormat = in.Get<uint8_t>();
            if (d.predecessorUid < 1 || type > static_cast<uint8_t>(DependencyType::StartToStart)) in.Fail();
            d.type = static_cast<DependencyType>(type);
        }
    }
    if (!in.Ok() || !in.AtEnd()) return false;
    out = std::move(plans);
    return true;
}
