#pragma once
// The link rules a schedule keeps: which tasks each rule names and which elements it links to
// them. Texts are 8-bit (the module's code page), as the planner wrote them; matching them is the
// linking layer's.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class RuleTasks : uint8_t { ById = 0, ByName = 1, Each = 2 };

// One element condition: a key of the element (see IsRuleKey) and what its value must be. For
// `kind` a list of kind numbers ("1,3"); for `linked` and `unlinked` empty; otherwise a pattern.
struct RuleCondition {
    std::string key;
    std::string pattern;
    bool operator==(const RuleCondition&) const = default;
};

struct LinkRule {
    RuleTasks tasks = RuleTasks::Each;
    std::vector<int32_t> taskIds;   // ById
    std::string taskName;           // ByName: a pattern
    std::vector<RuleCondition> elements;
    bool replace = false;
    bool operator==(const LinkRule&) const = default;
};

// What one schedule's rules may hold, so a kept form always reads back.
namespace RuleLimits {
constexpr size_t kRules = 10000;
constexpr size_t kConditions = 64;
constexpr size_t kTaskIds = 100000;
constexpr size_t kKey = 255;
constexpr size_t kText = 1024; // a pattern, a task name pattern, the source's name
constexpr size_t kProfile = 255;
} // namespace RuleLimits

struct LinkRules {
    std::string source; // the rules file's name, for the user
    std::vector<LinkRule> rules;
    // The appearance profile each rule's tasks take (8-bit, at most 255 bytes; empty: their
    // type's), in the rules' order; empty when no rule names one.
    std::vector<std::string> profiles;
    bool Empty() const { return rules.empty(); }
    const std::string& ProfileOf(size_t rule) const {
        static const std::string none;
        return rule < profiles.size() ? profiles[rule] : none;
    }
    bool operator==(const LinkRules&) const = default;
};

// The keys an element condition may name: class, storey, layer, name (the ID text), material,
// kind, linked, unlinked, the other facts a building model gives (type, tag, description,
// globalid, classification) and any PSET.NAME. Letter case is not significant.
bool IsRuleKey(std::string_view key);
// The key in the form rules are kept in: the fixed keys in lower case, PSET.NAME as written.
std::string CanonicalRuleKey(std::string_view key);
// Kind numbers of a `kind` condition, "1,3" or "1, 3"; false for anything else.
bool ParseKindList(std::string_view text, std::vector<int32_t>& kinds);
