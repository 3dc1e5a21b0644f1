#include "schedule/projectfile/BaselineRecord.h"

#include "bytes/LittleEndian.h"
#include "schedule/projectfile/ByteCursor.h"
#include "schedule/tasks/TaskPlan.h"

#include <algorithm>
#include <set>

namespace {

constexpr uint32_t kMaxTasks = 1'000'000;
constexpr size_t kTaskSize = 4 + 12 + 12;

void AppendDate(std::vector<uint8_t>& out, const DateTime& d) {
    const bool known = TaskPlan::IsStorableMoment(d);
    LE::Append<int32_t>(out, static_cast<int32_t>(known ? DateTimeStatus::Valid : DateTimeStatus::Invalid));
    LE::Append<int64_t>(out, known ? d.ticks : 0);
}

DateTime ReadDate(ByteCursor& in) {
    const int32_t status = in.Get<int32_t>();
    const int64_t ticks = in.Get<int64_t>();
    if (status == static_cast<int32_t>(DateTimeStatus::Invalid) && ticks == 0)
        return DateTime::FromTicks(0, DateTimeStatus::Invalid);
    if (status != static_cast<int32_t>(DateTimeStatus::Valid) || ticks < 0 || ticks > TaskPlan::kLastMomentTicks) in.Fail();
    return DateTime::FromTicks(ticks);
}

} // namespace

std::vector<uint8_t> BaselineBytes(const std::vector<Baseline>& baselines) {
    std::vector<uint8_t> out;
    const size_t count = std::min(baselines.size(), Baseline::kMaxCount);
    LE::Append<uint16_t>(out, static_cast<uint16_t>(count));
    for (size_t i = 0; i < count; ++i) {
        const Baseline& b = baselines[i];
        const std::string name = b.name.substr(0, Baseline::kNameMax);
        LE::Append<uint16_t>(out, static_cast<uint16_t>(name.size()));
        out.insert(out.end(), name.begin(), name.end());
        AppendDate(out, b.kept);
        const size_t tasks = std::min<size_t>(b.tasks.size(), kMaxTasks);
        LE::Append<uint32_t>(out, static_cast<uint32_t>(tasks));
        for (size_t k = 0; k < tasks; ++k) {
            LE::Append<int32_t>(out, b.tasks[k].id);
            AppendDate(out, b.tasks[k].start);
            AppendDate(out, b.tasks[k].finish);
        }
    }
    return out;
}

bool ReadBaselineBytes(std::span<const uint8_t> bytes, std::vector<Baseline>& out) {
    ByteCursor in(bytes);
    const uint16_t count = in.Get<uint16_t>();
    if (!in.Ok() || count == 0 || count > Baseline::kMaxCount) return false;
    std::vector<Baseline> read(count);
    std::set<std::string> names;
    for (Baseline& b : read) {
        b.name = in.Text16(Baseline::kNameMax, 1);
        b.kept = ReadDate(in);
        const uint32_t tasks = in.Get<uint32_t>();
        // Each task takes its bytes: a count beyond what is left fails before anything is made.
        if (!in.Ok() || tasks > kMaxTasks || tasks > bytes.size() / kTaskSize || !names.insert(b.name).second) return false;
        b.tasks.resize(tasks);
        for (BaselineTask& t : b.tasks) {
            t.id = in.Get<int32_t>();
            t.start = ReadDate(in);
            t.finish = ReadDate(in);
        }
        if (!in.Ok()) return false;
    }
    if (!in.AtEnd()) return false;
    out = std::move(read);
    return true;
}
