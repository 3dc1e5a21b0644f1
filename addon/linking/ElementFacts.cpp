#include "linking/ElementFacts.h"

#include "linking/WildcardPattern.h"

std::string GlobalIdOf(const ElementFacts& element) {
    for (const auto& [key, value] : element.facts)
        if (FoldedCp1250(key) == "globalid" && !value.empty()) return value;
    return element.guid.ToString();
}
