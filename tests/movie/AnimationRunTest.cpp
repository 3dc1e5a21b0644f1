#include "HostFixture.h"
#include "MovieProbe.h"
#include "bytes/FixedText.h"
#include "dialogkit/DGAnswers.h"
#include "dialogkit/DGDialog.h"
#include "display/ElementHider.h"
#include "filekit/FKError.h"
#include "filekit/FKFaults.h"
#include "filekit/FKFileDialog.h"
#include "movie/AnimationDialog.h"
#include "movie/AnimationRunner.h"
#include "movie/LabelParts.h"
#include "movie/ProgressWindow.h"
#include "movie/QuietSpan.h"
#include "pixkit/PXPixMap.h"
#include "resources/AddonResources.h"
#include "schedule/tasks/AnimationSettings.h"
#include "schedule/tasks/TaskDB.h"
#include "shell/MovieCommand.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <vector>

namespace {

using enum ConstructionType;

std::string Cp(const std::string& utf8) { return ::Cp(utf8.c_str()); }
using ::Cp;

class AnimationRunTest : public HostFixture {
protected:
    void SetUp() override {
        HostFixture::SetUp();
        std::string error;
        const char* source = std::getenv("BV_SOURCE_DIR");
        ASSERT_NE(source, nullptr);
        ASSERT_TRUE(host->OpenProject(std::string(source) + "/examples/house/house.qvp", error)) << error;
        hider.LoadResources();
        db.InitTaskDB();
        dir = std::filesystem::temp_directory_path() / ("bv-run-" + std::to_string(getpid()));
        std::filesystem::create_directories(dir);
        // A run opens its movie at once; the default name would land in the working folder.
        settings.SetMovieFilePath((dir / "film.mov").string());
        FKResetFileDialogs();
    }
    void TearDown() override {
        std::filesystem::remove_all(dir);
        FKResetFileDialogs();
        HostFixture::TearDown();
    }
    void AddTask(int32_t id, ConstructionType type, DateTime start, DateTime finish) {
        Task t;
        t.id = id;
        t.type = type;
        t.start = start;
        t.finish = finish;
        t.SetName("t" + std::to_string(id));
        db.AppendLoadedTask(t);
    }
    void Link(const char* id, int32_t task) {
        Element* e = host->Model().FindByIdText(id);
        ASSERT_NE(e, nullptr);
        ElementLinkRecord rec;
        rec.SetSlot(0, task);
        e->userData["Bauvista"] = UserDataBlock{103, 0x5757, {rec.bytes.begin(), rec.bytes.end()}};
    }
    // Runs menu item 6 with the dialog answered and the movie file chosen.
    void Make(const std::vector<DGDialogStep>& steps, const std::string& file) {
        DGDialogAnswer answer;
        answer.dialogId = "32503";
        answer.steps = steps;
        answer.steps.push_back({"1", {}, true});
        DGQueueDialogAnswer(answer);
        FKQueueFileDialogAnswer({false, (dir / file).string(), std::nullopt});
        MakeAnimation(db, hider, nullptr);
    }
    int16_t LastAlert() { return DGShownAlerts().empty() ? 0 : DGShownAlerts().back().id; }

