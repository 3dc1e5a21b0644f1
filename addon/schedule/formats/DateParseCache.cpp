#include "schedule/formats/DateParseCache.h"

#include <cstring>

DateParseCache::DateParseCache() : slots_(std::make_unique<Slot[]>(kSlots)) {}

std::optional<DateTime> DateParseCache::Parse(std::string_view text, DateOrder order) {
    if (text.size() > kMaxText || order < YearMonthDay || order > MonthDayYear) return ParseDate(text, order);
    char padded[kMaxText] = {};
    for (size_t i = 0; i < text.size(); ++i) padded[i] = text[i];
    Key key;
    std::memcpy(key.words, padded, sizeof padded);
    uint64_t hash = (text.size() << 2 | static_cast<uint64_t>(order)) * 0x9E3779B97F4A7C15ull;
    for (uint64_t word : key.words) hash = (hash ^ word) * 0xC2B2AE3D27D4EB4Full;
    Slot& slot = slots_[(hash >> 40) % kSlots];
    if (slot.order == order && slot.length == text.size() && slot.key == key)
        return slot.parsed ? std::optional<DateTime>(slot.date) : std::nullopt;
    std::optional<DateTime> date = ParseDate(text, order);
    slot.key = key;
    slot.length = static_cast<uint8_t>(text.size());
    slot.order = static_cast<int8_t>(order);
    slot.parsed = date.has_value();
    slot.date = date.value_or(DateTime());
    return date;
}
