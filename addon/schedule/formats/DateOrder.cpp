#include "schedule/formats/DateOrder.h"

#include "resources/AddonResources.h"
#include "schedule/formats/DateParseCache.h"

#include <cstdio>
#include <limits>
#include <string>

namespace {

constexpr size_t kMaxDateText = 1023;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The value of the leading digits, saturating like the C library's conversions.
int64_t LeadingNumber(std::string_view digits) {
    int64_t value = 0;
    for (char c : digits) {
        if (!IsDigit(c)) break;
        int d = c - '0';
        if (value > (std::numeric_limits<int64_t>::max() - d) / 10) return std::numeric_limits<int64_t>::max();
        value = value * 10 + d;
    }
    return value;
}

// Positions of day, month and year in the order's pattern ("ymd", "dmy", "mdy").
struct Positions {
    int day, month, year;
};
constexpr Positions kPositions[] = {{2, 1, 0}, {0, 1, 2}, {1, 0, 2}};

// The resource pattern must hold exactly three long conversions and nothing else to convert.
bool IsSamplePattern(const std::string& pattern) {
    int conversions = 0;
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%') continue;
        size_t j = i + 1;
        while (j < pattern.size() && IsDigit(pattern[j])) ++j;
        if (pattern.compare(j, 2, "ld") != 0) return false;
        ++conversions;
        i = j + 1;
    }
    return conversions == 3;
}

} // namespace

std::optional<std::array<int64_t, 3>> ParseDateNumbers(std::string_view text) {
    if (text.size() > kMaxDateText) text = text.substr(0, kMaxDateText);
    // Collapsing each run of non-digits to one separator and dropping a separator at either end
    // leaves digit runs between single separators; the numbers are the first three runs, and
    // with fewer there are not two separators.
    std::array<int64_t, 3> numbers{};
    size_t found = 0;
    for (size_t i = 0; i < text.size() && found < numbers.size();) {
        if (!IsDigit(text[i])) {
            ++i;
            continue;
        }
        size_t end = i;
        while (end < text.size() && IsDigit(text[end])) ++end;
        numbers[found++] = LeadingNumber(text.substr(i, end - i));
        i = end;
    }
    if (found < numbers.size()) return std::nullopt;
    return numbers;
}

std::optional<DateTime> ParseDate(std::string_view text, DateOrder order) {
    if (order < YearMonthDay || order > MonthDayYear) return std::nullopt;
    auto numbers = ParseDateNumbers(text);
    if (!numbers) return std::nullopt;
    const Positions& p = kPositions[order];
    int64_t day = (*numbers)[static_cast<size_t>(p.day)];
    int64_t month = (*numbers)[static_cast<size_t>(p.month)];
    int64_t year = (*numbers)[static_cast<size_t>(p.year)];
    if (year < 1900) year += year < 70 ? 2000 : 1900;
    constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
    if (day > kMax || month > kMax || year > kMax) return std::nullopt;
    DateTime date;
    if (!date.SetDateTimeOk(static_cast<int32_t>(year), static_cast<int32_t>(month), static_cast<int32_t>(day), 0, 0,
                            0, 0, 0, 0))
        return std::nullopt;
    return date;
}

std::optional<DateTime> NarrowDateOrders(DateOrderSet& candidates, std::string_view text, DateParseCache* cache,
                                         std::array<std::optional<DateTime>, 3>* byOrder) {
    std::optional<DateTime> last;
    for (auto it = candidates.begin(); it != candidates.end();) {
        last = cache ? cache->Parse(text, *it) : ParseDate(text, *it);
        if (byOrder) (*byOrder)[static_cast<size_t>(*it)] = last;
        if (last) ++it;
        else it = candidates.erase(it);
    }
    return last;
}

std::string DateOrderSample(DateOrder order) {
    if (order < YearMonthDay || order > MonthDayYear) return {};
    const Positions& p = kPositions[order];
    long numbers[3] = {};
    numbers[p.day] = 31;
    numbers[p.month] = 1;
    numbers[p.year] = 2000 % 1000;
    std::string pattern = AddonString(32599, 1);
    if (!IsSamplePattern(pattern)) return {};
    char text[64];
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    std::snprintf(text, sizeof text, pattern.c_str(), numbers[0], numbers[1], numbers[2]);
#pragma GCC diagnostic pop
    return text;
}
