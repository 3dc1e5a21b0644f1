#pragma once
// The rules file a planner writes: JSON, UTF-8 (docs/SCRIPTING.md, "Link rules"), read into the
// rules a schedule keeps, with texts in the module's code page.
#include "schedule/tasks/LinkRules.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Why a rules file was refused: an item of the rules file's problem texts and its parameters
// (the rule's number from 1, a key, a byte offset).
struct RulesFileProblem {
    enum Kind : int16_t {
        NotJson = 1,       // byte offset
        NoRules = 2,       //
        BadTasks = 3,      // rule
        NoConditions = 4,  // rule
        UnknownKey = 5,    // rule, key
        BadValue = 6,      // rule, key
        UnknownField = 7,  // rule, field
        TooMany = 8,       // the limit
        TooLong = 9,       // rule
    };
    Kind kind = NotJson;
    std::vector<std::string> params; // 8-bit
};

// Rules from the file's text (their `source` left empty); false with the first problem found,
// `out` untouched.
bool ParseLinkRules(std::string_view utf8, LinkRules& out, RulesFileProblem& problem);
