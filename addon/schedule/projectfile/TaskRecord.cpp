#include "schedule/projectfile/TaskRecord.h"

#include "bytes/FixedText.h"
#include "schedule/tasks/DayBoundary.h"
#include "schedule/tasks/ScheduleFileError.h"

#include <cstring>
#include <optional>
#include <string_view>
#include <type_traits>

namespace {

template <typename T> bool Put(IOutStream& out, T value) {
    using U = std::make_unsigned_t<T>;
    auto v = static_cast<U>(value);
    uint8_t bytes[sizeof(T)];
    for (size_t i = 0; i < sizeof(T); ++i) bytes[i] = static_cast<uint8_t>(v >> (8 * i));
    return out.WriteBytes(bytes, sizeof bytes);
}

template <typename T> bool Get(IInStream& in, T& value) {
    using U = std::make_unsigned_t<T>;
    uint8_t bytes[sizeof(T)];
    if (!in.ReadBytes(bytes, sizeof bytes)) return false;
    U v = 0;
    for (size_t i = 0; i < sizeof(T); ++i) v |= static_cast<U>(static_cast<U>(bytes[i]) << (8 * i));
    value = static_cast<T>(v);
    return true;
}

// Version 1 numbered fixed, temporary and renovation as 2, 3 and 4.
ConstructionType RenumberedFromFirstVersion(ConstructionType type) {
    switch (ConstructionTypeValue(type)) {
    case 2:
        return ConstructionType::Fixed;
    case 3:
        return ConstructionType::Temporary;
    case 4:
        return ConstructionType::Renovation;
    default:
        return type;
    }
}

} // namespace

int WriteTask(IOutStream& out, const Task& task) {
    std::string_view name = BKTextOf(task.name);
    if (!Put<int32_t>(out, task.id) || !Put<int32_t>(out, ConstructionTypeValue(task.type)))
        return kScheduleFileWriteFailed;
    if (task.start.Write(out) != kScheduleFileOk || task.finish.Write(out) != kScheduleFileOk) return kScheduleFileWriteFailed;
    if (!Put<uint64_t>(out, name.size())) return kScheduleFileWriteFailed;
    if (!name.empty() && !out.WriteBytes(name.data(), name.size())) return kScheduleFileWriteFailed;
    return kScheduleFileOk;
}

int ReadTask(IInStream& in, Task& task, int32_t version) {
    int32_t id = 0, type = 0;
    if (!Get(in, id) || !Get(in, type)) return kScheduleFileReadFailed;
    if (task.start.Read(in) != kScheduleFileOk || task.finish.Read(in) != kScheduleFileOk) return kScheduleFileReadFailed;
    uint64_t length = 0;
    if (!Get(in, length) || length >= Task::kNameSize) return kScheduleFileReadFailed;
    char name[Task::kNameSize] = {};
    if (length > 0 && !in.ReadBytes(name, static_cast<size_t>(length))) return kScheduleFileReadFailed;
    std::memcpy(task.name, name, sizeof name);
    task.id = id;

    task.start = StartOfDayOf(task.start);
    task.finish = StartOfDayOf(task.finish);
    // Versions 1 and 2 kept the last day itself; the finish is now the midnight after it.
    if (version <= 2) task.finish = EndOfDayOf(task.finish);

    std::optional<ConstructionType> known = ConstructionTypeFromInt(type, kConstructionTypeCount);
    if (!known || id < 1) return kScheduleFileBadRecord;
    if (version == 1) known = RenumberedFromFirstVersion(*known);
    task.type = *known;
    if (version <= 3) {
        task.start.RebaseTime();
        task.finish.RebaseTime();
    }
    return kScheduleFileOk;
}
