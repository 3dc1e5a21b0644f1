// The add-on's life in the host: initialisation and its failure path, teardown, the menu and the
// project events, driven through the host as the program does.
#include "basekit/BKText.h"
#include "bytes/FixedText.h"
#include "dialogkit/DGAnswers.h"
#include "filekit/FKFileDialog.h"
#include "host/app/AddonLoader.h"
#include "host/app/Host.h"
#include "hostcalls/HostInterface.h"
#include "shell/ModuleObjects.h"
#include "TestSupport.h"

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <new>
#include <string>
#include <unistd.h>
#include <vector>

// Fault seam: the next allocation of one size fails, once, as memory running out would.
namespace {
size_t failSize = 0;
bool failNext = false;
void* Allocate(size_t size) {
    if ((failSize != 0 && size == failSize) || failNext) {
        failSize = 0;
        failNext = false;
        throw std::bad_alloc();
    }
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
} // namespace

void* operator new(size_t size) { return Allocate(size); }
void* operator new[](size_t size) { return Allocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }

namespace {

constexpr int kNo = 2;

class ShellTest : public FixedClockTest {
protected:
    void SetUp() override {
        FixedClockTest::SetUp();
        FKResetFileDialogs();
        host = std::make_unique<Host>(std::string());
        Host::SetCurrent(host.get());
        host->NewProject();
    }
    void TearDown() override {
        UnloadAddons(*host);
        Module().taskDB.ClearSchedule();
        ForgetHostTableForTests();
        Host::SetCurrent(nullptr);
        host.reset();
        FKResetFileDialogs();
        FixedClockTest::TearDown();
    }
    AddonRegistration* Start() {
        std::string error;
        AddonRegistration* reg = StartAddon(*host, SetImportedFuncAddrs, GetExportedFuncAddrs, error);
        EXPECT_TRUE(error.empty()) << error;
        return reg;
    }
    void Menu(int32_t item) {
        HostMenuParams params{32500, 0, item};
        ASSERT_NE(addon, nullptr);
        addon->menuHandler(&params);
    }
    void MakeUnsavedChanges() {
        Module().taskDB.NewTask();
        ASSERT_TRUE(Module().taskDB.IsDirty());
    }
    std::vector<int16_t> AlertIds() const {
        std::vector<int16_t> ids;
        for (const auto& a : DGShownAlerts()) ids.push_back(a.id);
        return ids;
    }
    static size_t Rows() { return Module().palette->Dialog()->List(MainDialogCPP::kList)->rows.size(); }
    std::string MenuText(int32_t item) const {
        auto it = host->menuTexts.find({32500, item});
        return it == host->menuTexts.end() ? std::string() : BKToUtf8(it->second);
    }

