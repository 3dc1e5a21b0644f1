#include "filekit/FKError.h"
#include "filekit/FKFaults.h"
#include "filekit/FKFile.h"
#include "filekit/FKFileTypes.h"
#include "filekit/FKReplacementFile.h"
#include "filekit/FKSpecialFolders.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class FileKitTest : public ::testing::Test {
protected:
    void SetUp() override {
        FKClearFaults();
        dir = fs::temp_directory_path() / ("bv_filekit_" + std::to_string(::getpid()) + "_" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override {
        FKClearFaults();
        fs::remove_all(dir);
    }
    FKLocation At(const std::string& name) const { return FKLocation::FromNativePath((dir / name).string()); }
    static std::string Contents(const FKLocation& loc) {
        std::ifstream in(loc.NativePath(), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    static void Put(const FKLocation& loc, const std::string& bytes) {
        std::ofstream(loc.NativePath(), std::ios::binary) << bytes;
    }
    size_t EntriesInFolder() const { return static_cast<size_t>(std::distance(fs::directory_iterator(dir), {})); }
    fs::path dir;
};

TEST_F(FileKitTest, ReadsWhatWasWrittenAndReportsTheEnd) {
    FKFile out(At("a.bin"));
    ASSERT_EQ(out.OpenForWriting(), kFKNoErr);
    ASSERT_EQ(out.Write("hello world", 11), kFKNoErr);
    ASSERT_EQ(out.Close(), kFKNoErr);

    FKFile in(At("a.bin"));
    ASSERT_EQ(in.OpenForReading(), kFKNoErr);
    uint64_t size = 0;
    EXPECT_EQ(in.GetSize(size), kFKNoErr);
    EXPECT_EQ(size, 11u);
    char buf[8];
    size_t got = 0;
    EXPECT_EQ(in.Read(buf, 5, got), kFKNoErr);
    EXPECT_EQ(std::string(buf, got), "hello");
    EXPECT_EQ(in.Read(buf, 8, got), kFKEndOfFileErr);
    EXPECT_EQ(std::string(buf, got), " world");
    EXPECT_EQ(in.SetPosition(6), kFKNoErr);
    EXPECT_EQ(in.Read(buf, 5, got), kFKNoErr);
    EXPECT_EQ(std::string(buf, got), "world");
    // Writing to a file open for reading is refused, not attempted.
    EXPECT_EQ(in.Write("x", 1), kFKNotOpenErr);
    EXPECT_EQ(in.Close(), kFKNoErr);
    EXPECT_EQ(in.Close(), kFKNotOpenErr);
}

TEST_F(FileKitTest, OpenFailuresHaveTheirCodes) {
    FKFile missing(At("missing"));
    EXPECT_EQ(missing.OpenForReading(), kFKNotFoundErr);
    FKFile invalid{FKLocation()};
    EXPECT_EQ(invalid.OpenForReading(), kFKBadNameErr);
    EXPECT_EQ(invalid.OpenForWriting(), kFKBadNameErr);
    FKFile folder(FKLocation::FromNativePath(dir.string()));
    EXPECT_EQ(folder.OpenForReading(), kFKBadNameErr);
    FKFile inMissingFolder(At("no/such/file"));
    EXPECT_EQ(inMissingFolder.OpenForWriting(), kFKNotFoundErr);
}

TEST_F(FileKitTest, WritingToAFullDeviceReportsAFullDisk) {
    FKFile full(FKLocation::FromNativePath("/dev/full"));
    ASSERT_EQ(full.OpenForWriting(), kFKNoErr);
    EXPECT_EQ(full.Write("x", 1), kFKDiskFullErr);
    EXPECT_EQ(full.Close(), kFKNoErr);
}

TEST_F(FileKitTest, InjectedFaultsHitTheChosenCall) {
    Put(At("a"), "abcdef");
    FKInjectFault(FKOperation::Read, kFKIOErr, 1);
    FKFile in(At("a"));
    ASSERT_EQ(in.OpenForReading(), kFKNoErr);
    char buf[2];
    size_t got = 0;
    EXPECT_EQ(in.Read(buf, 2, got), kFKNoErr);
    EXPECT_EQ(in.Read(buf, 2, got), kFKIOErr);
    EXPECT_EQ(got, 0u);
    EXPECT_EQ(in.Read(buf, 2, got), kFKNoErr);
    EXPECT_EQ(FKPendingFaults(), 0);

    FKInjectFault(FKOperation::Open, kFKPermissionErr);
    FKFile again(At("a"));
    EXPECT_EQ(again.OpenForReading(), kFKPermissionErr);
    EXPECT_FALSE(again.IsOpen());

    FKInjectFault(FKOperation::Close, kFKIOErr);
    EXPECT_EQ(in.Close(), kFKIOErr);
    EXPECT_FALSE(in.IsOpen()); // the descriptor is gone all the same

    FKInjectFault(FKOperation::Rename, kFKIOErr);
    EXPECT_EQ(FKRenameFile(At("a"), At("b")), kFKIOErr);
    EXPECT_TRUE(fs::exists(At("a").NativePath()));
}

TEST_F(FileKitTest, ReplacementTakesPlaceOnlyOnCommit) {
    FKLocation target = At("plan.csp");
    Put(target, "old content");
    ::chmod(target.NativePath().c_str(), 0640);
    {
        FKReplacementFile file(target);
        ASSERT_EQ(file.Open(), kFKNoErr);
        EXPECT_NE(file.WorkingLocation(), target);
        EXPECT_EQ(file.WorkingLocation().Parent(), target.Parent());
        ASSERT_EQ(file.Write("new", 3), kFKNoErr);
        EXPECT_EQ(Contents(target), "old content");
        ASSERT_EQ(file.Commit(), kFKNoErr);
    }
    EXPECT_EQ(Contents(target), "new");
    EXPECT_EQ(EntriesInFolder(), 1u);
    struct stat st {};
    ASSERT_EQ(::stat(target.NativePath().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST_F(FileKitTest, AFailedReplacementKeepsTheOldFileAndLeavesNoTemporary) {
    FKLocation target = At("plan.csp");
    const std::string old = "old content\r\n\x01\x02";
    for (FKOperation op : {FKOperation::Write, FKOperation::Close, FKOperation::Rename}) {
        Put(target, old);
        FKInjectFault(op, op == FKOperation::Write ? kFKDiskFullErr : kFKIOErr);
        {
            FKReplacementFile file(target);
            ASSERT_EQ(file.Open(), kFKNoErr);
            int32_t err = file.Write("replacement", 11);
            if (err == kFKNoErr) err = file.Commit();
            EXPECT_NE(err, kFKNoErr);
        }
        EXPECT_EQ(Contents(target), old) << static_cast<int>(op);
        EXPECT_EQ(EntriesInFolder(), 1u) << static_cast<int>(op);
    }
    // Abandoned without a commit: same.
    {
        FKReplacementFile file(target);
        ASSERT_EQ(file.Open(), kFKNoErr);
        ASSERT_EQ(file.Write("x", 1), kFKNoErr);
    }
    EXPECT_EQ(Contents(target), old);
    EXPECT_EQ(EntriesInFolder(), 1u);
}

TEST_F(FileKitTest, ReplacementFollowsALinkAndWritesDevicesDirectly) {
    FKLocation real = At("real.txt");
    Put(real, "before");
    fs::create_symlink(real.NativePath(), At("link.txt").NativePath());
    {
        FKReplacementFile file(At("link.txt"));
        ASSERT_EQ(file.Open(), kFKNoErr);
        ASSERT_EQ(file.Write("after", 5), kFKNoErr);
        ASSERT_EQ(file.Commit(), kFKNoErr);
    }
    EXPECT_TRUE(fs::is_symlink(At("link.txt").NativePath()));
    EXPECT_EQ(Contents(real), "after");

    FKReplacementFile full(FKLocation::FromNativePath("/dev/full"));
    ASSERT_EQ(full.Open(), kFKNoErr);
    EXPECT_EQ(full.WorkingLocation().NativePath(), "/dev/full");
    EXPECT_EQ(full.Write("x", 1), kFKDiskFullErr);
    EXPECT_TRUE(fs::is_character_file("/dev/full"));

    FKReplacementFile folder(FKLocation::FromNativePath(dir.string()));
    EXPECT_EQ(folder.Open(), kFKBadNameErr);
}

TEST_F(FileKitTest, TheTemporaryCannotBeForeseenNorTakenOver) {
    FKLocation target = At("plan.csp");
    FKLocation victim = At("victim");
    Put(target, "old");
    Put(victim, "victim's");
    // Links laid where a writer numbering its temporaries would put them.
    for (int n = 0; n < 4; ++n)
        fs::create_symlink(victim.NativePath(),
                           (dir / (".plan.csp." + std::to_string(::getpid()) + "-" + std::to_string(n) + ".tmp")).string());
    std::string first;
    for (int round = 0; round < 2; ++round) {
        FKReplacementFile file(target);
        ASSERT_EQ(file.Open(), kFKNoErr);
        std::string name = file.WorkingLocation().LastPart();
        EXPECT_NE(name, first);
        first = name;
        EXPECT_FALSE(fs::is_symlink(file.WorkingLocation().NativePath()));
        ASSERT_EQ(file.Write("new", 3), kFKNoErr);
        ASSERT_EQ(file.Commit(), kFKNoErr);
    }
    EXPECT_EQ(Contents(target), "new");
    EXPECT_EQ(Contents(victim), "victim's");
}

TEST_F(FileKitTest, ACommitSweepsTemporariesOfDeadWritersOnly) {
    pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ASSERT_GT(child, 0);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    FKLocation target = At("plan.csp");
    std::string dead = ".plan.csp." + std::to_string(child) + "-0123456789abcdef.tmp";
    std::string live = ".plan.csp." + std::to_string(::getpid()) + "-0123456789abcdef.tmp";
    std::string other = ".other.csp." + std::to_string(child) + "-0123456789abcdef.tmp";
    for (const auto& name : {dead, live, other}) Put(At(name), "partial");
    FKReplacementFile file(target);
    ASSERT_EQ(file.Open(), kFKNoErr);
    ASSERT_EQ(file.Write("new", 3), kFKNoErr);
    EXPECT_TRUE(fs::exists(At(dead).NativePath())) << "swept before the new content is in place";
    ASSERT_EQ(file.Commit(), kFKNoErr);
    EXPECT_FALSE(fs::exists(At(dead).NativePath()));
    EXPECT_TRUE(fs::exists(At(live).NativePath()));
    EXPECT_TRUE(fs::exists(At(other).NativePath()));
}

TEST_F(FileKitTest, ATemporaryItsWriterStillHoldsIsNeverSwept) {
    // The writer of another process-id namespace sharing the folder: its process id means nothing
    // here (no such process), but it holds the temporary's lock while it writes.
    pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ASSERT_GT(child, 0);
    ASSERT_EQ(::waitpid(child, nullptr, 0), child);
    std::string held = ".plan.csp." + std::to_string(child) + "-00112233445566aa.tmp";
    std::string dead = ".plan.csp." + std::to_string(child) + "-00112233445566bb.tmp";
    Put(At(held), "partial");
    Put(At(dead), "partial");
    int fd = ::open(At(held).NativePath().c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
    {
        FKReplacementFile file(At("plan.csp"));
        ASSERT_EQ(file.Open(), kFKNoErr);
        ASSERT_EQ(file.Write("new", 3), kFKNoErr);
        ASSERT_EQ(file.Commit(), kFKNoErr);
    }
    EXPECT_TRUE(fs::exists(At(held).NativePath()));
    EXPECT_FALSE(fs::exists(At(dead).NativePath()));
    ::close(fd);
    // Once its writer let go (and its process is gone), the next save takes it away.
    {
        FKReplacementFile file(At("plan.csp"));
        ASSERT_EQ(file.Open(), kFKNoErr);
        // This writer's own temporary is locked against a sweep of a concurrent save.
        int probe = ::open(file.WorkingLocation().NativePath().c_str(), O_RDONLY | O_CLOEXEC);
        ASSERT_GE(probe, 0);
        EXPECT_NE(::flock(probe, LOCK_EX | LOCK_NB), 0);
        ::close(probe);
        ASSERT_EQ(file.Commit(), kFKNoErr);
    }
    EXPECT_FALSE(fs::exists(At(held).NativePath()));
}

TEST_F(FileKitTest, WholeFileReadsRefuseWhatIsNoPlainFileOrTooLong) {
    std::string text;
    Put(At("small"), "12345");
    EXPECT_EQ(FKReadWholeFile(At("small"), 5, text), kFKNoErr);
    EXPECT_EQ(text, "12345");
    EXPECT_EQ(FKReadWholeFile(At("small"), 4, text), kFKTooLargeErr);
    Put(At("empty"), "");
    EXPECT_EQ(FKReadWholeFile(At("empty"), 4, text), kFKNoErr);
    EXPECT_TRUE(text.empty());
    EXPECT_EQ(FKReadWholeFile(At("missing"), 4, text), kFKNotFoundErr);
    EXPECT_EQ(FKReadWholeFile(FKLocation::FromNativePath(dir.string()), 4, text), kFKNotAFileErr);
    EXPECT_EQ(FKReadWholeFile(FKLocation::FromNativePath("/dev/zero"), 4, text), kFKNotAFileErr);
    ASSERT_EQ(::mkfifo(At("pipe").NativePath().c_str(), 0600), 0);
    EXPECT_EQ(FKReadWholeFile(At("pipe"), 4, text), kFKNotAFileErr); // returns, with no writer
    EXPECT_STREQ(FKErrorText(kFKDiskFullErr), "disk full");
    EXPECT_STREQ(FKErrorText(kFKPermissionErr), "permission denied");
}

TEST(FileTypeRegistry, GroupsMakeFiltersInOrder) {
    FKFileTypeRegistry r("BVFTM");
    EXPECT_EQ(r.AddGroup(FKFileTypeRegistry::kRootGroup, 1, "Projects"), kFKNoErr);
    EXPECT_EQ(r.AddGroup(FKFileTypeRegistry::kRootGroup, 1, "Again"), kFKParamErr);
    EXPECT_EQ(r.AddGroup(7, 2, "Orphan"), kFKParamErr);
    EXPECT_EQ(r.AddGroup(FKFileTypeRegistry::kRootGroup, 0, "Root"), kFKParamErr);
    EXPECT_EQ(r.AddGroup(1, 3, "Sub"), kFKNoErr);
    EXPECT_EQ(r.AddType(1, {"Project", "csp", "VTQV", "BIN "}), kFKNoErr);
    EXPECT_EQ(r.AddType(3, {"Old project", "cs1", "VTQV", "BIN "}), kFKNoErr);
    EXPECT_EQ(r.AddType(1, {"Bad", "x", "VTQ", "BIN "}), kFKParamErr);
    EXPECT_EQ(r.AddType(9, {"Lost", "x", "VTQV", "TEXT"}), kFKParamErr);
    EXPECT_EQ(r.AddType(1, {"No extension", "", "VTQV", "TEXT"}), kFKParamErr);

    FKFileFilter f = r.FilterOf(1);
    EXPECT_EQ(f.name, "Project; Old project");
    EXPECT_EQ(f.extensions, (std::vector<std::string>{"csp", "cs1"}));
    EXPECT_TRUE(r.FilterOf(42).extensions.empty());
}

TEST(SpecialFolders, ExistAndDocumentsFallBackToHome) {
    for (FKSpecialFolder f : {FKSpecialFolder::Home, FKSpecialFolder::Documents, FKSpecialFolder::Temporary,
                              FKSpecialFolder::Current}) {
        FKLocation loc;
        ASSERT_EQ(FKGetSpecialFolder(f, loc), kFKNoErr);
        EXPECT_TRUE(fs::is_directory(loc.NativePath()));
    }
    FKLocation home, documents;
    ASSERT_EQ(FKGetSpecialFolder(FKSpecialFolder::Home, home), kFKNoErr);
    ASSERT_EQ(FKGetSpecialFolder(FKSpecialFolder::Documents, documents), kFKNoErr);
    if (!fs::is_directory(fs::path(home.NativePath()) / "Documents") && std::getenv("XDG_DOCUMENTS_DIR") == nullptr) {
        EXPECT_EQ(documents, home);
    }
}

} // namespace
