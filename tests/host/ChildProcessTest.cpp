// The child the IFC library runs in: what it wrote before dying comes back, its death is told
// apart from a clean end, a child that stops answering is ended, and its prints go nowhere.
#include "host/ifc/ChildProcess.h"

#include <gtest/gtest.h>

#include <csignal>
#include <stdexcept>
#include <string>
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

TEST(ChildProcess, HandsOverTheBytesWhileTheChildWorks) {
    // The child's second write waits for the reader to have taken the first.
    int back[2];
    ASSERT_EQ(pipe(back), 0);
    std::string taken;
    ChildOutput out = RunInChildProcess(
        [&](int fd) {
            ASSERT_EQ(write(fd, "first;", 6), 6);
            char go;
            ASSERT_EQ(read(back[0], &go, 1), 1);
            ASSERT_EQ(write(fd, "second;par", 10), 10);
        },
        10,
        [&](std::string& bytes) {
            // Whole pieces up to a ';', as a record reader takes them.
            const size_t end = bytes.rfind(';');
            if (end == std::string::npos) return;
            if (taken.empty()) {
                ASSERT_EQ(write(back[1], "g", 1), 1);
            }
            taken += bytes.substr(0, end + 1);
            bytes.erase(0, end + 1);
        });
    close(back[0]);
    close(back[1]);
    EXPECT_EQ(taken, "first;second;");
    EXPECT_EQ(out.bytes, "par");
    EXPECT_TRUE(out.exitedCleanly);

    // A reader that fails ends the child and passes its failure on.
    EXPECT_THROW(RunInChildProcess(
                     [](int fd) {
                         ASSERT_EQ(write(fd, "x", 1), 1);
                         for (;;) pause();
                     },
                     10, [](std::string&) { throw std::runtime_error("unreadable"); }),
                 std::runtime_error);
}
