// The preference store: records round-trip through the file, and a write that fails leaves both
// the file and the store as they were.
#include "HostTestFiles.h"

#include "host/prefs/PreferenceStore.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

std::vector<uint8_t> Bytes(std::initializer_list<int> values) {
    std::vector<uint8_t> out;
    for (int v : values) out.push_back(static_cast<uint8_t>(v));
    return out;
}

} // namespace

TEST(PreferenceStore, RecordsComeBackFromTheFile) {
    TempFolder folder;
    std::string path = folder.Path("sub/folder/preferences"), error;
    {
        PreferenceStore store(path);
        ASSERT_TRUE(store.Load(error)) << error; // no file yet: empty
        EXPECT_FALSE(store.Read("Bauvista"));
        ASSERT_TRUE(store.Write("Bauvista", 2, Bytes({'R', 'P', 'D', '4', 0, 0xff, 0x80}), error)) << error;
        ASSERT_TRUE(store.Write("Masik", -1, {}, error)) << error;
        ASSERT_TRUE(store.Write("Bauvista", 3, Bytes({1, 2}), error)) << error;
    }
    PreferenceStore again(path);
    ASSERT_TRUE(again.Load(error)) << error;
    auto record = again.Read("Bauvista");
    ASSERT_TRUE(record);
    EXPECT_EQ(record->version, 3);
    EXPECT_EQ(record->bytes, Bytes({1, 2}));
    ASSERT_TRUE(again.Read("Masik"));
    EXPECT_EQ(again.Read("Masik")->version, -1);
    EXPECT_TRUE(again.Read("Masik")->bytes.empty());
    EXPECT_EQ(folder.EntryCount(), 1u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Root() / "sub/folder"),
                            std::filesystem::directory_iterator()), 1)
        << "the temporary file stayed behind";
}

TEST(PreferenceStore, AFailedWriteKeepsTheFileAndTheRecord) {
    TempFolder folder;
    std::string path = folder.Path("preferences"), error;
    PreferenceStore store(path);
    ASSERT_TRUE(store.Write("Bauvista", 2, Bytes({1, 2, 3}), error)) << error;
    std::string before = ReadWholeFile(path);

    std::string blocker = BlockAtomicWrite(path);
    EXPECT_FALSE(store.Write("Bauvista", 2, Bytes({9, 9, 9}), error));
    EXPECT_NE(error.find(path), std::string::npos) << error;
    EXPECT_FALSE(store.Reset(error));
    EXPECT_EQ(ReadWholeFile(path), before);
    ASSERT_TRUE(store.Read("Bauvista"));
    EXPECT_EQ(store.Read("Bauvista")->bytes, Bytes({1, 2, 3}));

    std::filesystem::remove_all(blocker);
    EXPECT_TRUE(store.Write("Bauvista", 2, Bytes({9}), error)) << error;
    PreferenceStore reread(path);
    ASSERT_TRUE(reread.Load(error)) << error;
    EXPECT_EQ(reread.Read("Bauvista")->bytes, Bytes({9}));
}

TEST(PreferenceStore, AnUnwritableFolderLeavesTheOldFile) {
    if (geteuid() == 0) GTEST_SKIP() << "folder permissions do not bind the superuser";
    TempFolder folder;
    std::string path = folder.Path("preferences"), error;
    PreferenceStore store(path);
    ASSERT_TRUE(store.Write("Bauvista", 2, Bytes({1}), error)) << error;
    std::string before = ReadWholeFile(path);
    ASSERT_EQ(chmod(folder.Root().c_str(), 0500), 0);
    EXPECT_FALSE(store.Write("Bauvista", 2, Bytes({2}), error));
    chmod(folder.Root().c_str(), 0700);
    EXPECT_EQ(ReadWholeFile(path), before);
}

TEST(PreferenceStore, ResetForgetsEveryRecordOnDisk) {
    TempFolder folder;
    std::string path = folder.Path("preferences"), error;
    PreferenceStore store(path);
    ASSERT_TRUE(store.Write("Bauvista", 2, Bytes({1}), error)) << error;
    ASSERT_TRUE(store.Reset(error)) << error;
    EXPECT_FALSE(store.Read("Bauvista"));
    PreferenceStore reread(path);
    ASSERT_TRUE(reread.Load(error)) << error;
    EXPECT_FALSE(reread.Read("Bauvista"));
}

TEST(PreferenceStore, ADamagedFileIsNamedAndGivesAnEmptyStore) {
    TempFolder folder;
    std::string path = folder.Path("preferences");
    for (const char* text : {"not json", "{}", R"({"addons": {"Bauvista": {"version": 2, "size": 3, "hex": "0102"}}})",
                             R"({"addons": {"Bauvista": {"version": 2, "size": 1, "hex": "0g"}}})",
                             R"({"addons": {"Bauvista": {"version": "2", "size": 1, "hex": "01"}}})",
                             R"({"addons": {"Bauvista": {"version": 2, "size": -1, "hex": ""}}})"}) {
        WriteWholeFile(path, text);
        PreferenceStore store(path);
        std::string error;
        EXPECT_FALSE(store.Load(error)) << text;
        EXPECT_EQ(error.rfind(path, 0), 0u) << error;
        EXPECT_FALSE(store.Read("Bauvista")) << text;
    }
}

TEST(PreferenceStore, WithoutAPathItStaysInMemory) {
    PreferenceStore store;
    std::string error;
    ASSERT_TRUE(store.Load(error));
    ASSERT_TRUE(store.Write("Bauvista", 1, Bytes({5}), error));
    EXPECT_EQ(store.Read("Bauvista")->bytes, Bytes({5}));
}
