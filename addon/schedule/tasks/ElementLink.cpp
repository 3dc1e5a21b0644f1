#include "schedule/tasks/ElementLink.h"

int CountLinks(const ElementLink& slots) {
    int n = static_cast<int>(slots.size());
    while (n > 0 && slots[static_cast<size_t>(n) - 1] == 0) --n;
    return n;
}

int CompactLinks(ElementLink& slots) {
    // The last link moves into the gap rather than the rest shifting up: slot order decides which
    // in-progress task governs, so one gap gives exactly that result. Several gaps repeat the move
    // gap by gap, which moves every id and copies none.
    const int before = CountLinks(slots);
    int n = before;
    while (n > 1) {
        size_t gap = 0;
        while (gap < static_cast<size_t>(n) && slots[gap] != 0) ++gap;
        if (gap + 1 >= static_cast<size_t>(n)) break;
        slots[gap] = slots[static_cast<size_t>(n) - 1];
        slots[static_cast<size_t>(n) - 1] = 0;
        n = CountLinks(slots);
    }
    return before;
}
