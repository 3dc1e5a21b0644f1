#include "schedule/ConstructionTypeText.h"

#include "basekit/BKText.h"
#include "resources/AddonResources.h"
#include "schedule/ConstructionType.h"

#include <string>

int32_t ConstructionTypeOfText(std::string_view text) {
    if (text.empty()) return -1;
    auto same = [text](std::string_view word) {
        return text.size() == word.size() && BKCompareText(text, word, BKCaseMode::Ignore) == 0;
    };
    for (int32_t type = 0; type < kConstructionTypeCount; ++type) {
        const char letter[2] = {ConstructionTypeLetter(type), 0};
        auto item = static_cast<int16_t>(type + 1);
        if (same(letter) || same(AddonString(32512, item)) || same(AddonString(32613, item))) return type;
    }
    return -1;
}
