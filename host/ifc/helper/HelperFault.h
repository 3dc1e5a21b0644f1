#pragma once
// A fault the helper makes on purpose at one product, so that tests can walk every product and
// see what the reader makes of a crash, a hang, a stream cut short or a full memory file there.
// Given as BV_IFC_FAULT=KIND:N[:SHARE], KIND one of crash, hang, short, full (or offheap, the
// product said to be made off its fixed heap), N the product's place among the file's products
// with a body (from 0, in file order; the reader's progress counts the same), SHARE first or
// second (either when not given). Without the variable nothing happens.
#include <cstddef>
#include <optional>
#include <string_view>

enum class HelperFaultKind { None, Crash, Hang, Short, Full, OffHeap };

struct HelperFault {
    HelperFaultKind kind = HelperFaultKind::None;
    size_t product = 0;
    int share = 0; // 1 the first process, 2 the second, 0 either

    // Nothing for a text that is not one.
    static std::optional<HelperFault> FromText(std::string_view text);
    bool InShare(int share) const { return kind != HelperFaultKind::None && (this->share == 0 || this->share == share); }
};
