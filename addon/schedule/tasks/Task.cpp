#include "schedule/tasks/Task.h"

#include "bytes/FixedText.h"

void Task::SetName(std::string_view text) { BKCopyText(name, text); }

std::string_view Task::Name() const { return BKTextOf(name); }

void Task::ComputeState(const DateTime& current) {
    DateTimeSpan duration = finish - start;
    DateTimeSpan elapsed = current - start;
    int64_t e = elapsed.TotalSeconds();
    if (e < 0) e = 0;

    if (!IsValid()) {
        percentComplete = 0;
    } else {
        int64_t d = duration.TotalSeconds();
        if (e >= d) percentComplete = 100;
        else if (e == 0) percentComplete = 0;
        else percentComplete = static_cast<int32_t>(static_cast<double>(e) / static_cast<double>(d) * 100.0);
    }

    bool started = e > 0;
    inProgress = ((started && elapsed.ticks < duration.ticks) ||
                  (percentComplete >= 1 && percentComplete <= 99))
                     ? 1
                     : 0;

    switch (type) {
    case ConstructionType::Construction:
        appearance = !started ? Appearance::Absent : inProgress ? Appearance::UnderWork : Appearance::Present;
        break;
    case ConstructionType::Demolition:
        appearance = !started ? Appearance::Present : inProgress ? Appearance::UnderWork : Appearance::Absent;
        break;
    case ConstructionType::Renovation:
    case ConstructionType::Fixed:
        appearance = !started     ? Appearance::Present
                     : inProgress ? Appearance::UnderWork
                                  : Appearance::Present;
        break;
    case ConstructionType::Temporary:
        appearance = !started ? Appearance::Absent : inProgress ? Appearance::UnderWork : Appearance::Absent;
        break;
    default: appearance = Appearance::Present; break;
    }
}