    std::unique_ptr<Host> host;
    AddonRegistration* addon = nullptr;
};

TEST_F(ShellTest, InitialisationInstallsTheMenuThePaletteAndTheEventHandlersInOrder) {
    addon = Start();
    ASSERT_NE(addon, nullptr);
    EXPECT_NE(addon->menuHandler, nullptr);
    ASSERT_NE(Module().palette, nullptr);
    ASSERT_NE(Module().observer, nullptr);
    EXPECT_FALSE(Module().palette->IsVisible());
    std::vector<uint32_t> masks;
    for (const auto& [mask, handler] : addon->eventHandlers) masks.push_back(mask);
    EXPECT_EQ(masks, (std::vector<uint32_t>{32, 8192, 0x4000, 2, 0x8000, 0x10000, 0x20000}));
}

TEST_F(ShellTest, APaletteThatCannotBeMadeFailsWithNothingLeftBehind) {
    size_t registered = host->Addons().size();
    for (int attempt = 0; attempt < 2; ++attempt) {
        failSize = sizeof(MainDialogCPP);
        std::string error;
        EXPECT_EQ(StartAddon(*host, SetImportedFuncAddrs, GetExportedFuncAddrs, error), nullptr);
        EXPECT_NE(error.find("(-108)"), std::string::npos) << error;
        EXPECT_EQ(failSize, 0u) << "the allocation was never made";
        EXPECT_EQ(Module().palette, nullptr);
        EXPECT_EQ(Module().observer, nullptr);
        // The host forgets the failed start: no registration, so no menu handler, is left.
        EXPECT_EQ(host->Addons().size(), registered);
    }
    // Memory back: the next start succeeds.
    addon = Start();
    ASSERT_NE(addon, nullptr);
    EXPECT_NE(Module().palette, nullptr);
}

int32_t gEntryVersion = 0;
GSErr EntriesWithVersion(uint8_t* record) {
    GSErr err = GetExportedFuncAddrs(record);
    reinterpret_cast<HostEntryRecord*>(record)->hostVersion = gEntryVersion;
    return err;
}

TEST_F(ShellTest, AnAddonMadeForAnotherHostVersionIsRefusedBeforeItRegisters) {
    size_t registered = host->Addons().size();
    for (int32_t version : {13001, 12002, 11001}) {
        gEntryVersion = version;
        std::string error;
        EXPECT_EQ(StartAddon(*host, SetImportedFuncAddrs, EntriesWithVersion, error), nullptr) << version;
        EXPECT_NE(error.find("host version " + std::to_string(version)), std::string::npos) << error;
        EXPECT_EQ(host->Addons().size(), registered);
        EXPECT_EQ(Module().palette, nullptr);
    }
    gEntryVersion = 12000; // an older minor version of the same host runs
    std::string error;
    addon = StartAddon(*host, SetImportedFuncAddrs, EntriesWithVersion, error);
    EXPECT_NE(addon, nullptr) << error;
}

TEST_F(ShellTest, TeardownWithUnsavedChangesAnsweredNoLosesThemWithoutAnotherQuestion) {
    addon = Start();
    MakeUnsavedChanges();
    DGQueueAlertAnswer(kNo);
    UnloadAddons(*host);
    EXPECT_EQ(AlertIds(), std::vector<int16_t>{32514});
    EXPECT_TRUE(FKShownFileDialogs().empty());
    EXPECT_EQ(DGUnansweredQuestions(), 0);
    EXPECT_EQ(Module().palette, nullptr);
    EXPECT_EQ(Module().observer, nullptr);
    EXPECT_EQ(AddonToken(), 0u);
}

TEST_F(ShellTest, MenuItemOneTogglesThePaletteAndItsOwnText) {
    addon = Start();
    Menu(1);
    EXPECT_TRUE(Module().palette->IsVisible());
    EXPECT_EQ(MenuText(1), "Rejtsd el a tevékenységlistát");
    Menu(1);
    EXPECT_FALSE(Module().palette->IsVisible());
    EXPECT_EQ(MenuText(1), "Mutasd a tevékenységlistát");
    EXPECT_TRUE(DGShownAlerts().empty());
}

TEST_F(ShellTest, SavingACleanScheduleDoesNotRefillTheList) {
    addon = Start();
    Menu(1);
    // A task that reached the schedule without an edit: only a refill would show it.
    Task t;
    t.id = 5;
    Module().taskDB.AppendLoadedTask(t);
    ASSERT_FALSE(Module().taskDB.IsDirty());
    Menu(4);
    EXPECT_EQ(Rows(), 0u);
    EXPECT_TRUE(FKShownFileDialogs().empty());
    Menu(1);
    Menu(1); // showing refills
    EXPECT_EQ(Rows(), 1u);
}

TEST_F(ShellTest, ClosingTheProjectOffersToSaveThenEmptiesTheSchedule) {
    addon = Start();
    Menu(1);
    MakeUnsavedChanges();
    Module().palette->RefillList(false);
    ASSERT_EQ(Rows(), 1u);
    DGQueueAlertAnswer(1);
    std::filesystem::path file = std::filesystem::temp_directory_path() / ("bv_shell_" + std::to_string(::getpid()) + ".csp");
    FKQueueFileDialogAnswer({false, file.string(), 0});
    host->NewProject();
    EXPECT_EQ(AlertIds(), std::vector<int16_t>{32514});
    EXPECT_TRUE(std::filesystem::exists(file));
    std::filesystem::remove(file);
    EXPECT_EQ(Module().taskDB.TaskCount(), 0u);
    EXPECT_FALSE(Module().taskDB.IsDirty());
    EXPECT_EQ(Rows(), 0u);
}

TEST_F(ShellTest, TheSharedProjectWarningWaitsForThePaletteAndComesOnce) {
    addon = Start();
    host->ShareProject(7);
    EXPECT_TRUE(DGShownAlerts().empty());
    EXPECT_EQ(Module().taskDB.SharedUserId(), 7);
    Menu(1);
    EXPECT_EQ(AlertIds(), std::vector<int16_t>{32533});
    Menu(1);
    Menu(1);
    EXPECT_EQ(AlertIds(), std::vector<int16_t>{32533});
    // A shared project opened while the palette is visible warns at once.
    host->ShareProject(8);
    EXPECT_EQ(AlertIds(), (std::vector<int16_t>{32533, 32533}));
    host->NewProject();
    EXPECT_EQ(Module().taskDB.SharedUserId(), 0);
}

TEST_F(ShellTest, AnExceptionInAMenuCommandIsReportedAndTheHostGoesOn) {
    addon = Start();
    size_t before = host->ReportLines().size();
    failNext = true;
    Menu(1);
    EXPECT_FALSE(failNext) << "the command allocated nothing";
    failNext = false;
    ASSERT_EQ(host->ReportLines().size(), before + 1);
    EXPECT_EQ(host->ReportLines().back(), "Bauvista general error!");
    Menu(1);
    EXPECT_TRUE(Module().palette->IsVisible());
}

// A host project that remembers its schedule file, in a folder of its own.
class ReopenTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        root = std::filesystem::temp_directory_path() / ("bv_reopen_" + std::to_string(::getpid()) + "_" +
                                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(root);
        std::filesystem::create_directories(root / "haz");
        addon = Start();
        Menu(1);
    }
    void TearDown() override {
        ShellTest::TearDown();
        std::filesystem::remove_all(root);
    }
    std::string In(const char* folder, const char* name) const { return (root / folder / name).string(); }
    // A schedule of one task saved as `schedule` (a UTF-8 path) through "Mentsd a projektet mint...".
    void SaveScheduleAs(const std::string& schedule) {
        MakeUnsavedChanges();
        FKQueueFileDialogAnswer({false, schedule, 0});
        Menu(5);
        ASSERT_FALSE(Module().taskDB.IsDirty());
    }
    void SaveProject(const std::string& path) {
        std::string error;
        ASSERT_TRUE(host->SaveProject(path, error)) << error;
    }
    void OpenProject(const std::string& path) {
        std::string error;
        ASSERT_TRUE(host->OpenProject(path, error)) << error;
    }
    static std::string SchedulePath() { return BKToUtf8(BKTextOf(Module().settings.projectFilePath)); }

