#include "schedule/DateParseCache.h"

#include <cstring>

DateParseCache::DateParseCache() : slots_(std::make_unique<Slot[]>(kSlots)) {}

std::optional<DateTime> DateParseCache::Parse(std::string_view text, DateOrder order) {
    if (text.size() > kMaxText || order < YearMonthDay || order > MonthDayYear) return ParseDate(text, order);
    uint32_t hash = 2166136261u ^ static_cast<uint32_t>(order);
    for (char c : text) hash = (hash ^ static_cast<uint8_t>(c)) * 16777619u;
    Slot& slot = slots_[hash % kSlots];
    if (slot.order == order && slot.length == text.size() && std::memcmp(slot.text, text.data(), text.size()) == 0)
        return slot.parsed ? std::optional<DateTime>(slot.date) : std::nullopt;
    std::optional<DateTime> date = ParseDate(text, order);
    if (!text.empty()) std::memcpy(slot.text, text.data(), text.size());
    slot.length = static_cast<uint8_t>(text.size());
    slot.order = static_cast<int8_t>(order);
    slot.parsed = date.has_value();
    slot.date = date.value_or(DateTime());
    return date;
}
