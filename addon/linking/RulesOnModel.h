#pragma once
// Link rules applied to the model: the elements' facts collected, the links worked out, the
// changed records written inside one undo step, and one report line a rule.
#include "linking/ElementFacts.h"
#include "schedule/tasks/LinkRules.h"
#include "schedule/tasks/TaskDB.h"

// `afterRevision`: the model has just taken a revision; the report names the elements that got a
// link they did not have, the new ones among them. Returns the elements no rule reached.
std::vector<API_Guid> ApplyRulesToModel(TaskDB& db, const LinkRules& rules, IElementFacts& facts, bool afterRevision);
