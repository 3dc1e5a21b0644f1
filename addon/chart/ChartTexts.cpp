#include "chart/ChartTexts.h"

#include "resources/AddonResources.h"

namespace {
constexpr int16_t kMonths = 32632, kMonthsShort = 32633, kDays = 32634, kWords = 32635, kSpeeds = 32636;
} // namespace

ChartTexts ChartTexts::Load() {
    ChartTexts t;
    for (int16_t i = 0; i < 12; ++i) {
        t.months[static_cast<size_t>(i)] = AddonString(kMonths, static_cast<int16_t>(i + 1));
        t.monthsShort[static_cast<size_t>(i)] = AddonString(kMonthsShort, static_cast<int16_t>(i + 1));
    }
    for (int16_t i = 0; i < 7; ++i) t.days[static_cast<size_t>(i)] = AddonString(kDays, static_cast<int16_t>(i + 1));
    t.title = AddonString(kWords, 1);
    t.play = AddonString(kWords, 2);
    t.pause = AddonString(kWords, 3);
    t.scrubStep = AddonString(kWords, 4);
    t.moveStep = AddonString(kWords, 5);
    t.startStep = AddonString(kWords, 6);
    t.finishStep = AddonString(kWords, 7);
    for (int16_t i = 0; i < 3; ++i) t.speeds[static_cast<size_t>(i)] = AddonString(kSpeeds, static_cast<int16_t>(i + 1));
    return t;
}

std::string ChartTexts::Week(int32_t number) const { return AddonFormat(kWords, 8, {std::to_string(number)}); }
