// The conversion heap gives the same addresses to the same allocations in every scope, whatever
// came before, and never lets a scope's memory be handed out again while something of it lives.
#include "host/ifc/helper/ConversionHeap.h"

#include <gtest/gtest.h>

#include <list>
#include <memory>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

// What a conversion does: nodes, growing arrays, texts; the addresses it got, in a vector made
// outside the heap.
std::vector<const void*> Work(int size) {
    std::vector<const void*> seen;
    {
        ConversionHeap::Pause pause;
        seen.reserve(static_cast<size_t>(2 * size + 1));
    }
    std::list<std::string> texts;
    std::vector<double> values;
    for (int i = 0; i < size; ++i) {
        texts.push_back(std::string(static_cast<size_t>(20 + i % 50), 'x'));
        values.push_back(i);
        seen.push_back(&texts.back());
        seen.push_back(values.data());
    }
    auto big = std::make_unique<char[]>(3u << 20);
    seen.push_back(big.get());
    return seen;
}

} // namespace

TEST(ConversionHeap, TheSameWorkGetsTheSameAddressesInEveryScope) {
    std::vector<const void*> first, second, third;
    {
        ConversionHeap::Scope heap;
        ASSERT_TRUE(heap.Fixed());
        first = Work(500);
    }
    // Whatever the process's heap did in between.
    std::vector<std::unique_ptr<char[]>> between;
    for (int i = 0; i < 100; ++i) between.push_back(std::make_unique<char[]>(static_cast<size_t>(i * 37 + 1)));
    {
        ConversionHeap::Scope heap;
        ASSERT_TRUE(heap.Fixed());
        Work(50); // freed again within the scope: its blocks are handed out again, the same way each time
        second = Work(500);
    }
    {
        ConversionHeap::Scope heap;
        Work(50);
        third = Work(500);
    }
    EXPECT_EQ(second, third);
    EXPECT_NE(first, second);
    // Its memory given back between two scopes, the same work still gets the same addresses.
    ConversionHeap::GiveBack();
    {
        ConversionHeap::Scope heap;
        Work(50);
        EXPECT_EQ(Work(500), third);
    }
    EXPECT_EQ(ConversionHeap::Leaks(), 0u);
}

TEST(ConversionHeap, WhatIsKeptUnderAPauseLivesOnTheProcessHeap) {
    std::string kept;
    {
        ConversionHeap::Scope heap;
        std::string made(100, 'a');
        ConversionHeap::Pause pause;
        kept = made;
    }
    {
        ConversionHeap::Scope heap; // would write over `kept` if it lay in the heap
        std::vector<char> filler(1000, 'b');
    }
    EXPECT_EQ(kept, std::string(100, 'a'));
    EXPECT_EQ(ConversionHeap::Leaks(), 0u);
}

TEST(ConversionHeap, AScopeThatLeavesSomethingAliveGivesTheHeapUp) {
    // In a process of its own: giving up is for the rest of the process.
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        std::vector<std::string> outside;
        outside.reserve(1);
        {
            ConversionHeap::Scope heap;
            outside.push_back(std::string(200, 'c')); // its text in the heap, outliving the scope
        }
        bool fixed;
        {
            ConversionHeap::Scope heap;
            fixed = heap.Fixed();
            std::string other(200, 'd');
        }
        const bool intact = outside[0] == std::string(200, 'c');
        _exit(ConversionHeap::Leaks() == 1 && !fixed && intact ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}
