#include "bytes/FixedText.h"
#include "filekit/FKError.h"
#include "host/app/Host.h"
#include "hostcalls/HostInterface.h"
#include "schedule/ScheduleFileFixture.h"

#include <memory>

namespace {

using enum ConstructionType;

class ScheduleFileCommandsTest : public ScheduleFileTest {
protected:
    void MakeDirtySchedule() {
        size_t i = db.NewTask();
        Task t;
        db.GetTaskAt(i, t);
        t.SetName(BKFromUtf8("Falazás"));
        db.SetTaskAt(i, t);
        ASSERT_TRUE(db.IsDirty());
    }
    void Choose(const std::string& path8, std::optional<int32_t> kind) {
        FKQueueFileDialogAnswer({false, BKToUtf8(path8), kind});
    }
    std::string Path() const { return std::string(BKTextOf(settings.projectFilePath)); }
};

TEST_F(ScheduleFileCommandsTest, SavingACleanScheduleDoesNothing) {
    EXPECT_FALSE(db.Save(false));
    EXPECT_TRUE(FKShownFileDialogs().empty());
    EXPECT_TRUE(DGShownAlerts().empty());
}

TEST_F(ScheduleFileCommandsTest, AnUntitledScheduleAsksWhereAndTakesTheChosenKind) {
    MakeDirtySchedule();
    Choose(PathOf("első.csp"), std::nullopt);
    ASSERT_TRUE(db.Save(false));
    const auto& dialog = FKShownFileDialogs().at(0);
    EXPECT_EQ(dialog.kind, FKFileDialogKind::Save);
    EXPECT_EQ(dialog.startName, "Új terv.txt");
    EXPECT_EQ(dialog.preselectedFilter, 0);
    EXPECT_EQ(Path(), PathOf("első.csp"));
    EXPECT_EQ(settings.projectFileKind, 0);
    EXPECT_FALSE(settings.untitled);
    EXPECT_FALSE(db.IsDirty());
    EXPECT_EQ(ReadBytes(PathOf("első.csp")).substr(0, 4), "BVBF");

    // Titled now: a save goes to the same file without asking.
    MakeDirtySchedule();
    ASSERT_TRUE(db.Save(false));
    EXPECT_EQ(FKShownFileDialogs().size(), 1u);

    // Save as the schedule text.
    Choose(PathOf("második.txt"), 1);
    ASSERT_TRUE(db.Save(true));
    EXPECT_EQ(settings.projectFileKind, 1);
    EXPECT_EQ(ReadBytes(PathOf("második.txt")).substr(0, 5), "ID_v1");
    EXPECT_TRUE(DGShownAlerts().empty());
}

TEST_F(ScheduleFileCommandsTest, CancelAndFailureLeaveEverythingAsItWas) {
    MakeDirtySchedule();
    FKQueueFileDialogAnswer({true, "", std::nullopt});
    EXPECT_FALSE(db.Save(true));
    EXPECT_TRUE(DGShownAlerts().empty());
    EXPECT_TRUE(db.IsDirty());
    EXPECT_TRUE(settings.untitled);

    FKInjectFault(FKOperation::Write, kFKDiskFullErr);
    Choose(PathOf("tele.csp"), 0);
    EXPECT_FALSE(db.Save(true));
    EXPECT_EQ(AlertIds(), std::vector<int16_t>{32520});
    EXPECT_TRUE(db.IsDirty());
    EXPECT_TRUE(settings.untitled);
    EXPECT_EQ(Path(), Cp("Új terv.txt"));
    EXPECT_FALSE(std::filesystem::exists(folder / "tele.csp"));
}

TEST_F(ScheduleFileCommandsTest, OpeningReadsTheChosenKindAndStartsToday) {
    db.AppendLoadedTask(MakeTask(3, Fixed, DateTime(2009, 1, 1), DateTime(2009, 6, 1), "Alap"));
    ASSERT_TRUE(db.SaveScheduleText(PathOf("be.txt")));
    ASSERT_TRUE(db.SaveProjectFile(PathOf("be.csp")));
    db.Tasks().clear();

    Choose(PathOf("be.txt"), 1);
    ASSERT_TRUE(db.Open());
    const auto& dialog = FKShownFileDialogs().at(0);
    EXPECT_EQ(dialog.kind, FKFileDialogKind::Open);
    EXPECT_EQ(dialog.preselectedFilter, 0);
    EXPECT_EQ(db.TaskCount(), 1u);
    EXPECT_EQ(Path(), PathOf("be.txt"));
    EXPECT_EQ(settings.projectFileKind, 1);
    EXPECT_FALSE(settings.untitled);
    EXPECT_EQ(db.CurrentDate(), DateTime(2009, 3, 3)); // the end of today
    EXPECT_EQ(db.Tasks()[0].appearance, Appearance::UnderWork); // states recomputed for today
    EXPECT_GT(db.Tasks()[0].percentComplete, 0);

    // A schedule opened from a text is saved as a text unless the user switches the filter.
    MakeDirtySchedule();
    FKQueueFileDialogAnswer({false, BKToUtf8(PathOf("ki")), std::nullopt});
    ASSERT_TRUE(db.Save(true));
    EXPECT_EQ(FKShownFileDialogs().back().preselectedFilter, 1);
    EXPECT_EQ(Path(), PathOf("ki.txt"));

    Choose(PathOf("be.csp"), 0);
    ASSERT_TRUE(db.Open());
    EXPECT_EQ(settings.projectFileKind, 0);
    EXPECT_EQ(Path(), PathOf("be.csp"));
}

TEST_F(ScheduleFileCommandsTest, AnUnsavedScheduleIsOfferedForSavingFirst) {
    ASSERT_TRUE(db.SaveProjectFile(PathOf("üres.csp")));
    MakeDirtySchedule();
    // "Mégse": nothing happens.
    DGQueueAlertAnswer(3);
    EXPECT_FALSE(db.Open());
    EXPECT_TRUE(FKShownFileDialogs().empty());
    ASSERT_EQ(DGShownAlerts().size(), 1u);
    EXPECT_EQ(DGShownAlerts()[0].id, 32515);
    EXPECT_EQ(DGShownAlerts()[0].params, std::vector<std::string>{Cp("Új terv.txt")});
    // "Igen" but the save dialog is cancelled: no open.
    DGQueueAlertAnswer(1);
    FKQueueFileDialogAnswer({true, "", std::nullopt});
    EXPECT_FALSE(db.Open());
    EXPECT_EQ(FKShownFileDialogs().size(), 1u);
    EXPECT_EQ(db.TaskCount(), 1u);
    // "Igen" and saved, then opened.
    DGQueueAlertAnswer(1);
    Choose(PathOf("mentett.csp"), 0);
    Choose(PathOf("üres.csp"), 0);
    ASSERT_TRUE(db.Open());
    EXPECT_TRUE(std::filesystem::exists(folder / "mentett.csp"));
    EXPECT_EQ(db.TaskCount(), 0u);
    // "Nem": straight to the open dialog.
    MakeDirtySchedule();
    DGQueueAlertAnswer(2);
    Choose(PathOf("üres.csp"), 0);
    ASSERT_TRUE(db.Open());
    EXPECT_FALSE(db.IsDirty());
    EXPECT_EQ(DGUnansweredQuestions(), 0);
}

TEST_F(ScheduleFileCommandsTest, AFailedOpenKeepsTheScheduleAndItsFile) {
    MakeDirtySchedule();
    Choose(PathOf("régi.csp"), 0);
    ASSERT_TRUE(db.Save(false));
    MakeDirtySchedule();
    WriteBytes(PathOf("rossz.csp"), "BVBF nonsense");
    Choose(PathOf("rossz.csp"), 0);
    DGQueueAlertAnswer(2);
    EXPECT_FALSE(db.Open());
    EXPECT_EQ(AlertIds(), (std::vector<int16_t>{32515, 32521}));
    EXPECT_EQ(db.TaskCount(), 2u);
    EXPECT_TRUE(db.IsDirty());
    EXPECT_EQ(Path(), PathOf("régi.csp"));
    EXPECT_FALSE(settings.untitled);
    // So the next save still goes to the old file, with the whole schedule.
    ASSERT_TRUE(db.Save(false));
    db.Tasks().clear();
    ASSERT_TRUE(db.LoadProjectFile(PathOf("régi.csp")));
    EXPECT_EQ(db.TaskCount(), 2u);
}

// With a host, so that what the save tells the report window can be read.
class ReportedScheduleTest : public ScheduleFileCommandsTest {
protected:
    void SetUp() override {
        ScheduleFileCommandsTest::SetUp();
        host = std::make_unique<Host>(std::string());
        Host::SetCurrent(host.get());
        AddonRegistration& reg = host->AddAddon("Bauvista");
        host->SetPendingRegistration(&reg);
        SetImportedFuncAddrs(host->Table().data());
        SetAddonToken(reg.token);
    }
    void TearDown() override {
        ForgetHostTableForTests();
        Host::SetCurrent(nullptr);
        host.reset();
        ScheduleFileCommandsTest::TearDown();
    }
    std::unique_ptr<Host> host;
};

TEST_F(ReportedScheduleTest, AScheduleTheProjectFileCannotHoldIsNeverWrittenThere) {
    // The text reader takes any id; a project file refuses a record whose id is below 1.
    WriteBytes(PathOf("be.txt"), Cp("ID_v1\tName\tStart_Date\tFinish_Date\r\n"
                                    "0\tB_Nulla\t2009.03.02.\t2009.03.04.\r\n"
                                    "-5\tD_Negatív\t2009.03.02.\t2009.03.04.\r\n"
                                    "x\tR_Betű\t2009.03.02.\t2009.03.04.\r\n"
                                    "7\tB_Jó\t2009.03.02.\t2009.03.04.\r\n"));
    Choose(PathOf("be.txt"), 1);
    ASSERT_TRUE(db.Open());
    ASSERT_EQ(db.TaskCount(), 4u);
    WriteBytes(PathOf("régi.csp"), "the previous file");
    MakeDirtySchedule();

    Choose(PathOf("régi.csp"), 0);
    EXPECT_FALSE(db.Save(true));
    EXPECT_EQ(AlertIds(), std::vector<int16_t>{32520});
    EXPECT_EQ(ReadBytes(PathOf("régi.csp")), "the previous file");
    EXPECT_TRUE(db.IsDirty());
    EXPECT_EQ(settings.projectFileKind, 1); // the identity stays the text's
    EXPECT_EQ(host->ReportLines(),
              (std::vector<std::string>{
                  Cp("Ennek a tevékenységnek az azonosítója nem megfelelő, a projekt fájl nem menthető: \"Nulla\" (ID: 0)"),
                  Cp("Ennek a tevékenységnek az azonosítója nem megfelelő, a projekt fájl nem menthető: \"Negatív\" (ID: -5)"),
                  Cp("Ennek a tevékenységnek az azonosítója nem megfelelő, a projekt fájl nem menthető: \"Betű\" (ID: 0)")}));

    // The schedule text holds them as they are.
    Choose(PathOf("ki.txt"), 1);
    ASSERT_TRUE(db.Save(true));
    std::string text = ReadBytes(PathOf("ki.txt"));
    EXPECT_NE(text.find(Cp("\r\n0\tB_Nulla\t")), std::string::npos);
    EXPECT_NE(text.find(Cp("\r\n-5\tD_Negatív\t")), std::string::npos);
}

TEST_F(ReportedScheduleTest, AFailedSaveNamesTheFileAndTheSystemsReasonBeforeItsAlert) {
    MakeDirtySchedule();
    std::string missing = PathOf("nincs/ilyen/mappa/terv.csp");
    Choose(missing, 0);
    EXPECT_FALSE(db.Save(true));
    EXPECT_EQ(AlertIds(), std::vector<int16_t>{32520});
    EXPECT_EQ(host->ReportLines(),
              std::vector<std::string>{Cp("A mentés nem sikerült: \"") + missing + "\" (no such file or folder)"});
    EXPECT_TRUE(db.IsDirty());

    // The schedule text says so too, with what stopped the writing.
    FKInjectFault(FKOperation::Write, kFKDiskFullErr);
    std::string full = PathOf("tele.txt");
    Choose(full, 1);
    EXPECT_FALSE(db.Save(true));
    EXPECT_EQ(host->ReportLines().back(), Cp("A mentés nem sikerült: \"") + full + "\" (disk full)");
    FKInjectFault(FKOperation::Rename, kFKPermissionErr);
    Choose(full, 1);
    EXPECT_FALSE(db.Save(true));
    EXPECT_EQ(host->ReportLines().back(), Cp("A mentés nem sikerült: \"") + full + "\" (permission denied)");
    EXPECT_EQ(AlertIds(), (std::vector<int16_t>{32520, 32520, 32520}));
    EXPECT_EQ(host->ReportLines().size(), 3u);
}

TEST_F(ReportedScheduleTest, TheImportSaysWhatItCouldNotRead) {
    std::string longName(1100, 'x');
    WriteBytes(PathOf("be.txt"), "ID_v1\tName\tStart_Date\tFinish_Date\n"
                                 "1\t\xE6\x97\xA5\xE6\x9C\xAC \xC5\x91\t2009.03.02.\t\n"
                                 "2\t" + longName + "\t2009.03.02.\t\n"
                                 "3\t\xE2\x82\xAC\t2009.03.02.\t\n");
    ASSERT_TRUE(db.ImportScheduleText(PathOf("be.txt")));
    EXPECT_EQ(db.Tasks()[0].Name(), Cp("?? ő"));
    EXPECT_EQ(db.Tasks()[2].Name(), Cp("€"));
    EXPECT_EQ(host->ReportLines(),
              (std::vector<std::string>{Cp("A fájl 2 karakterét nem lehet a kódlapon ábrázolni, helyettük \"?\" áll."),
                                        Cp("A(z) 3. sor hosszabb 1022 bájtnál, a vége elveszett.")}));
}

} // namespace
