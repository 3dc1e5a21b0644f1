#include "schedule/tasks/ElementShownAt.h"

#include <algorithm>
#include <array>
#include <optional>

const Task* GoverningTask(std::span<const Task* const> tasks, const DateTime& at) {
    const Task* governing = nullptr;
    for (const Task* t : tasks)
        if (t->inProgress) governing = t;
    if (governing) return governing;
    for (const Task* t : tasks) {
        DateTimeSpan since = at - t->finish;
        if (since.TotalHours() < 0) continue;
        if (!governing || since.ticks < (at - governing->finish).ticks) governing = t;
    }
    if (governing) return governing;
    for (const Task* t : tasks) {
        DateTimeSpan until = t->start - at;
        if (until.TotalHours() < 0) continue;
        if (!governing || until.ticks < (governing->start - at).ticks) governing = t;
    }
    return governing;
}

Appearance ElementShownAt(std::span<const Task* const> tasks, const DateTime& at) {
    // Copies at `at` of the first ten tasks, as many as an element holds links.
    std::array<std::optional<Task>, 10> copies;
    std::array<const Task*, 10> states{};
    const size_t n = std::min(tasks.size(), copies.size());
    for (size_t i = 0; i < n; ++i) {
        copies[i].emplace(*tasks[i]);
        copies[i]->ComputeState(at);
        states[i] = &*copies[i];
    }
    const Task* governing = GoverningTask(std::span<const Task* const>(states.data(), n), at);
    return governing ? governing->appearance : Appearance::Unlinked;
}
