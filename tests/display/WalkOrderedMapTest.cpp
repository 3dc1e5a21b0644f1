// The walk-ordered map against an ordered map, for walks in its order, out of it, and with
// keys added and the map emptied in between.
#include "display/WalkOrderedMap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <numeric>
#include <random>

namespace {

API_Guid GuidOf(uint32_t n) {
    API_Guid g;
    for (int k = 0; k < 4; ++k) g.bytes[static_cast<size_t>(k)] = static_cast<uint8_t>(n >> (8 * k));
    g.bytes[15] = 7; // never null
    return g;
}

} // namespace

TEST(WalkOrderedMap, AgreesWithAnOrderedMapWhateverTheOrderOfTheWalk) {
    std::mt19937 rnd(5);
    WalkOrderedMap<int> map;
    std::map<API_Guid, int> reference;
    std::vector<uint32_t> walk(300);
    std::iota(walk.begin(), walk.end(), 0u);
    for (int round = 0; round < 40; ++round) {
        if (round % 4 == 1) std::shuffle(walk.begin(), walk.end(), rnd); // the model's order changed
        if (round % 4 == 2) std::reverse(walk.begin(), walk.end());
        if (round == 20) {
            map.clear();
            reference.clear();
        }
        for (uint32_t n : walk) {
            API_Guid k = GuidOf(n);
            int* v = map.find(k);
            auto it = reference.find(k);
            ASSERT_EQ(v != nullptr, it != reference.end()) << "round " << round << " key " << n;
            if (v) {
                ASSERT_EQ(*v, it->second);
                EXPECT_EQ(map.find(k), v); // asked again for the same element
            }
            if (rnd() % 3 == 0) { // the pass records what the element now shows
                map[k] = round * 1000 + static_cast<int>(n);
                reference[k] = round * 1000 + static_cast<int>(n);
            }
        }
        ASSERT_EQ(map.size(), reference.size());
        for (const auto& [k, v] : reference) ASSERT_EQ(map.at(k), v);
    }
    EXPECT_EQ(map.count(GuidOf(100000)), 0u);
    EXPECT_THROW(map.at(GuidOf(100000)), std::out_of_range);
    map[API_Guid{}] = 1;
    EXPECT_EQ(map.find(API_Guid{}), nullptr);
}
