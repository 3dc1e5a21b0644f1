// The helper the IFC library runs in, a program of its own (here the shell stands in for it):
// what it wrote before dying comes back, its death is told apart from a clean end, one that
// stops answering is ended, its prints go nowhere, and a cancel ends it and whatever it started.
#include "IfcReadRecorder.h"

#include "host/ifc/reader/HelperProcess.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <stdexcept>
#include <string>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

HelperLaunch Shell(const std::string& script) { return {{"/bin/sh", "-c", script}, {}}; }

} // namespace

TEST(HelperProcess, BringsBackWhatTheHelperWroteAndHowItEnded) {
    testing::internal::CaptureStdout();
    ChildOutput clean = RunHelper(Shell("echo printed by the helper; printf done >&3"), 10s);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(clean.bytes, "done");
    EXPECT_TRUE(clean.exitedCleanly);
    EXPECT_FALSE(clean.stalled);

    ChildOutput crashed = RunHelper(Shell("printf half >&3; kill -SEGV $$"), 10s);
    EXPECT_EQ(crashed.bytes, "half");
    EXPECT_FALSE(crashed.exitedCleanly);

    ChildOutput failed = RunHelper(Shell("exit 2"), 10s);
    EXPECT_FALSE(failed.exitedCleanly);
}

TEST(HelperProcess, EndsAHelperThatStopsAnswering) {
    const auto start = std::chrono::steady_clock::now();
    ChildOutput hung = RunHelper(Shell("printf a >&3; exec sleep 30"), 300ms);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    EXPECT_EQ(hung.bytes, "a");
    EXPECT_TRUE(hung.stalled);
    EXPECT_FALSE(hung.exitedCleanly);
}

TEST(HelperProcess, EndsAHelperThatClosesItsOutputAndStaysOn) {
    const auto start = std::chrono::steady_clock::now();
    ChildOutput hung = RunHelper(Shell("printf a >&3; exec 3>&-; exec sleep 30"), 300ms);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    EXPECT_EQ(hung.bytes, "a");
    EXPECT_TRUE(hung.stalled);
    EXPECT_FALSE(hung.exitedCleanly);
}

TEST(HelperProcess, HandsOverTheBytesWhileTheHelperWorks) {
    // The helper's second write waits for the reader to have taken the first.
    int back[2];
    ASSERT_EQ(pipe(back), 0);
    HelperLaunch launch = Shell("printf 'first;' >&3; read go <&4; printf 'second;par' >&3");
    launch.inputs = {back[0]};
    std::string taken;
    ChildOutput out = RunHelper(launch, 10s, [&](std::string& bytes) {
        // Whole pieces up to a ';', as a record reader takes them.
        const size_t end = bytes.rfind(';');
        if (end == std::string::npos) return;
        if (taken.empty()) {
            ASSERT_EQ(write(back[1], "g\n", 2), 2);
        }
        taken += bytes.substr(0, end + 1);
        bytes.erase(0, end + 1);
    });
    close(back[0]);
    close(back[1]);
    EXPECT_EQ(taken, "first;second;");
    EXPECT_EQ(out.bytes, "par");
    EXPECT_TRUE(out.exitedCleanly);
}

TEST(HelperProcess, PollsWhileNothingComesAndEndsTheWholeGroupOnAThrow) {
    int polls = 0;
    int pid = 0;
    const auto start = std::chrono::steady_clock::now();
    // The helper starts a second process of its own and says its number, then both wait.
    EXPECT_THROW(RunHelper(
                     Shell("sleep 30 & printf \"$!;\" >&3; wait"), 60s,
                     [&](std::string& bytes) {
                         if (bytes.find(';') != std::string::npos) pid = std::stoi(bytes);
                     },
                     [&] {
                         if (++polls == 5) throw std::runtime_error("cancelled");
                     }),
                 std::runtime_error);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
    ASSERT_GT(pid, 0);
    // The second is ended too.
    EXPECT_TRUE(ifctest::AllEnded({pid}));
}

TEST(HelperProcess, AProgramThatIsNotThereIsAFileError) {
    EXPECT_THROW(RunHelper({{"/nonexistent/quorvel-ifc"}, {}}, 1s), std::runtime_error);
}
