#include "schedule/ElementShownAt.h"

#include <algorithm>
#include <array>
#include <optional>

Appearance ElementShownAt(std::span<const Task* const> tasks, const DateTime& at) {
    if (tasks.empty()) return Appearance::Unlinked;
    // Copies at `at` of the first ten tasks, as many as an element holds links.
    std::array<std::optional<Task>, 10> copies;
    std::array<const Task*, 10> states{};
    const size_t n = std::min(tasks.size(), copies.size());
    const Task* governing = nullptr;
    for (size_t i = 0; i < n; ++i) {
        copies[i].emplace(*tasks[i]);
        copies[i]->ComputeState(at);
        states[i] = &*copies[i];
        if (states[i]->inProgress) governing = states[i];
    }
    if (!governing && n == 1) {
        const Task& t = *states[0];
        if ((at - t.finish).TotalHours() >= 0 || (t.start - at).TotalHours() >= 0) return t.appearance;
        return Appearance::Unlinked;
    }
    if (!governing) {
        for (size_t i = 0; i < n; ++i) {
            DateTimeSpan since = at - states[i]->finish;
            if (since.TotalHours() < 0) continue;
            if (!governing || since.ticks < (at - governing->finish).ticks) governing = states[i];
        }
    }
    if (!governing) {
        for (size_t i = 0; i < n; ++i) {
            DateTimeSpan until = states[i]->start - at;
            if (until.TotalHours() < 0) continue;
            if (!governing || until.ticks < (governing->start - at).ticks) governing = states[i];
        }
    }
    return governing ? governing->appearance : Appearance::Unlinked;
}
