// Recovery copies: the manifest that makes a copy whole, the folder a crash may leave cut short,
// when a copy is due, and a copy written by one host and offered back to the next.
#include "HostFixture.h"
#include "host/app/AutosavePolicy.h"
#include "host/app/ProjectRecovery.h"
#include "host/app/RecoveryFolder.h"
#include "host/project/HostProjectFile.h"
#include "host/resources/HostResources.h"

#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

fs::path FreshFolder(const std::string& name) {
    fs::path p = fs::temp_directory_path() / ("bv-recovery-" + name + "-" + std::to_string(::getpid()));
    fs::remove_all(p);
    fs::create_directories(p);
    return p;
}

std::string ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void WriteAll(const fs::path& p, const std::string& text) { std::ofstream(p, std::ios::binary) << text; }

} // namespace

TEST(RecoveryManifestTest, ReadsWhatItWritesAndRefusesWhatLeavesTheFolder) {
    RecoveryManifest m;
    m.project = "/home/tervező/ház.qvp";
    m.files = {{RecoveryFile::Role::Project, "project.7.qvp", 1234, RecoveryDigest("abc")},
               {RecoveryFile::Role::Addon, "addon.7.csp", 0, RecoveryDigest("")}};
    std::string error;
    auto back = ReadRecoveryManifest(WriteRecoveryManifest(m), error);
    ASSERT_TRUE(back) << error;
    EXPECT_EQ(*back, m);

    auto refused = [](const std::string& text) {
        std::string why;
        return !ReadRecoveryManifest(text, why) && !why.empty();
    };
    const std::string file = R"({"role": "project", "name": "p.qvp", "size": 1, "digest": "0123456789abcdef"})";
    EXPECT_FALSE(refused(R"({"recovery": 1, "project": "", "files": [)" + file + "]}"));
    EXPECT_TRUE(refused(R"({"recovery": 2, "project": "", "files": [)" + file + "]}"));
    EXPECT_TRUE(refused(R"({"recovery": 1, "project": "", "files": []})")); // no project copy
    EXPECT_TRUE(refused(R"({"recovery": 1, "project": "", "files": [)" + file + "," + file + "]}"));
    for (const char* name : {"../p.qvp", "a/b", "..", ".", ""})
        EXPECT_TRUE(refused(R"({"recovery": 1, "project": "", "files": [{"role": "project", "name": ")" +
                            std::string(name) + R"(", "size": 1, "digest": "0123456789abcdef"}]})"))
            << name;
    EXPECT_TRUE(refused(R"({"recovery": 1, "project": "", "files": [{"role": "project", "name": "p", "size": -1, "digest": "0123456789abcdef"}]})"));
    EXPECT_TRUE(refused(R"({"recovery": 1, "project": "", "files": [{"role": "project", "name": "p", "size": 1, "digest": "0123"}]})"));
    EXPECT_TRUE(refused(std::string(RecoveryManifest::kMaxBytes + 1, ' ')));
    EXPECT_TRUE(refused("[1, 2"));
}

TEST(RecoveryFolderTest, CopiesCutShortAreNamedAndLeftOut) {
    fs::path root = FreshFolder("cut");
    std::string error;
    ASSERT_TRUE(WriteRecoveryCopy((root / "run-a").string(), 1, "{\"elements\": []}\n", "", "", error)) << error;
    // A crash before the manifest: files, no manifest.
    fs::create_directories(root / "run-b");
    WriteAll(root / "run-b" / "project.1.qvp", "{\"elem");
    // A copy whose project file was cut short after its manifest named it whole.
    ASSERT_TRUE(WriteRecoveryCopy((root / "run-c").string(), 1, "{\"elements\": [1, 2, 3]}\n", "", "", error));
    fs::resize_file(root / "run-c" / "project.1.qvp", 5);
    // An empty folder is no copy at all.
    fs::create_directories(root / "run-d");

    std::vector<std::string> notes;
    auto found = FindRecoveryCopies(root.string(), notes);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(fs::path(found[0].folder).filename(), "run-a");
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_NE(notes[0].find("run-b"), std::string::npos);
    EXPECT_NE(notes[0].find("no manifest"), std::string::npos);
    EXPECT_NE(notes[1].find("run-c"), std::string::npos);
    EXPECT_NE(notes[1].find("project.1.qvp differs"), std::string::npos);
    fs::remove_all(root);
}

