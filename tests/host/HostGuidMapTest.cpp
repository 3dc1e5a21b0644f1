// The flat identifier map against an ordered map, through adds, erases and growth, and the host
// model's lookups after elements are removed.
#include "host/model/HostModel.h"
#include "hostapi/HostGuidMap.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <unordered_set>

namespace {

API_Guid GuidOf(uint64_t n) {
    API_Guid g;
    for (int k = 0; k < 8; ++k) g.bytes[static_cast<size_t>(k)] = static_cast<uint8_t>(n >> (8 * k));
    g.bytes[15] = 1; // never null
    return g;
}

} // namespace

TEST(GuidMap, AgreesWithAnOrderedMapThroughAddsErasesAndGrowth) {
    // Few distinct keys over a small table: long probe chains that wrap round the table's end,
    // where an erase that moves the wrong key back would lose it.
    for (uint32_t seed = 1; seed <= 40; ++seed) {
        std::mt19937 rnd(seed);
        GuidMap<int> map;
        std::map<API_Guid, int> reference;
        const uint64_t keys = 20 + seed * 3;
        for (int step = 0; step < 4000; ++step) {
            API_Guid k = GuidOf(rnd() % keys);
            switch (rnd() % 3) {
            case 0:
                map[k] = step;
                reference[k] = step;
                break;
            case 1: EXPECT_EQ(map.erase(k), reference.erase(k)); break;
            default: break;
            }
            ASSERT_EQ(map.size(), reference.size()) << "seed " << seed << " step " << step;
            for (uint64_t n = 0; n < keys; ++n) {
                const int* v = map.find(GuidOf(n));
                auto it = reference.find(GuidOf(n));
                ASSERT_EQ(v != nullptr, it != reference.end()) << "seed " << seed << " step " << step << " key " << n;
                if (v) {
                    ASSERT_EQ(*v, it->second);
                }
            }
        }
    }
}

TEST(GuidMap, TheNullIdentifierIsNeverAKey) {
    GuidMap<int> map;
    map[API_Guid{}] = 5;
    EXPECT_EQ(map.size(), 0u);
    EXPECT_EQ(map.find(API_Guid{}), nullptr);
    EXPECT_EQ(map.erase(API_Guid{}), 0u);
    map.reserve(1000);
    for (uint64_t n = 0; n < 1000; ++n) map[GuidOf(n)] = static_cast<int>(n);
    EXPECT_EQ(map.size(), 1000u);
    EXPECT_EQ(map.at(GuidOf(999)), 999);
    EXPECT_THROW(map.at(GuidOf(1000)), std::out_of_range);
}

TEST(HostModelLookup, ElementsLeftAfterARemovalAreStillFoundByIdentifierAndIndex) {
    HostModel model;
    std::vector<API_Guid> guids;
    for (int i = 0; i < 500; ++i) {
        Element e;
        e.SetKind(HostElement::Wall);
        guids.push_back(model.AddElement(std::move(e)).Guid());
    }
    std::unordered_set<API_Guid, API_GuidHash> gone;
    for (size_t i = 0; i < guids.size(); i += 3) gone.insert(guids[i]);
    EXPECT_EQ(model.RemoveElements(gone), gone.size());
    for (size_t i = 0; i < guids.size(); ++i) {
        const Element* e = model.Find(guids[i]);
        if (gone.count(guids[i])) {
            EXPECT_EQ(e, nullptr) << i;
        } else {
            ASSERT_NE(e, nullptr) << i;
            EXPECT_EQ(e->Guid(), guids[i]);
            EXPECT_EQ(model.FindByIndex(HostElement::Wall, e->Index()), e);
        }
    }
}

TEST(HostModelLookup, AWalkSurvivesTheModelChangingUnderIt) {
    // The read-ahead follows a kind's list while the add-on walks it; adds, re-kinds and
    // removals in between must leave it pointing at nothing stale (asan checks the reads).
    HostModel model;
    auto add = [&model](int32_t kind) -> Element& {
        Element e;
        e.SetKind(kind);
        return model.AddElement(std::move(e));
    };
    for (int i = 0; i < 40; ++i) add(HostElement::Wall);
    model.StartWalk(HostElement::Wall);
    const std::vector<Element*> walls = model.OfKind(HostElement::Wall);
    for (size_t i = 0; i < 10; ++i) model.NoteVisit(walls[i]);
    for (int i = 0; i < 1000; ++i) add(HostElement::Wall); // the list grows and moves
    for (size_t i = 10; i < 20; ++i) model.NoteVisit(walls[i]);
    Element& moved = *model.OfKind(HostElement::Wall).back();
    auto record = moved.record;
    LE::Put<int32_t>(record, HostElement::kKind, HostElement::Slab);
    model.ChangeElement(moved, record);
    std::unordered_set<API_Guid, API_GuidHash> gone;
    for (size_t i = 0; i < 30; ++i) gone.insert(walls[i]->Guid());
    model.RemoveElements(gone);
    for (Element* e : model.OfKind(HostElement::Wall)) model.NoteVisit(e);
    model.StartWalk(HostElement::Slab);
    for (Element* e : model.OfKind(HostElement::Slab)) model.NoteVisit(e);
    EXPECT_EQ(model.OfKind(HostElement::Slab).size(), 1u);
    EXPECT_EQ(model.OfKind(HostElement::Wall).size(), 1040u - 30u - 1u);
}
