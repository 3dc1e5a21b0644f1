#include "basekit/BKText.h"
#include "linking/LinkRulesJson.h"

#include <gtest/gtest.h>

namespace {

LinkRules Parse(const char* json) {
    LinkRules rules;
    RulesFileProblem problem;
    EXPECT_TRUE(ParseLinkRules(json, rules, problem)) << json;
    return rules;
}

RulesFileProblem Refused(const char* json) {
    LinkRules rules;
    rules.source = "kept";
    RulesFileProblem problem;
    EXPECT_FALSE(ParseLinkRules(json, rules, problem)) << json;
    EXPECT_EQ(rules.source, "kept");
    return problem;
}

TEST(LinkRulesJsonTest, EveryTaskFormAndKeyForm) {
    LinkRules r = Parse(R"({"rules": [
        {"tasks": {"id": [3, 4]}, "elements": {"Class": "IfcWall*", "storey": "Földszint"}},
        {"tasks": {"id": 7}, "elements": {"kind": [1, 3]}, "replace": true, "comment": "falak"},
        {"tasks": {"name": "*Erdgeschoss*"}, "elements": {"kind": "5, 6", "linked": false}},
        {"tasks": "each", "elements": {"Pset_4D.TaskId": "{id}", "unlinked": true, "kind": 9}}
    ]})");
    ASSERT_EQ(r.rules.size(), 4u);
    EXPECT_EQ(r.rules[0].tasks, RuleTasks::ById);
    EXPECT_EQ(r.rules[0].taskIds, (std::vector<int32_t>{3, 4}));
    EXPECT_EQ(r.rules[0].elements, (std::vector<RuleCondition>{{"class", "IfcWall*"}, {"storey", BKFromUtf8("Földszint")}}));
    EXPECT_FALSE(r.rules[0].replace);
    EXPECT_EQ(r.rules[1].taskIds, std::vector<int32_t>{7});
    EXPECT_EQ(r.rules[1].elements, (std::vector<RuleCondition>{{"kind", "1,3"}}));
    EXPECT_TRUE(r.rules[1].replace);
    EXPECT_EQ(r.rules[2].tasks, RuleTasks::ByName);
    EXPECT_EQ(r.rules[2].taskName, "*Erdgeschoss*");
    // "linked": false is the unlinked ones.
    EXPECT_EQ(r.rules[2].elements, (std::vector<RuleCondition>{{"kind", "5,6"}, {"unlinked", ""}}));
    EXPECT_EQ(r.rules[3].tasks, RuleTasks::Each);
    EXPECT_EQ(r.rules[3].elements,
              (std::vector<RuleCondition>{{"Pset_4D.TaskId", "{id}"}, {"unlinked", ""}, {"kind", "9"}}));
    // A bare list is a rules file too.
    EXPECT_EQ(Parse(R"([{"tasks": "each", "elements": {"layer": 12}}])").rules[0].elements[0].pattern, "12");
}

