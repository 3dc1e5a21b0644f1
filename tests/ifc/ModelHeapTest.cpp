// The model heap hands out blocks that never overlap, to threads at once, takes them back from any
// thread and hands them out again; operator new takes from it once it is enabled.
#include "host/ifc/helper/ModelHeap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>
#include <thread>
#include <utility>
#include <vector>

TEST(ModelHeap, GivesBlocksThatNeverOverlapAndTakesThemBackOnAnyThread) {
    if (!ModelHeap::Enable()) GTEST_SKIP() << "the address sanitizer keeps its own heap";
    EXPECT_EQ(ModelHeap::Allocate(ModelHeap::kLargest + 1), nullptr);

    std::vector<std::pair<char*, size_t>> blocks;
    for (size_t n = 0; n <= ModelHeap::kLargest; ++n) {
        auto* p = static_cast<char*>(ModelHeap::Allocate(n));
        ASSERT_NE(p, nullptr) << n;
        EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % 16, 0u) << n;
        EXPECT_TRUE(ModelHeap::Owns(p));
        std::memset(p, 0x5a, n);
        blocks.push_back({p, std::max<size_t>(n, 1)});
    }
    std::sort(blocks.begin(), blocks.end());
    for (size_t i = 1; i < blocks.size(); ++i) EXPECT_LE(blocks[i - 1].first + blocks[i - 1].second, blocks[i].first);

    // Given back on this thread, a block of its size is the next one handed out.
    void* again = blocks[40].first;
    const size_t size = blocks[40].second;
    ModelHeap::Release(again);
    EXPECT_EQ(ModelHeap::Allocate(size), again);

    // Two threads at once; every block given back by a third is used again by it.
    constexpr int kEach = 50'000;
    std::vector<void*> first(kEach), second(kEach);
    std::thread a([&] {
        for (auto& p : first) p = ModelHeap::Allocate(48);
    });
    std::thread b([&] {
        for (auto& p : second) p = ModelHeap::Allocate(40);
    });
    a.join();
    b.join();
    std::set<void*> all(first.begin(), first.end());
    all.insert(second.begin(), second.end());
    EXPECT_EQ(all.size(), 2u * kEach);
    EXPECT_EQ(all.count(nullptr), 0u);
    std::vector<void*> returned(kEach); // made beforehand: a set's nodes would take blocks of this size
    std::thread c([&] {
        for (void* p : first) ModelHeap::Release(p);
        for (auto& p : returned) p = ModelHeap::Allocate(33);
    });
    c.join();
    EXPECT_EQ(std::set<void*>(returned.begin(), returned.end()), std::set<void*>(first.begin(), first.end()));

    // Renewed, the thread no longer hands out what it was given back.
    void* given = ModelHeap::Allocate(200);
    ModelHeap::Release(given);
    ModelHeap::Renew();
    void* renewed = ModelHeap::Allocate(200);
    EXPECT_NE(renewed, given);

    // Scratch blocks are never handed out again, and dropped whole: their pages read as new.
    std::vector<char*> scratch;
    {
        ModelHeap::Scratch pages;
        for (int i = 0; i < 5000; ++i) {
            scratch.push_back(static_cast<char*>(ModelHeap::Allocate(64)));
            std::memset(scratch.back(), 0x77, 64);
        }
        ModelHeap::Release(scratch[10]);
        EXPECT_NE(ModelHeap::Allocate(64), scratch[10]);
    }
    EXPECT_EQ(std::set<char*>(scratch.begin(), scratch.end()).size(), scratch.size());
    void* afterScratch = ModelHeap::Allocate(64);
    EXPECT_EQ(std::count(scratch.begin(), scratch.end(), afterScratch), 0);
    ModelHeap::DropScratch();
    EXPECT_EQ(scratch.front()[0], 0);
    EXPECT_EQ(scratch.back()[63], 0);

    // operator new takes small blocks from the heap and leaves large ones to the process's.
    auto small = std::make_unique<int>(5);
    auto large = std::make_unique<char[]>(ModelHeap::kLargest + 1);
    EXPECT_TRUE(ModelHeap::Owns(small.get()));
    EXPECT_FALSE(ModelHeap::Owns(large.get()));
    void* fromMalloc = std::malloc(16);
    EXPECT_FALSE(ModelHeap::Owns(fromMalloc));
    std::free(fromMalloc);
}