    AnimationSettings settings;
    ElementHider hider;
    TaskDB db{settings, &hider};
    std::filesystem::path dir;
};

TEST_F(AnimationRunTest, FramesFollowTheStepFromTheEndOfTheFirstDay) {
    AddTask(1, Construction, DateTime(2010, 1, 1), DateTime(2010, 1, 11));
    settings.animationStart = DateTime(2010, 1, 1);
    settings.animationEnd = DateTime(2010, 1, 11);
    settings.step = DateTimeSpan(3, 0, 0, 0);
    settings.NormaliseRange(db.EarliestStart(), db.LatestFinish());
    AnimationRunner runner(db, hider, -1, 4);
    ASSERT_TRUE(runner.Ok());
    std::vector<DateTime> dates;
    // The run's own stepping, without pictures: start, then the end of the first day.
    DateTime d = settings.animationStart + DateTimeSpan(1, 0, 0, 0);
    dates.push_back(d);
    AnimationRunner stepper(db, hider, -1, 4);
    const_cast<DateTime&>(stepper.CurrentDate()) = d;
    for (int i = 0; i < 4; ++i) {
        stepper.NextFrameDate();
        dates.push_back(stepper.CurrentDate());
    }
    EXPECT_EQ(dates[0], DateTime(2010, 1, 2));
    EXPECT_EQ(dates[1], DateTime(2010, 1, 5));
    EXPECT_EQ(dates[2], DateTime(2010, 1, 8));
    EXPECT_EQ(dates[3], DateTime(2010, 1, 11));
    EXPECT_EQ(dates[4], DateTime(2010, 1, 12)); // held at the bound
}

TEST_F(AnimationRunTest, DialogFrameCountsAndCameraPaths) {
    AddTask(1, Construction, DateTime(2010, 1, 1), DateTime(2010, 1, 11));
    settings.NormaliseRange(db.EarliestStart(), db.LatestFinish());
    {
        AnimationDialog dialog(db);
        DGQueueDialogAnswer({"32503", {}, 2, {{"start", "2010-01-01"}, {"end", "2010-01-10"}, {"step", "3"}, {"2", {}, true}}});
        EXPECT_FALSE(dialog.Run());
        EXPECT_EQ(dialog.FrameCount(), 4);
        EXPECT_EQ(dialog.Dialog()->FindItem(12)->text, " 4");
    }
    {
        AnimationDialog dialog(db);
        DGQueueDialogAnswer({"32503", {}, 2, {{"end", "2010-01-01"}, {"step", "1"}, {"2", {}, true}}});
        dialog.Run();
        EXPECT_EQ(dialog.FrameCount(), 1);
    }
    // The house's walk round the house loops (4 cameras, 8 frames a leg, 2 frames of its own).
    EXPECT_EQ(AnimationDialog::CameraPathFrameCount(1), 34);
    // The approach ends at its last camera: 3 own frames, one leg of 12, and the last camera.
    EXPECT_EQ(AnimationDialog::CameraPathFrameCount(2), 16);
    {
        AnimationDialog dialog(db);
        DGQueueDialogAnswer({"32503", {}, 2, {{"end", "2010-01-10"}, {"source#path", "1"}, {"path", "2"}, {"2", {}, true}}});
        dialog.Run();
        EXPECT_EQ(dialog.FrameCount(), 16);
        EXPECT_EQ(dialog.SelectedCameraPath(), 2);
        // Ten days over fifteen steps: 16 hours a frame, shown in hours.
        EXPECT_EQ(dialog.Step().TotalSeconds(), 10 * 86400 / 15);
        EXPECT_EQ(dialog.Dialog()->FindItem(9)->value, 16);
        EXPECT_EQ(dialog.Dialog()->FindItem(10)->text, Cp("óra"));
    }
}

TEST_F(AnimationRunTest, ATickedLabelWithoutAChoiceUsesTheAddonsOwnPart) {
    ASSERT_TRUE(RegisterLabelParts());
    AddTask(1, Construction, DateTime(2009, 3, 2), DateTime(2009, 3, 4));
    settings.NormaliseRange(db.EarliestStart(), db.LatestFinish());
    settings.labelObjectOn = true;
    AnimationDialog dialog(db);
    DGQueueDialogAnswer({"32503", {}, 2, {{"2", {}, true}}});
    dialog.Run();
    EXPECT_TRUE(settings.labelObjectOn);
    EXPECT_EQ(BKTextOf(settings.labelObjectName), Cp("BV felirat"));
    EXPECT_EQ(dialog.Dialog()->FindItem(23)->text, Cp("BV felirat"));
    EXPECT_GT(db.LabelParameterCount(), 0);
}

TEST_F(AnimationRunTest, SuccessIsSaidOnlyOfACompleteMovie) {
    AddTask(1, Construction, DateTime(2009, 3, 2), DateTime(2009, 3, 4));
    // When the user reads "made", the file is there in full and plays to its end.
    std::vector<std::string> seen;
    DGSetAlertListener([&](const DGAlertRecord& a) {
        if (a.id != 32524) return;
        auto movie = dir / "kesz.mov";
        seen.push_back(std::filesystem::exists(movie) && probe::DecodeErrors(movie).empty()
                           ? std::to_string(probe::ProbeVideo(movie).frames)
                           : "missing");
    });
    Make({{"start", "2009-03-02"}, {"end", "2009-03-04"}, {"step", "1"}, {"kind", "1"}}, "kesz");
    DGSetAlertListener(nullptr);
    EXPECT_EQ(seen, std::vector<std::string>{std::to_string(probe::ProbeVideo(dir / "kesz.mov").frames)});
    EXPECT_EQ(probe::ProbeVideo(dir / "kesz.mov").frames, 2); // the ends of 2 and 3 March
}

TEST_F(AnimationRunTest, AMissingTaskIsAskedAboutOncePerMovie) {
    AddTask(1, Construction, DateTime(2009, 3, 2), DateTime(2009, 3, 6));
    Link("FAL-01", 1);
    Link("FAL-02", 99); // no such task
    DGQueueAlertAnswer(2); // keep the link
    Make({{"start", "2009-03-02"}, {"end", "2009-03-06"}, {"step", "1"}, {"kind", "1"}}, "hianyzo");
    int asked = 0;
    for (const auto& a : DGShownAlerts()) asked += a.id == 32522;
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(LastAlert(), 32524);
}

TEST_F(AnimationRunTest, AQuickTimeMovieWithCaptionsAndPictureReuse) {
    AddTask(1, Construction, DateTime(2009, 3, 2), DateTime(2009, 3, 4));
    AddTask(2, Construction, DateTime(2009, 3, 9), DateTime(2009, 3, 11));
    Link("FAL-01", 1);
    Link("FAL-06", 2);
    Make({{"start", "2009-03-02"}, {"end", "2009-03-10"}, {"step", "1"}, {"kind", "1"}, {"custom", "1"},
          {"text", "Ház"}, {"date", "1"}},
         "haz");
    EXPECT_EQ(LastAlert(), 32524);
    auto movie = dir / "haz.mov";
    ASSERT_TRUE(std::filesystem::exists(movie));
    auto info = probe::ProbeVideo(movie);
    EXPECT_EQ(info.codec, "h264");
    EXPECT_EQ(info.frames, 9);
    EXPECT_EQ(info.width, 640);
    EXPECT_EQ(info.rate, "1/1");
    auto captions = probe::Captions(movie);
    ASSERT_EQ(captions.size(), 9u);
    EXPECT_EQ(captions[0].text.substr(0, 5), "Ház\n");
    EXPECT_NE(captions[0].text.find("03/03/09 00:00"), std::string::npos);
    EXPECT_TRUE(probe::DecodeErrors(movie).empty());
    // Every element is itself again and the palette-less run left the date after the last frame.
    EXPECT_EQ(LE::Get<int16_t>(host->Model().FindByIdText("FAL-01")->Bytes(), 104),
              LE::Get<int16_t>(host->Model().FindByIdText("FAL-02")->Bytes(), 104));
}

TEST_F(AnimationRunTest, NothingChangedReusesThePicture) {
    AddTask(1, Construction, DateTime(2009, 3, 2), DateTime(2009, 3, 3));
    AddTask(2, Construction, DateTime(2009, 3, 20), DateTime(2009, 3, 21));
    Link("FAL-01", 1);
    settings.animationStart = DateTime(2009, 3, 2);
    settings.animationEnd = DateTime(2009, 3, 21);
    settings.step = DateTimeSpan(1, 0, 0, 0);
    settings.SetMovieFilePath((dir / "reuse.mov").string());
    settings.projectStart = db.EarliestStart();
    AnimationRunner runner(db, hider, -1, 19);
    ASSERT_TRUE(runner.Ok());
    hider.Prepare(db);
    ASSERT_TRUE(runner.Run());
    hider.Finish();
    EXPECT_EQ(runner.Writer()->framesWritten, 19);
    // FAL-01 changes on the first two frames only; every later frame is the same picture.
    EXPECT_LE(runner.Captures(), 3);
}

TEST_F(AnimationRunTest, StopDuringTheFirstFrameAndFailures) {
    // No schedule: nothing to animate.
    MakeAnimation(db, hider, nullptr);
    EXPECT_EQ(LastAlert(), 32504);

    AddTask(1, Construction, DateTime(2009, 3, 2), DateTime(2009, 3, 12));
    DGSetEventPump([] {
        if (DGDialog* p = DGDialog::Find(32450)) p->UserClick(1);
    });
    DGQueueDialogAnswer({"avi-options", {}, 1, {}});
    Make({{"start", "2009-03-02"}, {"end", "2009-03-10"}, {"step", "1"}, {"kind", "2"}}, "stop");
    DGSetEventPump(nullptr);
    EXPECT_EQ(LastAlert(), 32524); // an empty movie is still a success

    // A camera-path movie without any path to follow: made, but no frame can be captured.
    settings.fromCurrentView = false;
    settings.movieKind = QuickTime;
    settings.animationStart = DateTime(2009, 3, 2);
    settings.animationEnd = DateTime(2009, 3, 5);
    settings.SetMovieFilePath((dir / "nopath.mov").string());
    AnimationRunner runner(db, hider, -1, 3);
    ASSERT_TRUE(runner.Ok());
    EXPECT_FALSE(runner.Run());
    EXPECT_EQ(runner.Writer()->framesWritten, 0);

    settings.fromCurrentView = true;
    settings.animationStart = DateTime::FromTicks(0, DateTimeStatus::Invalid);
    AnimationRunner invalid(db, hider, -1, 3);
    EXPECT_FALSE(invalid.Run());
}

// A movie that cannot be made says why in the report window, in Hungarian, with its path and the
// system's reason, besides alert 32525.
TEST_F(AnimationRunTest, AFailedMovieIsExplainedInTheReportWindow) {
    AddTask(1, Construction, DateTime(2009, 3, 2), DateTime(2009, 3, 4));
    Link("FAL-01", 1);
    const std::vector<DGDialogStep> avi = {{"start", "2009-03-02"}, {"end", "2009-03-04"}, {"step", "1"}, {"kind", "2"}};
    const std::vector<DGDialogStep> mov = {{"start", "2009-03-02"}, {"end", "2009-03-04"}, {"step", "1"}, {"kind", "1"}};
    auto newLines = [&](size_t before) {
        return std::vector<std::string>(host->ReportLines().begin() + static_cast<std::ptrdiff_t>(before),
                                        host->ReportLines().end());
    };
    auto locked = dir / "zart";
    std::filesystem::create_directory(locked);
    // A folder that takes no new file (the superuser's writes are refused through the seam).
    auto lock = [&] {
        if (geteuid() == 0)
            FKInjectFault(FKOperation::Open, kFKPermissionErr);
        else
            std::filesystem::permissions(locked, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    };
    auto unlock = [&] {
        std::filesystem::permissions(locked, std::filesystem::perms::owner_all);
        FKClearFaults();
    };

    size_t before = host->ReportLines().size();
    lock();
    DGQueueDialogAnswer({"avi-options", {}, 1, {}});
    Make(avi, "zart/film");
    unlock();
    EXPECT_EQ(LastAlert(), 32525);
    EXPECT_EQ(newLines(before), std::vector<std::string>{Cp("Nem hozható létre az AVI adatfolyam: \"" +
                                                             (locked / "film.avi").string() + "\" (Permission denied)")});

    before = host->ReportLines().size();
    lock();
    Make(mov, "zart/film");
    unlock();
    EXPECT_EQ(LastAlert(), 32525);
    EXPECT_EQ(newLines(before), std::vector<std::string>{Cp("Nem hozható létre a QuickTime mozi: \"" +
                                                             (locked / "film.mov").string() + "\" (Permission denied)")});

    // A disk that fills up while the movie is written, or when it is finished.
    before = host->ReportLines().size();
    FKInjectFault(FKOperation::Write, kFKDiskFullErr);
    DGQueueDialogAnswer({"avi-options", {}, 1, {}});
    Make(avi, "tele");
    FKClearFaults();
    EXPECT_EQ(LastAlert(), 32525);
    EXPECT_EQ(newLines(before), std::vector<std::string>{Cp("Nem írható ki az AVI adatfolyam: \"" +
                                                             (dir / "tele.avi").string() + "\" (No space left on device)")});

    before = host->ReportLines().size();
    FKInjectFault(FKOperation::Write, kFKDiskFullErr, 1); // the movie's beginning still goes out
    Make(mov, "tele");
    FKClearFaults();
    EXPECT_EQ(LastAlert(), 32525);
    auto lines = newLines(before);
    ASSERT_EQ(lines.size(), 1u);
    // Small pictures wait in the buffer: the full disk shows when they go out, at the latest at the end.
    EXPECT_TRUE(lines[0] == Cp("Nem írható ki a QuickTime mozi: \"" + (dir / "tele.mov").string() +
                               "\" (No space left on device)") ||
                lines[0] == Cp("Nem fejezhető be a QuickTime mozi: \"" + (dir / "tele.mov").string() +
                               "\" (No space left on device)"))
        << BKToUtf8(lines[0]);
    EXPECT_FALSE(std::filesystem::exists(dir / "tele.mov"));
    EXPECT_FALSE(std::filesystem::exists(dir / "tele.avi"));
}

// Frame N of a movie decoded to 24-bit blue-green-red, top row first.
std::string FrameBgr(const std::filesystem::path& file, int n) {
    return probe::Run("ffmpeg -v error -i " + probe::Quote(file) + " -vf 'select=eq(n\\," + std::to_string(n) +
                      ")' -frames:v 1 -f rawvideo -pix_fmt bgr24 -");
}

// The colour at (x, y) of a decoded frame `width` wide, as 0x00RRGGBB.
uint32_t At(const std::string& bgr, int32_t width, int32_t x, int32_t y) {
    size_t i = (static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 3;
    if (i + 2 >= bgr.size()) return 0xFFFFFFFF;
    auto c = [&bgr](size_t k) { return static_cast<uint32_t>(static_cast<uint8_t>(bgr[k])); };
    return c(i + 2) << 16 | c(i + 1) << 8 | c(i);
}

bool Near(uint32_t a, uint32_t b, int tolerance = 24) {
    for (int shift = 0; shift < 24; shift += 8)
        if (std::abs(static_cast<int>(a >> shift & 0xFF) - static_cast<int>(b >> shift & 0xFF)) > tolerance) return false;
    return true;
}

TEST_F(AnimationRunTest, ATimedHDMovieWithWhatIsDrawnIntoItsPictures) {
    AddTask(1, Construction, DateTime(2009, 3, 2), DateTime(2009, 3, 12));
    AddTask(2, Construction, DateTime(2009, 3, 9), DateTime(2009, 3, 21));
    Link("FAL-01", 1);
    Link("FAL-06", 2);
    // Two seconds at 10 frames a second, 1280 x 720, the progress bar and the Gantt strip.
    DGQueueDialogAnswer({"32510", {{"timing", "2"}, {"seconds", "2"}, {"fps", "3"}, {"size", "2"}, {"progress", "1"},
                                   {"gantt", "1"}, {"date", "1"}, {"tasks", "1"}}, 1});
    Make({{"start", "2009-03-02"}, {"end", "2009-03-20"}, {"kind", "3"}, {"28", {}, true}}, "ido");
    EXPECT_EQ(LastAlert(), 32524);
    auto movie = dir / "ido.mp4";
    ASSERT_TRUE(std::filesystem::exists(movie));
    EXPECT_EQ(settings.movie.framesPerSecond, 10);
    auto info = probe::ProbeVideo(movie);
    EXPECT_EQ(info.codec, "h264");
    EXPECT_EQ(info.frames, 20);
    EXPECT_EQ(info.rate, "10/1");
    EXPECT_EQ(info.width, 1280);
    EXPECT_EQ(info.height, 720);
    // The first frame at the start, the last at the end of the last day.
    EXPECT_EQ(db.CurrentDate(), DateTime(2009, 3, 21));

    std::string first = FrameBgr(movie, 0), last = FrameBgr(movie, 19);
    ASSERT_EQ(first.size(), 1280u * 720u * 3u);
    ASSERT_EQ(last.size(), first.size());
    // The progress bar along the top: none done at the start, all at the end.
    EXPECT_TRUE(Near(At(first, 1280, 640, 2), 0xD8D8D8)) << std::hex << At(first, 1280, 640, 2);
    EXPECT_TRUE(Near(At(last, 1280, 640, 2), 0x327D2E)) << std::hex << At(last, 1280, 640, 2);
    // The strip: the chart's white ground at its bottom and its red date line at two fifths.
    EXPECT_TRUE(Near(At(first, 1280, 1200, 715), 0xFFFFFF)) << std::hex << At(first, 1280, 1200, 715);
    bool red = false;
    for (int32_t x = 500; x < 524 && !red; ++x) red = Near(At(first, 1280, x, 700), 0xD00000, 60);
    EXPECT_TRUE(red);
    // The date box in the top left corner is light, over the model's ground.
    EXPECT_TRUE(Near(At(first, 1280, 20, 30), 0xFFFFFF, 40)) << std::hex << At(first, 1280, 20, 30);
}

TEST_F(AnimationRunTest, ASizedMovieDrawsEachFrameIntoThePictureBefore) {
    settings.movieKind = Mpeg4;
    settings.movie.size = MovieSize::HD720;
    settings.SetMovieFilePath((dir / "again.mp4").string());
    AnimationRunner runner(db, hider, -1, 1);
    ASSERT_TRUE(runner.Ok());
    OwnedHandle picture;
    ASSERT_TRUE(runner.CaptureFrame(picture));
    const BKHandle first = picture.Get();
    const std::vector<uint8_t> drawn(picture.Data(), picture.Data() + picture.Size());
    ASSERT_EQ(drawn.size(), kPXHeaderSize + 1280u * 720u * 4u);
    // Whatever was drawn over it is drawn over again: the same picture, the same pixels.
    std::fill(picture.Data() + kPXHeaderSize, picture.Data() + picture.Size(), uint8_t{0x5A});
    ASSERT_TRUE(runner.CaptureFrame(picture));
    EXPECT_EQ(picture.Get(), first);
    EXPECT_EQ(std::vector<uint8_t>(picture.Data(), picture.Data() + picture.Size()), drawn);
    EXPECT_EQ(runner.Captures(), 2);
    // A picture of another size is not drawn into: a new one of the movie's size takes its place.
    picture.Reset(PXNewPixMap(64, 48, PXPixelFormat::Rgb32));
    ASSERT_TRUE(runner.CaptureFrame(picture));
    EXPECT_EQ(std::vector<uint8_t>(picture.Data(), picture.Data() + picture.Size()), drawn);
}

TEST_F(AnimationRunTest, TheProgressWindowKeepsItsTextAndAddsTheTimeLeft) {
    std::string format = Cp("Hátralévő idő: %s");
    EXPECT_EQ(ProgressWindow::TimeLeftText(format, 10, 0, 12), "");
    EXPECT_EQ(ProgressWindow::TimeLeftText(format, 10, 2, 12), Cp("Hátralévő idő: 0:50"));
    EXPECT_EQ(ProgressWindow::TimeLeftText(format, 1.5, 1, 2401), Cp("Hátralévő idő: 1:00:00"));
    EXPECT_EQ(ProgressWindow::TimeLeftText(format, 10, 12, 12), Cp("Hátralévő idő: 0:00"));
    EXPECT_EQ(ProgressWindow::TimeLeftText(format, NAN, 1, 2), "");
    EXPECT_EQ(ProgressWindow::TimeLeftText(format, 1, 3, 2), "");

    BKResModuleScope scope(AddonResModule());
    ProgressWindow window(12);
    ASSERT_NE(window.Dialog(), nullptr);
    window.SetFrame(1);
    EXPECT_EQ(window.Dialog()->Item(ProgressWindow::kText)->text, Cp("Készülő képkocka: \r\n 1/12"));
    EXPECT_EQ(window.Dialog()->Item(ProgressWindow::kTimeLeft)->text, "");
    window.SetFrame(2);
    EXPECT_EQ(window.Dialog()->Item(ProgressWindow::kText)->text, Cp("Készülő képkocka: \r\n 2/12"));
    EXPECT_EQ(window.Dialog()->Item(ProgressWindow::kTimeLeft)->text.rfind(Cp("Hátralévő idő: 0:0"), 0), 0u);
}

TEST_F(AnimationRunTest, ATimedMovieSkipsThePassWhereNothingRunsAndNoDateFalls) {
    AddTask(1, Construction, DateTime(2009, 3, 2), DateTime(2009, 3, 4));
    AddTask(2, Construction, DateTime(2009, 3, 20), DateTime(2009, 3, 22));
    // Before, between and after the tasks nothing changes; running or crossing a date, it may.
    EXPECT_TRUE(IsQuietSpan(db, DateTime(2009, 3, 5), DateTime(2009, 3, 19, 23, 0)));
    EXPECT_TRUE(IsQuietSpan(db, DateTime(2009, 3, 4), DateTime(2009, 3, 19))); // from the moment one finished
    EXPECT_FALSE(IsQuietSpan(db, DateTime(2009, 3, 3), DateTime(2009, 3, 5)));
    EXPECT_FALSE(IsQuietSpan(db, DateTime(2009, 3, 5), DateTime(2009, 3, 21)));
    EXPECT_FALSE(IsQuietSpan(db, DateTime(2009, 3, 5), DateTime(2009, 3, 20, 0, 1)));
    EXPECT_FALSE(IsQuietSpan(db, DateTime(2009, 3, 6), DateTime(2009, 3, 5)));

    Link("FAL-01", 1);
    Link("FAL-06", 2);
    settings.animationStart = DateTime(2009, 3, 2);
    settings.animationEnd = DateTime(2009, 3, 23);
    settings.movie.timing = MovieTiming::WholeSeconds;
    settings.movie.seconds = 4;
    settings.movie.framesPerSecond = 10;
    settings.SetMovieFilePath((dir / "csend.mp4").string());
    settings.movieKind = Mpeg4;
    AnimationRunner runner(db, hider, -1, 1);
    ASSERT_TRUE(runner.Ok());
    hider.Prepare(db);
    ASSERT_TRUE(runner.Run());
    hider.Finish();
    ASSERT_TRUE(runner.FinishMovie());
    EXPECT_EQ(runner.Writer()->framesWritten, 40);
    // 21 days over 39 steps: the frames while a task runs (about 4 days of 21) and the first
    // after each quiet span are captured; the rest are the picture before them.
    EXPECT_LT(runner.Captures(), 16);
    EXPECT_EQ(probe::ProbeVideo(dir / "csend.mp4").frames, 40);
}

} // namespace
