#include "steptext/StepUntyped.h"

#include "steptext/StepLexemes.h"

#include <cctype>

std::string_view StepUntyped(std::string_view attribute) {
    size_t open = attribute.find('(');
    if (open == 0 || open == std::string_view::npos || attribute.back() != ')') return attribute;
    for (size_t i = 0; i < open; ++i)
        if (!std::isalnum(static_cast<unsigned char>(attribute[i])) && attribute[i] != '_') return attribute;
    return StepTrimmed(attribute.substr(open + 1, attribute.size() - open - 2));
}
