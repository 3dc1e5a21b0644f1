#include "schedule/ConstructionTypeText.h"

#include "basekit/BKText.h"
#include "resources/AddonResources.h"

#include <string>

std::optional<ConstructionType> ConstructionTypeOfText(std::string_view text) {
    if (text.empty()) return std::nullopt;
    auto same = [text](std::string_view word) {
        return text.size() == word.size() && BKCompareText(text, word, BKCaseMode::Ignore) == 0;
    };
    for (int32_t value = 0; value < kConstructionTypeCount; ++value) {
        const auto type = static_cast<ConstructionType>(value);
        const char letter[2] = {ConstructionTypeLetter(type), 0};
        auto item = static_cast<int16_t>(value + 1);
        if (same(letter) || same(AddonString(32512, item)) || same(AddonString(32613, item))) return type;
    }
    return std::nullopt;
}
