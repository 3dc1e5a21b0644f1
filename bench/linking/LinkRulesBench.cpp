// A rules file of 50 rules applied to 100,000 elements with facts and a schedule of 2,000 tasks:
// - BM_RulesOnModel: the menu command's whole work on a model without links: every element's
//   header, link record and facts read from the host, the links worked out, 100,000 link records
//   written in one undo step, the report. The figure to hold under 2 s.
// - BM_RulesAgain: the same rules once more on the linked model (after a revision): everything
//   read and worked out, nothing written.
// - BM_CollectFacts and BM_WorkOutLinks: the two halves of the work before writing.
// The rules mix every form: each task by a property holding its id, tasks by name with a storey
// and a class, tasks by id with a material and a kind, zones by the task's id, replacing rules
// and catch-alls for what is still unlinked.
#include "DisplayWorld.h"

#include "linking/FactTable.h"
#include "linking/HostElementFacts.h"
#include "linking/RuleApplication.h"
#include "linking/RulesOnModel.h"

#include <cstdio>

namespace {

constexpr size_t kElements = 100000;
constexpr int32_t kTasks = 2000;
constexpr int kStoreys = 20;

std::string Two(int n) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02d", n);
    return buf;
}

struct RulesWorld {
    DisplayWorld w{0, 0, false};
    LinkRules rules;

    RulesWorld() {
        static const int32_t kinds[] = {1, 2, 3, 8, 5, 4, 6};
        static const char* classes[] = {"IfcWallStandardCase", "IfcColumn", "IfcBeam", "IfcSlab",
                                        "IfcDoor",             "IfcWindow", "IfcBuildingElementProxy"};
        HostModel& m = w.host->Model();
        m.Undo().SetLimits(4, size_t{1} << 30);
        FactTexts& t = m.Facts();
        for (size_t i = 0; i < kElements; ++i) {
            Element e = DisplayWorld::MakeElement(i, 1);
            e.userData.clear();
            size_t k = i % 7;
            e.SetKind(kinds[k]);
            int storey = static_cast<int>(i * kStoreys / kElements);
            e.facts = {{t.Intern("class"), t.Intern(classes[k])},
                       {t.Intern("storey"), t.Intern("Szint " + Two(storey))},
                       {t.Intern("material"), t.Intern("Anyag " + Two(static_cast<int>(i % 30)))},
                       {t.Intern("Pset_Common.Zone"), t.Intern("Z" + std::to_string(i % 100))}};
            if (k == 0) e.facts.push_back({t.Intern("material"), t.Intern("Vakolat")});
            if (i % 4 == 0) e.facts.push_back({t.Intern("Pset_4D.TaskId"), t.Intern(std::to_string(1 + i % kTasks))});
            m.AddElement(std::move(e));
        }
        for (int32_t id = 1; id <= kTasks; ++id) {
            Task task;
            task.id = id;
            task.start = DateTime(2009, 3, 1);
            task.finish = DateTime(2009, 3, 30);
            task.SetName("Szint " + Two((id - 1) / (kTasks / kStoreys)) + " - munka " + std::to_string((id - 1) % 100));
            w.db.AppendLoadedTask(task);
        }
        auto rule = [&](RuleTasks form, std::vector<RuleCondition> c, std::vector<int32_t> ids = {}, std::string name = {},
                        bool replace = false) { rules.rules.push_back({form, std::move(ids), std::move(name), std::move(c), replace}); };
        for (const char* kind : {"1", "2", "3", "8", "5"}) rule(RuleTasks::Each, {{"Pset_4D.TaskId", "{id}"}, {"kind", kind}});
        static const char* patterns[] = {"IfcWall*", "IfcColumn", "IfcBeam", "IfcSlab"};
        for (int s = 0; s < kStoreys; ++s)
            rule(RuleTasks::ByName, {{"storey", "szint " + Two(s)}, {"class", patterns[s % 4]}}, {},
                 "Szint " + Two(s) + " - munka " + std::to_string(10 + s));
        for (int r = 0; r < 10; ++r)
            rule(RuleTasks::ById, {{"material", "Anyag " + std::to_string(r % 3) + "*"}, {"kind", r % 2 ? "3,8" : "1"}},
                 {1 + 37 * r, 2 + 37 * r});
        for (int r = 0; r < 5; ++r) rule(RuleTasks::Each, {{"Pset_Common.Zone", "Z{id}"}, {"class", patterns[r % 4]}});
        for (int r = 0; r < 5; ++r)
            rule(RuleTasks::ById, {{"class", patterns[r % 4]}, {"storey", "Szint 1?"}}, {1500 + r}, {}, true);
        for (int r = 0; r < 5; ++r) rule(RuleTasks::ById, {{"unlinked", ""}, {"class", "Ifc*" + std::string(r % 2 ? "Door" : "")}}, {1900 + r});
    }
    void Unlink() {
        for (auto& e : w.host->Model().Elements()) e->userData.clear();
        w.host->Model().Undo().Clear();
    }
};

RulesWorld& World() {
    static RulesWorld world;
    world.w.MakeCurrent();
    return world;
}

void BM_RulesOnModel(benchmark::State& state) {
    RulesWorld& r = World();
    for (auto _ : state) {
        state.PauseTiming();
        r.Unlink();
        state.ResumeTiming();
        HostElementFacts facts(r.w.hider);
        ApplyRulesToModel(r.w.db, r.rules, facts, false);
    }
    size_t linked = 0;
    for (const auto& e : r.w.host->Model().Elements()) linked += e->userData.empty() ? 0 : 1;
    state.counters["linked_elements"] = static_cast<double>(linked);
}

void BM_RulesAgain(benchmark::State& state) {
    RulesWorld& r = World();
    HostElementFacts facts(r.w.hider);
    ApplyRulesToModel(r.w.db, r.rules, facts, false);
    for (auto _ : state) ApplyRulesToModel(r.w.db, r.rules, facts, true);
}

void BM_CollectFacts(benchmark::State& state) {
    RulesWorld& r = World();
    HostElementFacts facts(r.w.hider);
    for (auto _ : state) benchmark::DoNotOptimize(facts.CollectElements());
}

void BM_WorkOutLinks(benchmark::State& state) {
    RulesWorld& r = World();
    r.Unlink();
    HostElementFacts facts(r.w.hider);
    std::vector<ElementFacts> elements = facts.CollectElements();
    FactTable table(elements);
    for (auto _ : state) {
        std::vector<ElementLink> links(elements.size());
        benchmark::DoNotOptimize(ApplyLinkRules(r.rules, r.w.db.Tasks(), table, links));
    }
}

BENCHMARK(BM_RulesOnModel)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_RulesAgain)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_CollectFacts)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_WorkOutLinks)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
