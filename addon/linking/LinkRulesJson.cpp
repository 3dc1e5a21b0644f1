#include "linking/LinkRulesJson.h"

#include "basekit/BKText.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <limits>

// Conditions keep the file's order, as the planner wrote them.
using json = nlohmann::ordered_json;

namespace {

struct Refusal {
    RulesFileProblem problem;
};

[[noreturn]] void Refuse(RulesFileProblem::Kind kind, std::vector<std::string> params = {}) {
    throw Refusal{{kind, std::move(params)}};
}

// A pattern's text: a string, or a whole number as it is written.
bool PatternText(const json& value, std::string& out) {
    if (value.is_string()) {
        out = BKFromUtf8(value.get_ref<const std::string&>());
    } else if (value.is_number_integer()) {
        out = value.dump();
    } else {
        return false;
    }
    return out.size() <= RuleLimits::kText && out.find('\0') == std::string::npos;
}

bool KindsText(const json& value, std::string& out) {
    std::vector<int32_t> kinds;
    std::string text;
    if (value.is_number_integer()) {
        text = value.dump();
    } else if (value.is_string()) {
        text = value.get_ref<const std::string&>();
    } else if (value.is_array() && !value.empty()) {
        for (const json& k : value) {
            if (!k.is_number_integer()) return false;
            if (!text.empty()) text += ',';
            text += k.dump();
        }
    } else {
        return false;
    }
    if (!ParseKindList(text, kinds)) return false;
    out.clear();
    for (int32_t k : kinds) out += (out.empty() ? "" : ",") + std::to_string(k);
    return true;
}

void ReadTasks(const json& tasks, LinkRule& rule, const std::string& number) {
    if (tasks.is_string() && tasks.get_ref<const std::string&>() == "each") {
        rule.tasks = RuleTasks::Each;
        return;
    }
    if (!tasks.is_object() || tasks.size() != 1) Refuse(RulesFileProblem::BadTasks, {number});
    if (auto id = tasks.find("id"); id != tasks.end()) {
        rule.tasks = RuleTasks::ById;
        json ids = id->is_array() ? *id : json::array({*id});
        if (ids.empty() || ids.size() > RuleLimits::kTaskIds) Refuse(RulesFileProblem::BadTasks, {number});
        for (const json& v : ids) {
            if (!v.is_number_integer() || v.get<int64_t>() < 1 || v.get<int64_t>() > std::numeric_limits<int32_t>::max())
                Refuse(RulesFileProblem::BadTasks, {number});
            rule.taskIds.push_back(static_cast<int32_t>(v.get<int64_t>()));
        }
    } else if (auto name = tasks.find("name"); name != tasks.end()) {
        rule.tasks = RuleTasks::ByName;
        if (!name->is_string() || !PatternText(*name, rule.taskName)) Refuse(RulesFileProblem::BadTasks, {number});
    } else {
        Refuse(RulesFileProblem::BadTasks, {number});
    }
}

void ReadElements(const json& elements, LinkRule& rule, const std::string& number) {
    if (!elements.is_object() || elements.empty()) Refuse(RulesFileProblem::NoConditions, {number});
    if (elements.size() > RuleLimits::kConditions) Refuse(RulesFileProblem::TooLong, {number});
    for (const auto& [utf8Key, value] : elements.items()) {
        std::string shownKey = BKFromUtf8(utf8Key);
        if (utf8Key.size() > RuleLimits::kKey || !IsRuleKey(utf8Key) || shownKey.find('\0') != std::string::npos)
            Refuse(RulesFileProblem::UnknownKey, {number, shownKey});
        RuleCondition c;
        c.key = CanonicalRuleKey(shownKey);
        bool ok = false;
        if (c.key == "linked" || c.key == "unlinked") {
            ok = value.is_boolean();
            // "linked": false asks for the unlinked ones.
            if (ok && !value.get<bool>()) c.key = c.key == "linked" ? "unlinked" : "linked";
        } else if (c.key == "kind") {
            ok = KindsText(value, c.pattern);
        } else {
            ok = PatternText(value, c.pattern);
        }
        if (!ok) Refuse(RulesFileProblem::BadValue, {number, shownKey});
        rule.elements.push_back(std::move(c));
    }
}

LinkRule ReadRule(const json& r, size_t index) {
    std::string number = std::to_string(index + 1);
    if (!r.is_object()) Refuse(RulesFileProblem::BadTasks, {number});
    for (const auto& [field, value] : r.items()) {
        if (field != "tasks" && field != "elements" && field != "replace" && field != "comment" && field != "profile")
            Refuse(RulesFileProblem::UnknownField, {number, BKFromUtf8(field)});
        if ((field == "replace" && !value.is_boolean()) || (field == "comment" && !value.is_string()))
            Refuse(RulesFileProblem::BadValue, {number, field});
        if (field == "profile") {
            const std::string name = value.is_string() ? BKFromUtf8(value.get_ref<const std::string&>()) : std::string();
            if (name.empty() || name.size() > RuleLimits::kProfile || name.find('\0') != std::string::npos)
                Refuse(RulesFileProblem::BadValue, {number, field});
        }
    }
    LinkRule rule;
    auto tasks = r.find("tasks");
    if (tasks == r.end()) Refuse(RulesFileProblem::BadTasks, {number});
    ReadTasks(*tasks, rule, number);
    auto elements = r.find("elements");
    if (elements == r.end()) Refuse(RulesFileProblem::NoConditions, {number});
    ReadElements(*elements, rule, number);
    if (auto replace = r.find("replace"); replace != r.end()) rule.replace = replace->get<bool>();
    return rule;
}

} // namespace

bool ParseLinkRules(std::string_view utf8, LinkRules& out, RulesFileProblem& problem) {
    try {
        json doc;
        try {
            doc = json::parse(utf8);
        } catch (const json::parse_error& e) {
            Refuse(RulesFileProblem::NotJson, {std::to_string(e.byte)});
        }
        const json* list = &doc;
        if (doc.is_object()) {
            auto rules = doc.find("rules");
            if (rules == doc.end()) Refuse(RulesFileProblem::NoRules);
            list = &*rules;
        }
        if (!list->is_array() || list->empty()) Refuse(RulesFileProblem::NoRules);
        if (list->size() > RuleLimits::kRules) Refuse(RulesFileProblem::TooMany, {std::to_string(RuleLimits::kRules)});
        LinkRules rules;
        std::vector<std::string> profiles;
        for (size_t i = 0; i < list->size(); ++i) {
            rules.rules.push_back(ReadRule((*list)[i], i));
            auto profile = (*list)[i].find("profile");
            profiles.push_back(profile == (*list)[i].end() ? std::string() : BKFromUtf8(profile->get_ref<const std::string&>()));
        }
        if (std::any_of(profiles.begin(), profiles.end(), [](const std::string& p) { return !p.empty(); }))
            rules.profiles = std::move(profiles);
        out = std::move(rules);
        return true;
    } catch (const Refusal& r) {
        problem = r.problem;
        return false;
    } catch (const json::exception&) {
        // The checks above leave no other value to throw on; a malformed text here is refused.
        problem = {RulesFileProblem::NotJson, {"0"}};
        return false;
    }
}