TEST(RecoveryFolderTest, ADeadRunsRemainsAreReportedOnce) {
    fs::path root = FreshFolder("dead");
    pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ASSERT_GT(child, 0);
    ::waitpid(child, nullptr, 0);
    fs::path dead = root / ("run-1-" + std::to_string(child)), live = root / ("run-2-" + std::to_string(::getppid()));
    for (const fs::path& f : {dead, live}) {
        fs::create_directories(f);
        WriteAll(f / "project.1.qvp", "{\"elem");
    }
    std::vector<std::string> notes;
    EXPECT_TRUE(FindRecoveryCopies(root.string(), notes).empty());
    EXPECT_EQ(notes.size(), 2u);
    EXPECT_FALSE(fs::exists(dead));
    // A live run may still be writing its first copy.
    notes.clear();
    FindRecoveryCopies(root.string(), notes);
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_NE(notes[0].find(live.filename().string()), std::string::npos);
    fs::remove_all(root);
}

TEST(RecoveryFolderTest, ANewGenerationReplacesTheOldOnlyOnceWhole) {
    fs::path root = FreshFolder("gen");
    fs::path folder = root / "run";
    std::string error;
    ASSERT_TRUE(WriteRecoveryCopy(folder.string(), 1, "one\n", "", "", error));
    // The next generation's files written, its manifest not yet: the first copy is still whole.
    WriteAll(folder / "project.2.qvp", "two, cut sh");
    std::vector<std::string> notes;
    auto found = FindRecoveryCopies(root.string(), notes);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].manifest.files[0].name, "project.1.qvp");
    EXPECT_TRUE(notes.empty());

    WriteAll(folder / "addon.2.csp", "schedule");
    ASSERT_TRUE(WriteRecoveryCopy(folder.string(), 2, "two\n", "addon.2.csp", "/x/p.qvp", error)) << error;
    EXPECT_FALSE(fs::exists(folder / "project.1.qvp"));
    EXPECT_EQ(ReadAll(folder / "project.2.qvp"), "two\n");
    EXPECT_EQ(HighestRecoveryGeneration(folder.string()), 2u);
    found = FindRecoveryCopies(root.string(), notes);
    ASSERT_EQ(found.size(), 1u);
    ASSERT_NE(found[0].manifest.FileOf(RecoveryFile::Role::Addon), nullptr);
    EXPECT_EQ(found[0].manifest.FileOf(RecoveryFile::Role::Addon)->size, 8u);
    EXPECT_EQ(found[0].manifest.project, "/x/p.qvp");
    fs::remove_all(root);
}

TEST(RecoveryFolderTest, ACopyOlderThanTheSavedProjectIsNotNewer) {
    fs::path root = FreshFolder("age");
    std::string error;
    WriteAll(root / "saved.qvp", "{}");
    ASSERT_TRUE(WriteRecoveryCopy((root / "run").string(), 1, "x", "", (root / "saved.qvp").string(), error));
    std::vector<std::string> notes;
    auto found = FindRecoveryCopies(root.string(), notes);
    ASSERT_EQ(found.size(), 1u);
    fs::last_write_time(root / "saved.qvp", found[0].written - std::chrono::seconds(10));
    EXPECT_TRUE(found[0].NewerThanSaved());
    fs::last_write_time(root / "saved.qvp", found[0].written + std::chrono::seconds(10));
    EXPECT_FALSE(found[0].NewerThanSaved());
    fs::remove(root / "saved.qvp"); // a project file gone: the copy is all there is
    EXPECT_TRUE(found[0].NewerThanSaved());
    fs::remove_all(root);
}

TEST(AutosavePolicyTest, DueWhenQuietOrWhenChangesGoOnTooLong) {
    AutosavePolicy p(3, 300);
    p.Note(1, 0);
    EXPECT_FALSE(p.Due(100)); // the project as found is no change
    p.Note(2, 100);
    EXPECT_FALSE(p.Due(102));
    EXPECT_TRUE(p.Due(103));
    p.Done();
    EXPECT_FALSE(p.Due(200));
    // A change every second for five minutes: never quiet, due at the longest wait.
    for (int t = 200; t < 500; ++t) {
        p.Note(static_cast<uint64_t>(t), t);
        EXPECT_EQ(p.Due(t + 0.5), t >= 500) << t;
    }
    p.Note(999, 500);
    EXPECT_TRUE(p.Due(500.5));
}

class ProjectRecoveryTest : public HostFixture {
protected:
    void SetUp() override {
        HostFixture::SetUp();
        root = FreshFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
        saved = (root / "house.qvp").string();
        AddElement(1, "FAL-01");
        std::string error;
        ASSERT_TRUE(host->SaveProject(saved, error)) << error;
        savedText = ReadAll(saved);
    }
    void TearDown() override {
        fs::remove_all(root);
        HostFixture::TearDown();
    }
    // The work after the save: FAL-01 is given user data (a link, to the user).
    void Work() {
        Element* e = host->Model().FindByIdText("FAL-01");
        host->Model().Undo().Open("Link");
        host->Model().SetUserData(*e, "Bauvista", UserDataBlock{103, 0x5757, {1, 2, 3}});
        host->Model().CloseUndoStep();
    }
    // A fresh host, as the next start of the program makes, with the saved project open.
    void Restart() {
        Host::SetCurrent(nullptr);
        host = std::make_unique<Host>();
        Host::SetCurrent(host.get());
        std::string error;
        ASSERT_TRUE(host->OpenProject(saved, error)) << error;
    }
    fs::path root;
    std::string saved, savedText;
};

