#include "schedule/projectfile/IfcTaskRecord.h"

#include "bytes/LittleEndian.h"
#include "schedule/projectfile/ByteCursor.h"

#include <algorithm>

namespace {
constexpr size_t kGlobalIdSize = 22;
}

bool HasIfcTaskIds(const std::vector<TaskPlan>& plans) {
    return std::any_of(plans.begin(), plans.end(), [](const TaskPlan& p) { return TaskPlan::IsIfcGlobalId(p.ifcGlobalId); });
}

std::vector<uint8_t> IfcTaskBytes(const std::vector<TaskPlan>& plans) {
    std::vector<uint8_t> out;
    LE::Append<uint32_t>(out, static_cast<uint32_t>(plans.size()));
    for (const TaskPlan& plan : plans) {
        const bool known = TaskPlan::IsIfcGlobalId(plan.ifcGlobalId);
        out.push_back(known ? static_cast<uint8_t>(kGlobalIdSize) : 0);
        if (known) out.insert(out.end(), plan.ifcGlobalId.begin(), plan.ifcGlobalId.end());
    }
    return out;
}

bool ReadIfcTaskBytes(std::span<const uint8_t> bytes, size_t taskCount, std::vector<std::string>& out) {
    ByteCursor in(bytes);
    if (in.Get<uint32_t>() != taskCount || !in.Ok()) return false;
    std::vector<std::string> ids;
    ids.reserve(std::min(taskCount, bytes.size()));
    for (size_t i = 0; i < taskCount; ++i) {
        const uint8_t length = in.Get<uint8_t>();
        if (!in.Ok() || (length != 0 && length != kGlobalIdSize)) return false;
        std::string id = in.Text(length);
        if (!in.Ok() || (length != 0 && !TaskPlan::IsIfcGlobalId(id))) return false;
        ids.push_back(std::move(id));
    }
    if (!in.AtEnd()) return false;
    out = std::move(ids);
    return true;
}
