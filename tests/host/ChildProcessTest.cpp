// The child the IFC library runs in: what it wrote before dying comes back, its death is told
// apart from a clean end, a child that stops answering is ended, and its prints go nowhere.
#include "host/ifc/ChildProcess.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <unistd.h>

TEST(ChildProcess, BringsBackWhatTheChildWroteAndHowItEnded) {
    testing::internal::CaptureStdout();
    ChildOutput clean = RunInChildProcess(
        [](int fd) {
            std::printf("printed by the child\n");
            std::fflush(stdout);
            ASSERT_EQ(write(fd, "done", 4), 4);
        },
        10);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(clean.bytes, "done");
    EXPECT_TRUE(clean.exitedCleanly);
    EXPECT_FALSE(clean.stalled);

    ChildOutput crashed = RunInChildProcess(
        [](int fd) {
            ASSERT_EQ(write(fd, "half", 4), 4);
            std::signal(SIGSEGV, SIG_DFL);
            std::raise(SIGSEGV);
        },
        10);
    EXPECT_EQ(crashed.bytes, "half");
    EXPECT_FALSE(crashed.exitedCleanly);

    ChildOutput threw = RunInChildProcess([](int) { throw 7; }, 10);
    EXPECT_FALSE(threw.exitedCleanly);
}

TEST(ChildProcess, EndsAChildThatStopsAnswering) {
    ChildOutput hung = RunInChildProcess(
        [](int fd) {
            ASSERT_EQ(write(fd, "a", 1), 1);
            for (;;) pause();
        },
        1);
    EXPECT_EQ(hung.bytes, "a");
    EXPECT_TRUE(hung.stalled);
    EXPECT_FALSE(hung.exitedCleanly);
}
