#include "schedule/projectfile/LinkRulesRecord.h"

#include "bytes/LittleEndian.h"
#include "schedule/projectfile/ByteCursor.h"

#include <algorithm>
#include <string_view>

namespace {

void AppendText16(std::vector<uint8_t>& out, std::string_view text, size_t limit) {
    text = text.substr(0, std::min(text.size(), limit));
    LE::Append<uint16_t>(out, static_cast<uint16_t>(text.size()));
    out.insert(out.end(), text.begin(), text.end());
}

bool ConditionFits(const RuleCondition& c) {
    if (!IsRuleKey(c.key)) return false;
    std::string key = CanonicalRuleKey(c.key);
    if (key == "linked" || key == "unlinked") return c.pattern.empty();
    std::vector<int32_t> kinds;
    if (key == "kind") return ParseKindList(c.pattern, kinds);
    return true;
}

} // namespace

std::vector<uint8_t> LinkRulesBytes(const LinkRules& rules) {
    std::vector<uint8_t> out;
    AppendText16(out, rules.source, RuleLimits::kText);
    size_t count = std::min(rules.rules.size(), RuleLimits::kRules);
    LE::Append<uint32_t>(out, static_cast<uint32_t>(count));
    for (size_t r = 0; r < count; ++r) {
        const LinkRule& rule = rules.rules[r];
        size_t conditions = std::min(rule.elements.size(), RuleLimits::kConditions);
        out.push_back(static_cast<uint8_t>(rule.tasks));
        out.push_back(rule.replace ? 1 : 0);
        LE::Append<uint16_t>(out, static_cast<uint16_t>(conditions));
        if (rule.tasks == RuleTasks::ById) {
            size_t ids = std::min(rule.taskIds.size(), RuleLimits::kTaskIds);
            LE::Append<uint32_t>(out, static_cast<uint32_t>(ids));
            for (size_t i = 0; i < ids; ++i) LE::Append<int32_t>(out, rule.taskIds[i]);
        } else if (rule.tasks == RuleTasks::ByName) {
            AppendText16(out, rule.taskName, RuleLimits::kText);
        }
        for (size_t c = 0; c < conditions; ++c) {
            AppendText16(out, rule.elements[c].key, RuleLimits::kKey);
            AppendText16(out, rule.elements[c].pattern, RuleLimits::kText);
        }
    }
    // The rules' profiles follow only when one names a profile, so rules without keep their bytes.
    bool anyProfile = false;
    for (size_t r = 0; r < count; ++r) anyProfile = anyProfile || !rules.ProfileOf(r).empty();
    if (anyProfile)
        for (size_t r = 0; r < count; ++r) AppendText16(out, rules.ProfileOf(r), RuleLimits::kProfile);
    return out;
}

bool ReadLinkRulesBytes(std::span<const uint8_t> bytes, LinkRules& out) {
    ByteCursor in(bytes);
    LinkRules rules;
    rules.source = in.Text16(RuleLimits::kText);
    uint32_t count = in.Get<uint32_t>();
    if (!in.Ok() || count > RuleLimits::kRules) return false;
    for (uint32_t r = 0; r < count && in.Ok(); ++r) {
        LinkRule rule;
        uint8_t form = in.Get<uint8_t>();
        uint8_t replace = in.Get<uint8_t>();
        uint16_t conditions = in.Get<uint16_t>();
        if (form > static_cast<uint8_t>(RuleTasks::Each) || replace > 1 || conditions < 1 ||
            conditions > RuleLimits::kConditions)
            in.Fail();
        rule.tasks = static_cast<RuleTasks>(form);
        rule.replace = replace == 1;
        if (in.Ok() && rule.tasks == RuleTasks::ById) {
            uint32_t ids = in.Get<uint32_t>();
            if (ids < 1 || ids > RuleLimits::kTaskIds) in.Fail();
            for (uint32_t i = 0; i < ids && in.Ok(); ++i) {
                int32_t id = in.Get<int32_t>();
                if (id < 1) in.Fail();
                rule.taskIds.push_back(id);
            }
        } else if (in.Ok() && rule.tasks == RuleTasks::ByName) {
            rule.taskName = in.Text16(RuleLimits::kText);
        }
        for (uint16_t c = 0; c < conditions && in.Ok(); ++c) {
            RuleCondition condition;
            condition.key = in.Text16(RuleLimits::kKey, 1);
            condition.pattern = in.Text16(RuleLimits::kText);
            if (in.Ok() && !ConditionFits(condition)) in.Fail();
            rule.elements.push_back(std::move(condition));
        }
        rules.rules.push_back(std::move(rule));
    }
    if (in.Ok() && !in.AtEnd()) {
        bool any = false;
        for (size_t r = 0; r < rules.rules.size(); ++r) {
            rules.profiles.push_back(in.Text16(RuleLimits::kProfile));
            any = any || !rules.profiles.back().empty();
        }
        if (!any) in.Fail();
    }
    if (!in.Ok() || !in.AtEnd()) return false;
    out = std::move(rules);
    return true;
}
