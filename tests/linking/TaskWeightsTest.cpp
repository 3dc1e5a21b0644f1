#include "TestSupport.h"
#include "TestTasks.h"
#include "linking/TaskWeights.h"
#include "schedule/tasks/AnimationSettings.h"
#include "schedule/tasks/TaskDB.h"

#include <gtest/gtest.h>

namespace {

using enum ConstructionType;

// Elements as a building model would give them, without a host.
class GivenFacts final : public IElementFacts {
public:
    std::vector<ElementFacts> elements;
    std::vector<ElementFacts> CollectElements() override { return elements; }
    void Add(std::initializer_list<int32_t> links, std::vector<std::pair<std::string, std::string>> facts) {
        ElementFacts e;
        size_t k = 0;
        for (int32_t id : links) e.link.SetSlot(k++, id);
        e.facts = std::move(facts);
        elements.push_back(std::move(e));
    }
};

class TaskWeightsTest : public FixedClockTest {};

TEST_F(TaskWeightsTest, AQuantityByItsKeyForEachTaskOfTheElement) {
    AnimationSettings settings;
    TaskDB db{settings, nullptr};
    db.InitTaskDB();
    for (int32_t id : {1, 2, 3}) db.AppendLoadedTask(TestTask(id, Construction, DateTime(2009, 3, id), DateTime(2009, 3, id + 1), "t"));
    db.AppendLoadedTask(TestTask(2, Construction, DateTime(2009, 3, 9), DateTime(2009, 3, 10), "t")); // a second task of id 2
    const std::string key = "Qto_WallBaseQuantities.NetVolume";
    GivenFacts facts;
    facts.Add({1}, {{key, "2.5"}});
    facts.Add({1, 2}, {{"qto_wallbasequantities.netvolume", "4"}}); // letter case aside; each task
    facts.Add({2, 2}, {{key, "1"}});                                   // a damaged record's id twice: once
    facts.Add({3}, {{key, "n/a"}});                                    // no number
    facts.Add({3}, {{key, "-7"}});                                     // nothing below zero
    facts.Add({3}, {{"Qto_SlabBaseQuantities.NetVolume", "9"}});       // another key
    const std::vector<double> w = TaskWeights(db, facts, key);
    EXPECT_EQ(w, (std::vector<double>{6.5, 5, 0, 5}));
}

} // namespace