TEST(LinkRulesJsonTest, RefusalsNameTheRuleAndTheKey) {
    struct Case {
        const char* json;
        RulesFileProblem::Kind kind;
        std::vector<std::string> params;
    };
    const Case cases[] = {
        {"{\"rules\": [", RulesFileProblem::NotJson, {"12"}},
        {"{\"szabalyok\": []}", RulesFileProblem::NoRules, {}},
        {"{\"rules\": []}", RulesFileProblem::NoRules, {}},
        {R"([{"elements": {"kind": 1}}])", RulesFileProblem::BadTasks, {"1"}},
        {R"([{"tasks": "all", "elements": {"kind": 1}}])", RulesFileProblem::BadTasks, {"1"}},
        {R"([{"tasks": {"id": [0]}, "elements": {"kind": 1}}])", RulesFileProblem::BadTasks, {"1"}},
        {R"([{"tasks": {"id": 1, "name": "x"}, "elements": {"kind": 1}}])", RulesFileProblem::BadTasks, {"1"}},
        {R"([{"tasks": {"name": 5}, "elements": {"kind": 1}}])", RulesFileProblem::BadTasks, {"1"}},
        {R"([{"tasks": "each", "elements": {"kind": 1}}, {"tasks": "each"}])", RulesFileProblem::NoConditions, {"2"}},
        {R"([{"tasks": "each", "elements": {}}])", RulesFileProblem::NoConditions, {"1"}},
        {R"([{"tasks": "each", "elements": {"colour": "red"}}])", RulesFileProblem::UnknownKey, {"1", "colour"}},
        {R"([{"tasks": "each", "elements": {"kind": "fal"}}])", RulesFileProblem::BadValue, {"1", "kind"}},
        {R"([{"tasks": "each", "elements": {"kind": [0]}}])", RulesFileProblem::BadValue, {"1", "kind"}},
        {R"([{"tasks": "each", "elements": {"linked": "yes"}}])", RulesFileProblem::BadValue, {"1", "linked"}},
        {R"([{"tasks": "each", "elements": {"class": ["IfcWall"]}}])", RulesFileProblem::BadValue, {"1", "class"}},
        {R"([{"tasks": "each", "elements": {"kind": 1}, "replace": 1}])", RulesFileProblem::BadValue, {"1", "replace"}},
        {R"([{"tasks": "each", "element": {"kind": 1}}])", RulesFileProblem::UnknownField, {"1", "element"}},
    };
    for (const Case& c : cases) {
        RulesFileProblem p = Refused(c.json);
        EXPECT_EQ(p.kind, c.kind) << c.json;
        EXPECT_EQ(p.params, c.params) << c.json;
    }
}

TEST(LinkRulesJsonTest, TextsComeInTheCodePageAndWithinTheLimits) {
    LinkRules r = Parse("\xEF\xBB\xBF[{\"tasks\": {\"name\": \"Őrház\"}, \"elements\": {\"material\": \"Tégla ✓\"}}]");
    EXPECT_EQ(r.rules[0].taskName, BKFromUtf8("Őrház"));
    EXPECT_EQ(r.rules[0].elements[0].pattern, BKFromUtf8("Tégla ?"));
    std::string longPattern = "[{\"tasks\": \"each\", \"elements\": {\"name\": \"" + std::string(1025, 'x') + "\"}}]";
    EXPECT_EQ(Refused(longPattern.c_str()).kind, RulesFileProblem::BadValue);
    std::string many = "[";
    for (int i = 0; i <= 64; ++i) many += (i ? ", " : "") + std::string("{\"tasks\": \"each\", \"elements\": {\"kind\": 1}}");
    EXPECT_EQ(Parse((many + "]").c_str()).rules.size(), 65u);
    std::string wide = "[{\"tasks\": \"each\", \"elements\": {";
    for (int i = 0; i <= 64; ++i) wide += (i ? ", " : "") + std::string("\"P.x") + std::to_string(i) + "\": 1";
    EXPECT_EQ(Refused((wide + "}}]").c_str()).kind, RulesFileProblem::TooLong);
}

TEST(LinkRulesJsonTest, ARuleMayNameTheProfileItsTasksTake) {
    LinkRules r = Parse(R"({"rules": [
        {"tasks": {"id": 3}, "elements": {"kind": 1}},
        {"tasks": {"id": 4}, "elements": {"kind": 1}, "profile": "Állvány"}
    ]})");
    EXPECT_EQ(r.profiles, (std::vector<std::string>{"", BKFromUtf8("Állvány")}));
    EXPECT_EQ(r.ProfileOf(1), BKFromUtf8("Állvány"));
    EXPECT_EQ(r.ProfileOf(7), "");
    EXPECT_TRUE(Parse(R"({"rules": [{"tasks": {"id": 3}, "elements": {"kind": 1}}]})").profiles.empty());
    for (const char* bad : {R"([{"tasks": {"id": 3}, "elements": {"kind": 1}, "profile": ""}])",
                            R"([{"tasks": {"id": 3}, "elements": {"kind": 1}, "profile": 7}])"}) {
        RulesFileProblem p = Refused(bad);
        EXPECT_EQ(p.kind, RulesFileProblem::BadValue);
        EXPECT_EQ(p.params, (std::vector<std::string>{"1", "profile"}));
    }
}

} // namespace
