#pragma once
// Remembers ParseDate's answers for the short date texts of one schedule text: the same days
// recur on many lines, and reading a date costs far more than looking it up.
#include "schedule/formats/DateOrder.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

class DateParseCache {
public:
    DateParseCache();
    // ParseDate(text, order), from memory when this text was read in this order before.
    std::optional<DateTime> Parse(std::string_view text, DateOrder order);

private:
    static constexpr size_t kSlots = 2048;
    static constexpr size_t kMaxText = 16;
    // The text zero-padded into whole words, so looking it up is a few integer compares.
    struct Key {
        uint64_t words[kMaxText / 8] = {};
        bool operator==(const Key&) const = default;
    };
    struct Slot {
        Key key;
        uint8_t length = 0;
        int8_t order = -1; // -1: empty
        bool parsed = false;
        DateTime date;
    };
    std::unique_ptr<Slot[]> slots_;
};