TEST_F(ProjectRecoveryTest, NothingUnsavedWritesNoCopyAndASaveRemovesOne) {
    ProjectRecovery recovery(*host, root.string());
    host->recovery = &recovery;
    ASSERT_TRUE(recovery.WriteNow(true));
    EXPECT_FALSE(fs::exists(recovery.Folder()));
    Work();
    ASSERT_TRUE(recovery.WriteNow(true));
    EXPECT_TRUE(fs::exists(fs::path(recovery.Folder()) / RecoveryManifest::kFileName));
    EXPECT_EQ(ReadAll(saved), savedText); // never over the planner's file
    std::string error;
    ASSERT_TRUE(host->SaveProject(saved, error));
    EXPECT_FALSE(fs::exists(recovery.Folder()));
    host->recovery = nullptr;
}

TEST_F(ProjectRecoveryTest, TheThreeAnswers) {
    for (int answer : {ProjectRecovery::kRecover, ProjectRecovery::kOpenSaved, ProjectRecovery::kLater}) {
        SCOPED_TRACE(answer);
        fs::remove_all(root / "copies");
        {
            std::string error;
            ASSERT_TRUE(host->OpenProject(saved, error));
            ProjectRecovery crashed(*host, (root / "copies").string());
            Work();
            ASSERT_TRUE(crashed.WriteNow(true));
            // The run ends without a word: no Discard.
        }
        Restart();
        ProjectRecovery next(*host, (root / "copies").string());
        DGQueueAlertAnswer(answer);
        next.AskAtStart();
        ASSERT_FALSE(DGShownAlerts().empty());
        EXPECT_EQ(DGShownAlerts().back().id, static_cast<int16_t>(HostAlert::Recover));
        EXPECT_EQ(DGShownAlerts().back().params.at(0), "house.qvp");
        const Element* e = host->Model().FindByIdText("FAL-01");
        ASSERT_NE(e, nullptr);
        std::vector<std::string> notes;
        size_t copies = FindRecoveryCopies((root / "copies").string(), notes).size();
        EXPECT_TRUE(notes.empty());
        EXPECT_EQ(host->projectPath, saved);
        EXPECT_EQ(ReadAll(saved), savedText);
        if (answer == ProjectRecovery::kRecover) {
            EXPECT_EQ(e->userData.count("Bauvista"), 1u);
            EXPECT_TRUE(host->Model().Modified());
            EXPECT_EQ(copies, 1u); // kept until this run writes or saves
            std::string error;
            ASSERT_TRUE(host->SaveProject(host->projectPath, error));
            next.ProjectSaved();
            EXPECT_EQ(FindRecoveryCopies((root / "copies").string(), notes).size(), 0u);
        } else {
            EXPECT_EQ(e->userData.count("Bauvista"), 0u);
            EXPECT_FALSE(host->Model().Modified());
            EXPECT_EQ(copies, answer == ProjectRecovery::kLater ? 1u : 0u);
        }
        // Asked no more once answered, except "later".
        DGResetAnswers();
        ProjectRecovery again(*host, (root / "copies").string());
        again.AskAtStart();
        EXPECT_EQ(DGShownAlerts().size(), answer == ProjectRecovery::kLater ? 1u : 0u);
        DGResetAnswers();
        // Leaves the saved project as it was for the next answer.
        WriteAll(saved, savedText);
    }
}

TEST_F(ProjectRecoveryTest, TheSnapshotSavesAsTheModel) {
    Work();
    host->Model().Facts().Intern("class");
    // A federated project's list of models goes with it.
    host->Model().ifcModels = {{"A", "/a.ifc", false, 1}, {"B", "/b.ifc", true, 0}};
    auto copy = host->Model().SnapshotForSaving();
    EXPECT_NE(SerializeHostProject(*copy).find("\"models\""), std::string::npos);
    EXPECT_EQ(SerializeHostProject(*copy), SerializeHostProject(host->Model()));
    // The copy is its own: a change of the model after it is not in it.
    host->Model().SetUserData(*host->Model().FindByIdText("FAL-01"), "Bauvista", std::nullopt);
    EXPECT_NE(SerializeHostProject(*copy), SerializeHostProject(host->Model()));
}
