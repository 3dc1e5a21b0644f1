#include "linking/RulesOnModel.h"

#include "hostcalls/HostInterface.h"
#include "linking/ElementList.h"
#include "linking/FactTable.h"
#include "linking/LinkWrites.h"
#include "linking/RuleApplication.h"
#include "resources/AddonResources.h"

#include <string>

namespace {

constexpr int16_t kReport = 32620;
constexpr int16_t kHeading = 1, kRuleLine = 2, kReplacingRuleLine = 3, kUnreached = 4, kAllReached = 5,
                  kRevisionHeading = 6, kGained = 7, kNotWritten = 8, kNoProfile = 10;
constexpr int16_t kStepNames = 32623, kRulesStep = 1;

void Report(int16_t item, std::initializer_list<std::string_view> params) {
    HostReportWrite(AddonFormat(kReport, item, params).c_str(), 0);
}

std::string N(size_t n) { return std::to_string(n); }

} // namespace

std::vector<API_Guid> ApplyRulesToModel(TaskDB& db, const LinkRules& rules, IElementFacts& facts, bool afterRevision) {
    if (!db.Hider()) return {};
    std::vector<ElementFacts> elements = facts.CollectElements();
    FactTable table(elements);
    std::vector<ElementLink> links;
    links.reserve(elements.size());
    for (const ElementFacts& e : elements) links.push_back(e.link.Slots());
    // Summary rows and milestones govern no element: rules link only to the tasks that do.
    std::vector<Task> activities;
    std::vector<std::string> wbs;
    for (size_t i = 0; i < db.Tasks().size(); ++i) {
        if (db.IsMarkerAt(i)) continue;
        activities.push_back(db.Tasks()[i]);
        const TaskPlan* plan = db.PlanAt(i);
        wbs.push_back(plan ? plan->wbs : std::string());
    }
    RulesResult result = ApplyLinkRules(rules, activities, table, links, wbs);
    size_t failed = WriteChangedLinks(*db.Hider(), elements, links, AddonString(kStepNames, kRulesStep));

    Report(afterRevision ? kRevisionHeading : kHeading, {rules.source, N(rules.rules.size())});
    for (size_t r = 0; r < result.rules.size(); ++r) {
        const RuleCounts& c = result.rules[r];
        if (rules.rules[r].replace)
            Report(kReplacingRuleLine, {N(r + 1), N(c.tasks), N(c.linked), N(c.already), N(c.full), N(c.unlinked)});
        else
            Report(kRuleLine, {N(r + 1), N(c.tasks), N(c.linked), N(c.already), N(c.full)});
    }
    std::vector<const ElementFacts*> unreached, gained;
    for (size_t e = 0; e < elements.size(); ++e) {
        if (!result.reached[e]) unreached.push_back(&elements[e]);
        if (result.gained[e]) gained.push_back(&elements[e]);
    }
    if (unreached.empty()) Report(kAllReached, {});
    else Report(kUnreached, {N(unreached.size()), ElementList(unreached)});
    if (afterRevision && !gained.empty()) Report(kGained, {N(gained.size()), ElementList(gained)});
    if (failed > 0) Report(kNotWritten, {N(failed)});
    // The rule's tasks take its profile; the project file keeps their choice.
    const std::vector<uint8_t> looksBefore = db.Hider()->StoredLooks();
    for (size_t r = 0; r < result.rules.size(); ++r) {
        const std::string& profile = rules.ProfileOf(r);
        if (profile.empty()) continue;
        bool known = true;
        for (int32_t id : result.rules[r].taskIds) known = db.Hider()->ChooseTaskLook(id, profile) && known;
        if (!known) Report(kNoProfile, {N(r + 1), profile});
    }
    if (db.Hider()->StoredLooks() != looksBefore) db.SetDirty(true);
    std::vector<API_Guid> notReached;
    notReached.reserve(unreached.size());
    for (const ElementFacts* e : unreached) notReached.push_back(e->guid);
    return notReached;
}
