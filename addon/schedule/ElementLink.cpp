#include "schedule/ElementLink.h"

int CountLinks(const ElementLink& slots) {
    int n = static_cast<int>(slots.size());
    while (n > 0 && slots[static_cast<size_t>(n) - 1] == 0) --n;
    return n;
}

int CompactLinks(ElementLink& slots) {
    // Every gap closes and the order of the ids stays; copying the last id into each gap would
    // put one task id into several slots.
    int n = CountLinks(slots);
    size_t out = 0;
    for (size_t k = 0; k < slots.size(); ++k)
        if (slots[k] != 0) slots[out++] = slots[k];
    for (; out < slots.size(); ++out) slots[out] = 0;
    return n;
}