    std::filesystem::path root;
};

TEST_F(ReopenTest, AnOpenedProjectBringsBackItsScheduleAlsoFromAMovedFolder) {
    SaveProject(In("haz", "haz.qvp"));
    SaveScheduleAs(In("haz", "terv.csp"));
    SaveProject(In("haz", "haz.qvp"));
    host->NewProject();
    ASSERT_EQ(Module().taskDB.TaskCount(), 0u);

    OpenProject(In("haz", "haz.qvp"));
    EXPECT_EQ(Module().taskDB.TaskCount(), 1u);
    EXPECT_EQ(Rows(), 1u) << "the palette shows it";
    EXPECT_EQ(SchedulePath(), In("haz", "terv.csp"));
    EXPECT_FALSE(Module().settings.untitled);
    EXPECT_FALSE(Module().taskDB.IsDirty());
    EXPECT_FALSE(host->Model().Modified()) << "opening is no change of the project";

    std::filesystem::rename(root / "haz", root / "elküldve");
    OpenProject(In("elküldve", "haz.qvp"));
    EXPECT_EQ(SchedulePath(), In("elküldve", "terv.csp"));
    EXPECT_EQ(Module().taskDB.TaskCount(), 1u);
    EXPECT_FALSE(host->Model().Modified());
    EXPECT_TRUE(DGShownAlerts().empty());
    EXPECT_EQ(FKShownFileDialogs().size(), 1u);
}

TEST_F(ReopenTest, AScheduleSavedBeforeItsProjectHadAFileIsFoundBesideTheMovedProject) {
    SaveScheduleAs(In("haz", "terv.csp")); // the project is untitled: no folder to be relative to
    SaveProject(In("haz", "haz.qvp"));
    std::filesystem::rename(root / "haz", root / "elküldve");
    OpenProject(In("elküldve", "haz.qvp"));
    EXPECT_EQ(SchedulePath(), In("elküldve", "terv.csp"));
    EXPECT_TRUE(DGShownAlerts().empty());
}

TEST_F(ReopenTest, AMissingScheduleIsLookedForOrTheScheduleStartsEmpty) {
    SaveProject(In("haz", "haz.qvp"));
    SaveScheduleAs(In("haz", "terv.csp"));
    SaveScheduleAs(In("haz", "másik.csp"));
    FKQueueFileDialogAnswer({false, In("haz", "terv.csp"), 0});
    Menu(3); // the project remembers the file opened last
    SaveProject(In("haz", "haz.qvp"));
    std::filesystem::remove(root / "haz" / "terv.csp");

    DGQueueAlertAnswer(2);
    OpenProject(In("haz", "haz.qvp"));
    ASSERT_EQ(AlertIds(), std::vector<int16_t>{32534});
    EXPECT_EQ(DGShownAlerts().back().params.at(0), BKFromUtf8(In("haz", "terv.csp")));
    EXPECT_EQ(Module().taskDB.TaskCount(), 0u);
    EXPECT_TRUE(Module().settings.untitled);

    // Looked for and found elsewhere: the project remembers that file from now on.
    size_t dialogs = FKShownFileDialogs().size();
    DGQueueAlertAnswer(1);
    FKQueueFileDialogAnswer({false, In("haz", "másik.csp"), 0});
    OpenProject(In("haz", "haz.qvp"));
    EXPECT_EQ(FKShownFileDialogs().size(), dialogs + 1);
    EXPECT_EQ(SchedulePath(), In("haz", "másik.csp"));
    EXPECT_EQ(Rows(), 2u) << "that file's two tasks";
    EXPECT_TRUE(host->Model().Modified());
    SaveProject(In("haz", "haz.qvp"));
    OpenProject(In("haz", "haz.qvp"));
    EXPECT_EQ(SchedulePath(), In("haz", "másik.csp"));
    EXPECT_EQ(AlertIds(), (std::vector<int16_t>{32534, 32534}));

    // Looked for and the dialog cancelled: empty.
    std::filesystem::remove(root / "haz" / "másik.csp");
    DGQueueAlertAnswer(1);
    FKQueueFileDialogAnswer({true, "", std::nullopt});
    OpenProject(In("haz", "haz.qvp"));
    EXPECT_EQ(Module().taskDB.TaskCount(), 0u);
    EXPECT_TRUE(Module().settings.untitled);
    EXPECT_EQ(DGUnansweredQuestions(), 0);
}

TEST_F(ReopenTest, OnlyAnOpenedProjectBringsItsScheduleBack) {
    SaveProject(In("haz", "haz.qvp"));
    SaveScheduleAs(In("haz", "terv.csp"));
    // Becoming shared announces the same project opened: the schedule and its edits stay.
    MakeUnsavedChanges();
    host->ShareProject(3);
    EXPECT_EQ(Module().taskDB.TaskCount(), 2u);
    EXPECT_TRUE(Module().taskDB.IsDirty());
    EXPECT_EQ(AlertIds(), std::vector<int16_t>{32533}) << "the shared-mode warning, no question of saving";
    // A new project remembers nothing, and nor does one that never had a schedule.
    DGQueueAlertAnswer(kNo);
    host->NewProject();
    EXPECT_EQ(Module().taskDB.TaskCount(), 0u);
    SaveProject(In("haz", "üres.qvp"));
    OpenProject(In("haz", "üres.qvp"));
    EXPECT_EQ(Module().taskDB.TaskCount(), 0u);
    EXPECT_EQ(AlertIds(), (std::vector<int16_t>{32533, 32514}));
}

TEST_F(ReopenTest, ABlockOfAnotherVersionIsLeftAsItIs) {
    SaveProject(In("haz", "haz.qvp"));
    SaveScheduleAs(In("haz", "terv.csp"));
    UserDataBlock block = *host->Model().ProjectData("Bauvista");
    ++block.version; // what a later add-on may write
    host->Model().SetProjectData("Bauvista", block);
    SaveProject(In("haz", "haz.qvp"));
    OpenProject(In("haz", "haz.qvp"));
    EXPECT_EQ(Module().taskDB.TaskCount(), 0u);
    EXPECT_TRUE(DGShownAlerts().empty());
    EXPECT_EQ(*host->Model().ProjectData("Bauvista"), block);
}

TEST_F(ShellTest, MenuItem12ShowsAndHidesTheChartAndItsTextFollows) {
    addon = Start();
    ASSERT_NE(Module().chart, nullptr);
    EXPECT_FALSE(Module().chart->IsVisible());
    Menu(12);
    EXPECT_TRUE(Module().chart->IsVisible());
    EXPECT_EQ(MenuText(12), "Rejtsd el az ütemtervet");
    Menu(12);
    EXPECT_FALSE(Module().chart->IsVisible());
    EXPECT_EQ(MenuText(12), "Mutasd az ütemtervet");
    EXPECT_TRUE(DGShownAlerts().empty());
}

} // namespace
