// What a host project remembers of its schedule file: the stored bytes, the path relative to the
// project's folder, and where the file is looked for when the project opens again.
#include "schedule/commands/RememberedSchedule.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

TEST(RememberedSchedule, ThePathIsRelativeOnlyWithinTheProjectsFolder) {
    auto beside = RememberedSchedule::Of("/munka/haz/terv.csp", 0, "/munka/haz/haz.qvp");
    ASSERT_TRUE(beside);
    EXPECT_EQ(beside->relative, "terv.csp");
    EXPECT_EQ(beside->absolute, "/munka/haz/terv.csp");
    auto below = RememberedSchedule::Of("/munka/haz/ütemterv/../ütemterv/terv.txt", 1, "/munka/haz/haz.qvp");
    ASSERT_TRUE(below);
    EXPECT_EQ(below->relative, "ütemterv/terv.txt");
    EXPECT_EQ(below->absolute, "/munka/haz/ütemterv/terv.txt");
    EXPECT_EQ(below->kind, 1);
    // Outside the folder, and with no project file, only the absolute path is kept.
    EXPECT_EQ(RememberedSchedule::Of("/munka/terv.csp", 0, "/munka/haz/haz.qvp")->relative, "");
    EXPECT_EQ(RememberedSchedule::Of("/munka/haz/terv.csp", 0, "")->relative, "");
    // Paths relative to the working folder are made absolute.
    auto here = RememberedSchedule::Of("terv.csp", 2, "haz.qvp");
    ASSERT_TRUE(here);
    EXPECT_EQ(here->absolute, (fs::current_path() / "terv.csp").string());
    EXPECT_EQ(here->relative, "terv.csp");

    EXPECT_FALSE(RememberedSchedule::Of("", 0, "/munka/haz.qvp"));
    EXPECT_FALSE(RememberedSchedule::Of("/munka/terv.csp", 5, "/munka/haz.qvp"));
    EXPECT_FALSE(RememberedSchedule::Of("/" + std::string(1100, 'x'), 0, ""));
}

TEST(RememberedSchedule, TheBlockIsKindThenTwoCountedPaths) {
    RememberedSchedule r{1, "t.txt", "/a/t.txt"};
    std::vector<uint8_t> expected = {1, 0, 5, 0, 't', '.', 't', 'x', 't', 8, 0, '/', 'a', '/', 't', '.', 't', 'x', 't'};
    EXPECT_EQ(r.Bytes(), expected);
    EXPECT_EQ(RememberedSchedule::FromBytes(expected), r);
    RememberedSchedule noRelative{0, "", "/a/t.csp"};
    EXPECT_EQ(RememberedSchedule::FromBytes(noRelative.Bytes()), noRelative);

    auto without = [&expected](size_t drop) { return std::vector<uint8_t>(expected.begin(), expected.end() - static_cast<std::ptrdiff_t>(drop)); };
    EXPECT_FALSE(RememberedSchedule::FromBytes({}));
    EXPECT_FALSE(RememberedSchedule::FromBytes(without(1)));
    EXPECT_FALSE(RememberedSchedule::FromBytes(without(9)));
    std::vector<uint8_t> longer = expected;
    longer.push_back(0);
    EXPECT_FALSE(RememberedSchedule::FromBytes(longer));
    std::vector<uint8_t> badKind = expected;
    badKind[0] = 5;
    EXPECT_FALSE(RememberedSchedule::FromBytes(badKind));
    std::vector<uint8_t> zero = expected;
    zero[12] = 0;
    EXPECT_FALSE(RememberedSchedule::FromBytes(zero));
    EXPECT_FALSE(RememberedSchedule::FromBytes(std::vector<uint8_t>{0, 0, 0, 0, 0, 0})) << "no absolute path";
    std::vector<uint8_t> huge = {0, 0, 0xff, 0xff};
    huge.resize(4 + 0xffff + 2, 'x');
    EXPECT_FALSE(RememberedSchedule::FromBytes(huge));
}

TEST(RememberedSchedule, TheRelativePathIsTriedFirstAndTheNameBesideTheProjectOnlyWithoutOne) {
    RememberedSchedule r{0, "ütemterv/terv.csp", "/régi/haz/ütemterv/terv.csp"};
    EXPECT_EQ(r.Candidates("/új/haz/haz.qvp"),
              (std::vector<std::string>{"/új/haz/ütemterv/terv.csp", "/régi/haz/ütemterv/terv.csp"}));
    EXPECT_EQ(r.Candidates("/régi/haz/haz.qvp"), std::vector<std::string>{"/régi/haz/ütemterv/terv.csp"});
    EXPECT_EQ(r.Candidates(""), std::vector<std::string>{"/régi/haz/ütemterv/terv.csp"});
    // Remembered while the project had no file: the name beside the project file stands in.
    RememberedSchedule untitled{0, "", "/régi/haz/terv.csp"};
    EXPECT_EQ(untitled.Candidates("/új/haz/haz.qvp"), (std::vector<std::string>{"/régi/haz/terv.csp", "/új/haz/terv.csp"}));
}

TEST(RememberedSchedule, OnlyAPlainFileIsFound) {
    fs::path root = fs::temp_directory_path() / ("bv_remembered_" + std::to_string(::getpid()));
    fs::remove_all(root);
    fs::create_directories(root / "haz" / "terv.csp");
    RememberedSchedule r{0, "terv.csp", (root / "régi" / "terv.csp").string()};
    EXPECT_FALSE(r.Find((root / "haz" / "haz.qvp").string())) << "a folder of that name";
    fs::remove(root / "haz" / "terv.csp");
    std::ofstream((root / "haz" / "terv.csp").string()) << "BVBF";
    EXPECT_EQ(r.Find((root / "haz" / "haz.qvp").string()), (root / "haz" / "terv.csp").string());
    fs::remove_all(root);
}

} // namespace
