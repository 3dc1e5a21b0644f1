#include "basekit/BKText.h"
#include "linking/RuleApplication.h"

#include <gtest/gtest.h>

namespace {

struct Model {
    std::vector<ElementFacts> elements;
    std::vector<Task> tasks;
    std::vector<std::string> wbs; // the tasks' outline codes, when the schedule has them

    ElementFacts& Add(int32_t kind, const char* id, const char* layer,
                      std::vector<std::pair<std::string, std::string>> facts = {}) {
        ElementFacts& e = elements.emplace_back();
        e.kind = kind;
        e.guid.bytes[0] = static_cast<uint8_t>(elements.size());
        e.idText = BKFromUtf8(id);
        e.layer = BKFromUtf8(layer);
        for (auto& [k, v] : facts) e.facts.emplace_back(BKFromUtf8(k.c_str()), BKFromUtf8(v.c_str()));
        return e;
    }
    void AddTask(int32_t id, const char* name) {
        Task& t = tasks.emplace_back();
        t.id = id;
        t.SetName(BKFromUtf8(name));
    }
    // Applies the rules to the elements' links; the links afterwards, element by element.
    std::vector<ElementLink> Apply(const LinkRules& rules, RulesResult* out = nullptr) {
        FactTable table(elements);
        std::vector<ElementLink> links;
        for (const ElementFacts& e : elements) links.push_back(e.link.Slots());
        RulesResult r = ApplyLinkRules(rules, tasks, table, links, wbs);
        if (out) *out = r;
        for (size_t i = 0; i < elements.size(); ++i) elements[i].link.SetSlots(links[i]);
        return links;
    }
};

LinkRule Rule(RuleTasks form, std::vector<RuleCondition> elements, std::vector<int32_t> ids = {}, std::string name = {},
              bool replace = false) {
    for (auto& c : elements) c.pattern = BKFromUtf8(c.pattern.c_str());
    return LinkRule{form, std::move(ids), BKFromUtf8(name.c_str()), std::move(elements), replace};
}

ElementLink L(std::initializer_list<int32_t> ids) {
    ElementLink l{};
    size_t k = 0;
    for (int32_t id : ids) l[k++] = id;
    return l;
}

// A two-storey house: walls by storey and class, slabs, a door; the tasks by storey.
class RuleApplicationTest : public ::testing::Test {
protected:
    void SetUp() override {
        m.Add(1, "W1", "Falak", {{"class", "IfcWallStandardCase"}, {"storey", "Földszint"}, {"material", "Tégla"}});
        m.Add(1, "W2", "Falak", {{"class", "IfcWall"}, {"storey", "Emelet"}, {"material", "Tégla"}, {"material", "Vakolat"}});
        m.Add(8, "S1", "Födém", {{"class", "IfcSlab"}, {"storey", "Földszint"}, {"Pset_4D.TaskId", "3"}});
        m.Add(8, "S2", "Födém", {{"class", "IfcSlab"}, {"storey", "Emelet"}, {"Pset_4D.TaskId", "4"}});
        m.Add(5, "D1", "Nyílászárók", {{"class", "IfcDoor"}, {"storey", "Földszint"}});
        m.AddTask(1, "Falazás Földszint");
        m.AddTask(2, "Falazás Emelet");
        m.AddTask(3, "Födém 1");
        m.AddTask(4, "Födém 2");
    }
    Model m;
};

TEST_F(RuleApplicationTest, TasksByIdByNameAndEach) {
    LinkRules rules;
    rules.rules.push_back(Rule(RuleTasks::ById, {{"class", "ifcwall*"}, {"storey", "földszint"}}, {1, 99}));
    rules.rules.push_back(Rule(RuleTasks::ByName, {{"class", "IfcWall*"}, {"storey", "Emelet"}}, {}, "*emelet"));
    rules.rules.push_back(Rule(RuleTasks::Each, {{"Pset_4D.TaskId", "{id}"}}));
    rules.rules.push_back(Rule(RuleTasks::Each, {{"kind", "5"}}, {}, {}));
    RulesResult r;
    auto links = m.Apply(rules, &r);
    EXPECT_EQ(links, (std::vector<ElementLink>{L({1}), L({2}), L({3}), L({4}), L({1, 2, 3, 4})}));
    ASSERT_EQ(r.rules.size(), 4u);
    EXPECT_EQ(r.rules[0].tasks, 1u); // 99 is no task
    EXPECT_EQ(r.rules[0].linked, 1u);
    EXPECT_EQ(r.rules[2].tasks, 4u);
    EXPECT_EQ(r.rules[2].linked, 2u);
    EXPECT_EQ(r.rules[3].linked, 1u);
    EXPECT_EQ(r.reached, (std::vector<uint8_t>{1, 1, 1, 1, 1}));
    // Again: nothing new, everything already linked.
    RulesResult again;
    EXPECT_EQ(m.Apply(rules, &again), links);
    EXPECT_EQ(again.rules[0].already, 1u);
    EXPECT_EQ(again.rules[2].already, 2u);
    EXPECT_EQ(again.rules[2].linked, 0u);
    EXPECT_EQ(again.gained, (std::vector<uint8_t>{0, 0, 0, 0, 0}));
}

TEST_F(RuleApplicationTest, TaskFieldsInPatternsStandForThemselves) {
    m.tasks.clear();
    m.AddTask(1, "Földszint");
    m.AddTask(2, "Emelet*");
    m.AddTask(3, "Tégla");
    LinkRules rules;
    // A storey that equals the task's name, a material the task's name is part of.
    rules.rules.push_back(Rule(RuleTasks::Each, {{"storey", "{name}"}, {"kind", "1"}}));
    rules.rules.push_back(Rule(RuleTasks::ById, {{"material", "*{NAME}*"}}, {3}));
    rules.rules.push_back(Rule(RuleTasks::Each, {{"name", "S{id}"}, {"layer", "{wbs}"}}));
    RulesResult r;
    auto links = m.Apply(rules, &r);
    // "Emelet*" would match "Emelet" as a pattern; as a task's name it is text.
    EXPECT_EQ(links, (std::vector<ElementLink>{L({1, 3}), L({3}), L({}), L({}), L({})}));
    // No task has an outline code, so the third rule reaches nothing.
    EXPECT_EQ(r.rules[2].linked + r.rules[2].already, 0u);
    EXPECT_EQ(r.reached, (std::vector<uint8_t>{1, 1, 0, 0, 0}));
}

TEST_F(RuleApplicationTest, AnOutlineCodeStandsForItselfWhereTheScheduleHasOne) {
    m.elements[2].facts.emplace_back("Pset_4D.WBS", "1.2");
    m.elements[3].facts.emplace_back("Pset_4D.WBS", "1.2.1");
    m.elements[4].facts.emplace_back("Pset_4D.WBS", "1.10");
    // Task 4 has none: its empty code matches nothing, not every element.
    m.wbs = {"1.1", "1.?", "1.2", ""};
    LinkRules rules;
    rules.rules.push_back(Rule(RuleTasks::Each, {{"Pset_4D.WBS", "{wbs}*"}}));
    auto links = m.Apply(rules);
    // "1.?" is task 2's code as text, no wildcard; "1.1*" takes "1.10" as any pattern would.
    EXPECT_EQ(links, (std::vector<ElementLink>{L({}), L({}), L({3}), L({3}), L({1})}));
}

TEST_F(RuleApplicationTest, LinkedAndUnlinkedSeeTheLinksAsTheRuleBegins) {
    LinkRules rules;
    rules.rules.push_back(Rule(RuleTasks::ById, {{"storey", "Földszint"}}, {1}));
    // Catch-all: every element still without a link goes to task 4.
    rules.rules.push_back(Rule(RuleTasks::ById, {{"unlinked", ""}}, {4}));
    rules.rules.push_back(Rule(RuleTasks::ById, {{"linked", ""}, {"kind", "8"}}, {2}));
    auto links = m.Apply(rules);
    EXPECT_EQ(links, (std::vector<ElementLink>{L({1}), L({4}), L({1, 2}), L({4, 2}), L({1})}));
    // Applied again, the links a rule gives do not count for it: the catch-all finds W2 again
    // (S2 is linked by the last rule now), the same links stand and every element is reached.
    RulesResult again;
    EXPECT_EQ(m.Apply(rules, &again), links);
    EXPECT_EQ(again.rules[1].already, 1u);
    EXPECT_EQ(again.rules[2].already, 2u);
    EXPECT_EQ(again.reached, (std::vector<uint8_t>{1, 1, 1, 1, 1}));
}

TEST_F(RuleApplicationTest, ReplaceTakesTheRulesTasksAwayFromTheElementsItMatches) {
    m.elements[0].link.SetSlots(L({7, 2, 9}));  // W1 had Emelet's task
    m.elements[1].link.SetSlots(L({2}));
    m.tasks[0].SetName(BKFromUtf8("Földszint"));
    m.tasks[1].SetName(BKFromUtf8("Emelet"));
    LinkRules rules;
    rules.rules.push_back(Rule(RuleTasks::Each, {{"storey", "{name}"}, {"kind", "1"}}, {}, {}, true));
    RulesResult r;
    auto links = m.Apply(rules, &r);
    // W1: task 2 goes (the rule names it, W1 does not match it), 7 and 9 are no tasks of the rule.
    EXPECT_EQ(links[0], L({7, 9, 1}));
    EXPECT_EQ(links[1], L({2}));
    EXPECT_EQ(r.rules[0].unlinked, 1u);
    EXPECT_EQ(r.rules[0].linked, 1u);
    EXPECT_EQ(r.rules[0].already, 1u);
}

TEST_F(RuleApplicationTest, TenLinksAreTheMostAndEachTaskOnce) {
    for (int32_t id = 10; id < 20; ++id) m.AddTask(id, "t");
    m.elements[0].link.SetSlots(L({10, 11, 12, 13, 14, 15, 16, 17, 18}));
    LinkRules rules;
    rules.rules.push_back(Rule(RuleTasks::ById, {{"name", "W1"}}, {1, 2, 19, 10}));
    RulesResult r;
    auto links = m.Apply(rules, &r);
    EXPECT_EQ(links[0], (ElementLink{10, 11, 12, 13, 14, 15, 16, 17, 18, 1}));
    EXPECT_EQ(r.rules[0].linked, 1u);
    EXPECT_EQ(r.rules[0].full, 1u);
    EXPECT_EQ(r.rules[0].already, 0u);
    EXPECT_EQ(r.gained[0], 1);
}

TEST_F(RuleApplicationTest, AKeyNoElementHasMatchesNothing) {
    LinkRules rules;
    rules.rules.push_back(Rule(RuleTasks::Each, {{"Pset_Nincs.Ilyen", "*"}}));
    rules.rules.push_back(Rule(RuleTasks::ById, {{"kind", "1"}}, {42}));
    RulesResult r;
    auto links = m.Apply(rules, &r);
    for (const ElementLink& l : links) EXPECT_EQ(l, L({}));
    EXPECT_EQ(r.rules[0].tasks, 4u);
    EXPECT_EQ(r.rules[1].tasks, 0u);
    EXPECT_EQ(r.reached, (std::vector<uint8_t>{0, 0, 0, 0, 0}));
}

} // namespace
