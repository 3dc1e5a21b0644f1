#include "schedule/tasks/ConstructionTypeText.h"

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

std::optional<ConstructionType> ConstructionTypeOfPrefix(std::string_view name) {
    if (name.size() < 2 || name[1] != '_') return std::nullopt;
    return ConstructionTypeOfText(name.substr(0, 1));
}

bool IsTypeFieldName(std::string_view utf8) {
    std::string name = BKFromUtf8(utf8);
    if (name.empty()) return false;
    for (int16_t item : {4, 5}) {
        std::string word = AddonString(32612, item);
        if (name.size() == word.size() && BKCompareText(name, word, BKCaseMode::Ignore) == 0) return true;
    }
    return false;
}
