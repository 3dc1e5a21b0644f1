#pragma once
// Working out the links a schedule's rules give the elements, without touching the model: rule
// after rule, each element's slots change in memory, under the slot rules (at most ten links,
// each task once). Where an interactive link would ask, the rule answers: an element that holds
// links takes one more, an element with ten keeps them and is counted as left.
#include "linking/FactTable.h"
#include "schedule/tasks/ElementLink.h"
#include "schedule/tasks/LinkRules.h"
#include "schedule/tasks/Task.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct RuleCounts {
    size_t tasks = 0;    // tasks the rule names (each id once)
    size_t linked = 0;   // elements that got a link they did not have
    size_t already = 0;  // matched elements that had every link the rule gives
    size_t full = 0;     // elements a link was left off because they hold ten
    size_t unlinked = 0; // links a replacing rule took away
    std::vector<int32_t> taskIds; // of the tasks the rule names, rising
};

struct RulesResult {
    std::vector<RuleCounts> rules;
    std::vector<uint8_t> reached; // per element: some rule matched it with a task
    std::vector<uint8_t> gained;  // per element: it has a link it did not have before
};

// `links`: the slots of each element of `table`, changed in place. Conditions on `linked` and
// `unlinked` see the links as they are when the rule begins, and only those to tasks other than
// the ones the rule gives the element: applied again, the rules find what they linked before.
// `wbs`: each task's outline code, in the order of `tasks`; empty when the schedule has none.
RulesResult ApplyLinkRules(const LinkRules& rules, const std::vector<Task>& tasks, const FactTable& table,
                           std::vector<ElementLink>& links, const std::vector<std::string>& wbs = {});
